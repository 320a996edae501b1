#include "FrmFolder.h"

#include "FolderPreview.h"
#include "FolderRename.h"

#include "execute/MenuTools.h"
#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

using namespace Qt::Literals::StringLiterals;

namespace Folders {

FrmFolder::FrmFolder(FolderToolHost host, QWidget* owner)
    : QWidget(owner, Qt::Window), m_host(std::move(host))
{
    setObjectName(u"FrmFolder"_s);
    setWindowTitle(Folders::windowTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    resize(DesignWidth, DesignHeight);

    m_Label1 = new QLabel(u"当前所选文件夹"_s, this);
    m_Label1->setObjectName(u"Label1"_s);
    m_Label1->setGeometry(10, 12, 100, 22);
    m_TxtAdress = new QLineEdit(this);
    m_TxtAdress->setAccessibleName(u"所选文件夹"_s);
    m_TxtAdress->setObjectName(u"TxtAdress"_s);
    m_TxtAdress->setReadOnly(true);
    m_TxtAdress->setGeometry(110, 10, 370, 26);
    m_CmdOpen = new QPushButton(u"浏览文件夹"_s, this);
    m_CmdOpen->setObjectName(u"CmdOpen"_s);
    m_CmdOpen->setToolTip(u"打开文件夹"_s);
    m_CmdOpen->setGeometry(490, 9, 100, 28);

    m_LblOld = new QLabel(u"原文件(夹)名"_s, this);
    m_LblOld->setObjectName(u"LblOld"_s);
    m_LblOld->setGeometry(10, 46, 200, 20);
    m_LstFolder = new QListWidget(this);
    m_LstFolder->setAccessibleName(u"子文件夹"_s);
    m_LstFolder->setObjectName(u"LstFolder"_s);
    m_LstFolder->setGeometry(10, 68, 285, 230);
    m_LstFile = new QListWidget(this);
    m_LstFile->setAccessibleName(u"文件"_s);
    m_LstFile->setObjectName(u"LstFile"_s);
    m_LstFile->setGeometry(10, 68, 285, 230);
    m_LstFile->hide();
    m_LblNew = new QLabel(u"新文件(夹)名"_s, this);
    m_LblNew->setObjectName(u"LblNew"_s);
    m_LblNew->setGeometry(305, 46, 200, 20);
    m_LstNew = new QListWidget(this);
    m_LstNew->setAccessibleName(u"新名称"_s);
    m_LstNew->setObjectName(u"LstNew"_s);
    m_LstNew->setGeometry(305, 68, 285, 230);

    m_Frame3 = new QGroupBox(u"选项"_s, this);
    m_Frame3->setObjectName(u"Frame3"_s);
    m_Frame3->setGeometry(10, 306, 580, 62);
    const QStringList captions{modeCaption(ToolMode::FoldersOnly), modeCaption(ToolMode::FolderFirst),
                               modeCaption(ToolMode::FolderLast)};
    for (int i = 0; i < 3; ++i) {
        auto* option = new QRadioButton(captions.at(i), m_Frame3);
        option->setObjectName(u"OptFile_"_s + QString::number(i));
        option->setGeometry(12 + 140 * i, 26, 135, 24);
        connect(option, &QRadioButton::clicked, this, [this, i] { OptFile_Click(i); });
        m_OptFile[size_t(i)] = option;
    }
    m_OptFile[0]->setChecked(true);
    m_ChkCopy = new QCheckBox(copyCaption(), m_Frame3);
    m_ChkCopy->setObjectName(u"ChkCopy"_s);
    m_ChkCopy->setGeometry(440, 26, 135, 24);
    m_ChkCopy->setEnabled(false);
    connect(m_ChkCopy, &QCheckBox::clicked, this, &FrmFolder::ChkCopy_Click);

    m_Cmdview = new QPushButton(u"预览新文件（夹）名"_s, this);
    m_Cmdview->setObjectName(u"Cmdview"_s);
    m_Cmdview->setGeometry(10, 376, 190, 30);
    m_CmdOK = new QPushButton(u"执行重命名"_s, this);
    m_CmdOK->setObjectName(u"CmdOK"_s);
    m_CmdOK->setGeometry(210, 376, 190, 30);
    m_CmdHelp = new QPushButton(u"帮助"_s, this);
    m_CmdHelp->setObjectName(u"CmdHelp"_s);
    m_CmdHelp->setGeometry(410, 376, 180, 30);

    m_sbStatusBar = new QStatusBar(this);
    m_sbStatusBar->setObjectName(u"sbStatusBar"_s);
    m_sbStatusBar->setSizeGripEnabled(false);
    m_sbStatusBar->setGeometry(0, 414, DesignWidth, 26);
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(m_sbStatusBar);
        label->setObjectName(u"sbStatusBar_panel_"_s + QString::number(i + 1));
        m_sbStatusBar->addWidget(label, i == 0 ? 3 : 1);
        m_panels[size_t(i)] = label;
    }

    connect(m_CmdOpen, &QPushButton::clicked, this, &FrmFolder::BrowseToolFolder);
    connect(m_Cmdview, &QPushButton::clicked, this, &FrmFolder::PreviewToolNames);
    connect(m_CmdOK, &QPushButton::clicked, this, &FrmFolder::ExecuteToolRename);
    connect(m_CmdHelp, &QPushButton::clicked, this, &FrmFolder::CmdHelp_Click);
    connect(m_LstFolder, &QListWidget::currentRowChanged, this, [this] { syncSelection(m_LstFolder); });
    connect(m_LstFile, &QListWidget::currentRowChanged, this, [this] { syncSelection(m_LstFile); });
    connect(m_LstNew, &QListWidget::currentRowChanged, this, [this] { syncSelection(m_LstNew); });

    m_geometry.record(this);
}

QString FrmFolder::statusPanel(int panel) const
{
    return m_panels[size_t(panel - 1)]->text();
}

bool FrmFolder::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

void FrmFolder::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_geometry.scale(double(width()) / DesignWidth, double(height()) / DesignHeight);
}

void FrmFolder::Form_Activate()
{
    if (m_host.placement) {
        const QRect place = m_host.placement();
        const QSize frame = frameGeometry().size() - size();
        move(place.topLeft());
        resize(std::max(1, place.width() - frame.width()), std::max(1, place.height() - frame.height()));
    }
    m_LstFile->setGeometry(m_LstFolder->geometry());
    const int method = m_host.currentMethod ? m_host.currentMethod() : 9;
    m_panels[0]->setText(activationFunctionText(m_toolMode, m_ChkCopy->isChecked(),
                                                m_host.methodCaption ? m_host.methodCaption() : QString(),
                                                Rename::RenameMethod(method)));
}

void FrmFolder::showList(QListWidget* list, const QStringList& entries)
{
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(entries);
}

void FrmFolder::setCountTooltips()
{
    m_LstFile->setToolTip(fileCountText(m_LstFile->count()));
    m_LstFolder->setToolTip(folderCountText(m_LstFolder->count()));
}

void FrmFolder::BrowseToolFolder()
{
    const QString chosen = m_host.dialogs->chooseFolder(u"请选择一个文件夹"_s, m_toolFolder);
    ToolLists scanned = chosen.isEmpty() ? ToolLists() : scanToolFolder(chosen);
    showList(m_LstFolder, scanned.LstFolder);
    m_lists.LstFolder = scanned.LstFolder;
    m_lists.LstFolderA = scanned.LstFolderA;
    if (scanned.LstFolder.isEmpty()) {
        m_host.dialogs->plain(noSubfoldersMessage());
        return;
    }
    m_toolFolder = toolFolderOf(m_lists);
    m_TxtAdress->setText(m_toolFolder);
    ScanToolFiles(m_lists);
    showList(m_LstFile, m_lists.LstFile);
    setCountTooltips();
}

void FrmFolder::OptFile_Click(int index)
{
    m_toolMode = ToolMode(index);
    m_OptFile[size_t(index)]->setChecked(true);
    m_lstNew.clear();
    showList(m_LstNew, {});
    const bool files = m_toolMode != ToolMode::FoldersOnly;
    m_ChkCopy->setEnabled(files);
    m_LstFolder->setVisible(!files);
    m_LstFile->setVisible(files);
    ScanToolFiles(m_lists);
    showList(m_LstFile, m_lists.LstFile);
    if (!files)
        m_ChkCopy->setChecked(false);
    const int method = m_host.currentMethod ? m_host.currentMethod() : 9;
    m_panels[0]->setText(optionFunctionText(m_toolMode, m_ChkCopy->isChecked(),
                                            m_host.methodCaption ? m_host.methodCaption() : QString(),
                                            Rename::RenameMethod(method)));
}

void FrmFolder::ChkCopy_Click()
{
    m_panels[0]->setText(copyFunctionText(m_toolMode, m_ChkCopy->isChecked()));
}

void FrmFolder::PreviewToolNames()
{
    PreviewRequest request;
    request.toolFolder = m_TxtAdress->text();
    request.mode = m_toolMode;
    request.lists = &m_lists;
    request.method = Rename::RenameMethod(m_host.currentMethod ? m_host.currentMethod() : 9);
    if (m_toolMode == ToolMode::FoldersOnly && m_host.renameOptions)
        request.options = m_host.renameOptions();
    const PreviewResult result = Folders::PreviewToolNames(*m_host.dialogs, request);
    if (!result.ran)
        return;
    m_toolItemCount = result.itemCount;
    m_lstNew = result.LstNew;
    showList(m_LstNew, m_lstNew);
    if (m_toolMode == ToolMode::FoldersOnly && !methodSupported(request.method))
        return;
    setCountTooltips();
    m_LstNew->setToolTip(fileCountText(m_LstNew->count()));
    m_panels[1]->setText(itemCountText(m_toolItemCount));
}

void FrmFolder::ExecuteToolRename()
{
    ToolRunRequest request;
    request.toolFolder = m_toolFolder;
    request.mode = m_toolMode;
    request.copy = m_ChkCopy->isChecked();
    request.itemCount = m_toolItemCount;
    request.LstFolderA = m_lists.LstFolderA;
    request.LstFileA = m_lists.LstFileA;
    request.LstNew = m_lstNew;
    request.undoFolder = m_host.paths.undoFolder();
    request.clock = m_host.clock;
    const ToolRunOutcome outcome = Folders::ExecuteToolRename(*m_host.dialogs, request);
    if (outcome.result == ToolRunOutcome::Result::Done && m_toolMode == ToolMode::FoldersOnly &&
        m_host.enableUndo)
        m_host.enableUndo();
}

void FrmFolder::CmdHelp_Click()
{
    if (m_host.shell)
        Execute::ShowHelpFile(*m_host.shell, *m_host.dialogs, m_host.paths, this);
}

void FrmFolder::syncSelection(QListWidget* from)
{
    if (m_syncing)
        return;
    m_syncing = true;
    const int row = from->currentRow();
    const auto select = [row](QListWidget* list) {
        if (row >= 0 && row < list->count())
            list->setCurrentRow(row);
        else
            list->setCurrentRow(-1);
    };
    if (from == m_LstNew) {
        select(m_LstFolder);
        select(m_LstFile);
    } else {
        select(m_LstNew);
    }
    m_syncing = false;
}

} // namespace Folders
