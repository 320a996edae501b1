#include "MainWindow.h"

#include "ExecuteCommand.h"
#include "FolderTree.h"
#include "ToolbarState.h"

#include "contacts/FrmVCF.h"

#include "execute/InfoWindow.h"
#include "execute/MenuTools.h"
#include "execute/ProgramFiles.h"
#include "execute/RenameExecution.h"
#include "execute/UndoLog.h"
#include "execute/UndoLogCleanup.h"
#include "execute/UndoRename.h"
#include "folders/FrmFolder.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/TimeText.h"
#include "platform/Trash.h"
#include "rename/FillNewName.h"
#include "rename/MethodPanel.h"
#include "rename/RenamePanels.h"
#include "textfiles/BlankLineCommands.h"
#include "workbook/WorkbookTab.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

#include <cmath>
#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace App {

namespace {

QString tabCaption(int index)
{
    return Rename::methodCaption(Rename::RenameMethod(index));
}

// Twips of the design to pixels at 96 dots per inch.
constexpr int px(int twips)
{
    return (twips + 7) / 15;
}

} // namespace

MainWindow::MainWindow(MainWindowServices services, QWidget* parent)
    : QMainWindow(parent), m_services(std::move(services))
{
    setObjectName(u"FrmNew"_s);
    m_client = new QWidget(this);
    m_client->setObjectName(u"qt_client"_s);
    setCentralWidget(m_client);

    buildMenus();
    buildToolbar();
    buildTabs();
    buildPanes();
    buildStatusBar();

    m_client->installEventFilter(this);
    resize(DesignWidth, DesignHeight + menuBar()->sizeHint().height());
    // Below the design size the scaled fonts would become unreadable and
    // captions would be cut: the design size is the smallest the window gets.
    m_client->setMinimumSize(DesignWidth, DesignHeight);
    setWindowIcon(applicationIcon());
}

QIcon MainWindow::applicationIcon()
{
    // The installed theme icon first (it may be drawn for the desktop's theme),
    // else the copies built into the program, so a build-folder run has it too.
    QIcon builtIn;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        builtIn.addFile(u":/tarnwick/icon/icon-%1.png"_s.arg(size), QSize(size, size));
    return QIcon::fromTheme(u"org.tarnwick.Tarnwick"_s, builtIn);
}

MainWindow::~MainWindow() = default;

QString MainWindow::applicationTitle() const
{
    return u"Tarnwick"_s;
}

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(u"文件(&F)"_s);
    file->setObjectName(u"mfile"_s);
    const QStringList fileItems{u"显示文件夹属性"_s, u"修复错误"_s, u"删除重命名记录文档"_s, u"退出"_s};
    for (int i = 0; i < 4; ++i) {
        m_mFilebaby[size_t(i)] = file->addAction(fileItems.at(i));
        m_mFilebaby[size_t(i)]->setObjectName(u"mFilebaby_"_s + QString::number(i));
    }
    for (int i = 0; i < 4; ++i)
        connect(m_mFilebaby[size_t(i)], &QAction::triggered, this, [this, i] { FileMenuCommand(i); });

    QMenu* filter = menuBar()->addMenu(u"筛选(&S)"_s);
    filter->setObjectName(u"mshaixuan"_s);
    for (int item = 1; item <= FilterMenu::ItemCount; ++item) {
        QAction* action = FilterMenu::isSeparator(item) ? filter->addSeparator()
                                                        : filter->addAction(FilterMenu::caption(item));
        action->setObjectName(u"msx_"_s + QString::number(item));
        if (!FilterMenu::isSeparator(item)) {
            action->setCheckable(true);
            action->setChecked(m_filter.ticked(item));
            connect(action, &QAction::triggered, this, [this, item] { filterItemClicked(item); });
        }
        m_filterActions[size_t(item - 1)] = action;
    }

    QMenu* tools = menuBar()->addMenu(u"工具(&T)"_s);
    tools->setObjectName(u"mtool"_s);
    const QStringList toolItems{u"Excel与VCF转换"_s,
                                u"文件夹重命名"_s,
                                u"-"_s,
                                u"删除文件空行(备份原文档)"_s,
                                u"删除文件空行(不保留备份)"_s,
                                u"删除所有文件空行(备份原文档)"_s,
                                u"删除所有文件空行(不保留备份)"_s,
                                u"-"_s,
                                u"删除空白工作表"_s,
                                u"删除所有空白工作表"_s,
                                u"创建多个工作簿"_s};
    const QStringList toolNames{u"m_excelTovcf"_s, u"mfolder"_s,     QString(),       u"mDelLine_0"_s,
                                u"mDelLine_1"_s,   u"mDelLine_2"_s,  u"mDelLine_3"_s, QString(),
                                u"mDelSheet_0"_s,  u"mDelSheet_1"_s, u"mCreateBook"_s};
    for (qsizetype i = 0; i < toolItems.size(); ++i) {
        if (toolItems.at(i) == u"-"_s) {
            tools->addSeparator();
            continue;
        }
        QAction* action = tools->addAction(toolItems.at(i));
        action->setObjectName(toolNames.at(i));
        // These tools arrive with their own windows; until then they are shown but not offered.
        action->setEnabled(false);
    }
    if (auto* converter = tools->findChild<QAction*>(u"m_excelTovcf"_s)) {
        converter->setEnabled(true);
        connect(converter, &QAction::triggered, this, &MainWindow::OpenContactConverter);
    }
    wireTextAndFolderTools(tools);

    QMenu* help = menuBar()->addMenu(u"帮助(&H)"_s);
    help->setObjectName(u"mHelp"_s);
    const QStringList helpItems{u"帮助"_s, u"联系作者"_s, u"使用说明"_s, u"检查更新"_s};
    for (int i = 0; i < 4; ++i) {
        m_mHelpBaby[size_t(i)] = help->addAction(helpItems.at(i));
        m_mHelpBaby[size_t(i)]->setObjectName(u"mHelpBaby_"_s + QString::number(i));
        connect(m_mHelpBaby[size_t(i)], &QAction::triggered, this, [this, i] { HelpMenuCommand(i); });
        if (i == 0) // F1 opens the help whether or not a folder is chosen
            m_mHelpBaby[0]->setShortcut(QKeySequence::HelpContents);
    }
}

// The folder tool "mfolder" and the four blank-line commands "mDelLine_0" to "mDelLine_3".
void MainWindow::wireTextAndFolderTools(QMenu* tools)
{
    for (int i = 0; i < 4; ++i) {
        auto* action = tools->findChild<QAction*>(u"mDelLine_"_s + QString::number(i));
        action->setEnabled(true);
        const bool keepBackup = i % 2 == 0;
        if (i < 2)
            connect(action, &QAction::triggered, this, [this, keepBackup] {
                TextFiles::DelBlankLine(*m_services.dialogs, m_currentFolder, keepBackup);
            });
        else
            connect(action, &QAction::triggered, this, [this, keepBackup] {
                TextFiles::DelAllBlankLine(*m_services.dialogs, m_currentFolder, keepBackup);
            });
    }
    auto* folderTool = tools->findChild<QAction*>(u"mfolder"_s);
    folderTool->setEnabled(true);
    connect(folderTool, &QAction::triggered, this, [this] {
        auto* window = findChild<Folders::FrmFolder*>(QString(), Qt::FindDirectChildrenOnly);
        if (!window) {
            Folders::FolderToolHost host;
            host.dialogs = m_services.dialogs;
            host.shell = m_services.shell;
            host.paths = m_services.paths;
            host.clock = m_services.clock;
            host.placement = [this] {
                const QPoint origin = frameGeometry().topLeft();
                return QRect(origin.x() + m_toolWindowRect.left / 15, origin.y() + m_toolWindowRect.top / 15,
                             m_toolWindowRect.width / 15, m_toolWindowRect.height / 15);
            };
            host.currentMethod = [this] { return m_currentMethod; };
            host.methodCaption = [this] { return m_SSTab1->tabText(m_SSTab1->currentIndex()); };
            host.renameOptions = [this] { return m_renamePanels->options(); };
            host.enableUndo = [this] { applyToolbar(toolbarChange(ToolbarStep::FolderToolRecorded)); };
            window = new Folders::FrmFolder(std::move(host), this);
        }
        window->show();
        window->raise();
        window->activateWindow();
    });
}

void MainWindow::buildToolbar()
{
    m_Toolbar1 = new QToolBar(m_client);
    m_Toolbar1->setObjectName(u"Toolbar1"_s);
    m_Toolbar1->setGeometry(0, 0, DesignWidth, px(420));
    m_Toolbar1->setMovable(false);
    m_Toolbar1->setFloatable(false);
    m_Toolbar1->setIconSize(QSize(16, 16));
    m_Toolbar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    struct ButtonInfo
    {
        const char16_t* caption;
        const char16_t* key;
        const char* themeIcon;
        QStyle::StandardPixmap fallback;
        QKeySequence shortcut;
    };
    // Icons come from the desktop's theme; the style's own icons stand in where it has none.
    const ButtonInfo buttons[ToolbarButtonCount] = {
        {u"预览新文件名", u"ShowName", "document-preview", QStyle::SP_FileDialogContentsView,
         QKeySequence(Qt::Key_F5)},
        {u"执行重命名", u"execute", "edit-rename", QStyle::SP_DialogApplyButton,
         QKeySequence(Qt::CTRL | Qt::Key_R)},
        {u"撤消重命名", u"undo", "edit-undo", QStyle::SP_ArrowBack,
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
        {u"使用说明", u"usage", "help-contents", QStyle::SP_FileDialogInfoView, QKeySequence()},
        {u"帮助", u"help", "help-browser", QStyle::SP_DialogHelpButton, QKeySequence()},
        {u"删除重命名文档", u"deleteDocs", "user-trash", QStyle::SP_TrashIcon, QKeySequence()},
    };
    for (int i = 0; i < ToolbarButtonCount; ++i) {
        const ButtonInfo& button = buttons[i];
        const QIcon icon =
            QIcon::fromTheme(QString::fromLatin1(button.themeIcon), style()->standardIcon(button.fallback));
        QAction* action = m_Toolbar1->addAction(icon, QString::fromUtf16(button.caption));
        action->setObjectName(QString::fromUtf16(button.key));
        action->setData(QString::fromUtf16(button.key));
        if (!button.shortcut.isEmpty()) {
            // The keys work from anywhere in the window and are named in the tooltip.
            action->setShortcut(button.shortcut);
            action->setShortcutContext(Qt::WindowShortcut);
            action->setToolTip(QString::fromUtf16(button.caption) + u" ("_s +
                               button.shortcut.toString(QKeySequence::NativeText) + u')');
        }
        connect(action, &QAction::triggered, this, [this, i] { RunToolbarCommand(ToolbarButton(i)); });
        m_toolbarActions[size_t(i)] = action;
    }
}

void MainWindow::buildTabs()
{
    m_SSTab1 = new QTabWidget(m_client);
    m_SSTab1->setObjectName(u"SSTab1"_s);
    m_SSTab1->setGeometry(px(75), px(400), px(11775), px(945));
    m_SSTab1->setUsesScrollButtons(false);
    m_SSTab1->setDocumentMode(false);
    m_SSTab1->tabBar()->setExpanding(false);
    const QSignalBlocker blocker(m_SSTab1);
    m_renamePanels = new Rename::RenamePanels(*m_services.dialogs, m_services.paths, this);
    connect(m_renamePanels, &Rename::RenamePanels::previewEnabled, this,
            [this] { applyToolbar(toolbarChange(ToolbarStep::OptionChanged)); });
    for (int i = 0; i < MethodCount; ++i) {
        auto* page = new QWidget;
        page->setObjectName(u"qt_SSTab1_page_"_s + QString::number(i));
        QFrame* frame = m_renamePanels->panel(i);
        if (frame) {
            frame->setParent(page);
        } else {
            frame = new QFrame(page);
            frame->setObjectName(u"FraSS_"_s + QString::number(i));
            frame->setToolTip(Rename::methodToolTip(Rename::RenameMethod(i)));
            frame->resize(Rename::MethodPanel::designWidth, Rename::MethodPanel::designHeight);
        }
        frame->move(0, 1);
        m_FraSS[size_t(i)] = frame;
        m_SSTab1->addTab(page, tabCaption(i));
    }
    connect(m_SSTab1, &QTabWidget::currentChanged, this, &MainWindow::tabSelected);

    // Every caption shows whole at the design size whatever font the desktop
    // gives (a GTK desktop's is larger than the design's): the strip's font
    // is made smaller until the ten tabs fit. Scaling starts from that font.
    QTabBar* bar = m_SSTab1->tabBar();
    const auto tabsWidth = [bar] {
        int width = 0;
        for (int i = 0; i < bar->count(); ++i)
            width += bar->tabRect(i).width();
        return width;
    };
    QFont font = m_SSTab1->font();
    while (tabsWidth() > m_SSTab1->width() && font.pointSizeF() > 6) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        m_SSTab1->setFont(font);
    }
}

void MainWindow::buildPanes()
{
    m_Picture1 = new QFrame(m_client);
    m_Picture1->setObjectName(u"Picture1"_s);
    m_Picture1->setGeometry(0, px(1320), px(2364), px(6495));

    m_ExpTree1 = new FolderTree(m_Picture1);
    m_ExpTree1->setObjectName(u"ExpTree1"_s);
    m_ExpTree1->setToolTip(u"单击选择路径"_s);
    m_ExpTree1->setAccessibleName(u"文件夹"_s);
    m_ExpTree1->setGeometry(0, 0, m_Picture1->width(), m_Picture1->height() - 18);
    // Open at the user's home without choosing it: nothing is listed until the user picks a folder.
    m_ExpTree1->reveal(QDir::homePath());
    connect(m_ExpTree1, &FolderTree::folderSelected, this, &MainWindow::folderSelected);

    m_LblFolder = new QLabel(m_Picture1);
    m_LblFolder->setObjectName(u"LblFolder"_s);
    m_LblFolder->setGeometry(2, m_Picture1->height() - 18, m_Picture1->width() - 4, 18);

    m_PicMain = new QFrame(m_client);
    m_PicMain->setObjectName(u"PicMain"_s);
    m_PicMain->setGeometry(px(2400), px(1320), px(9372), px(6495));

    m_model = new FileListModel(this);
    m_LstMain = new QTreeView(m_PicMain);
    m_LstMain->setObjectName(u"LstMain"_s);
    m_LstMain->setAccessibleName(u"文件列表"_s);
    m_LstMain->setModel(m_model);
    m_LstMain->setRootIsDecorated(false);
    m_LstMain->setUniformRowHeights(true);
    m_LstMain->setAllColumnsShowFocus(true);
    m_LstMain->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_LstMain->header()->setSectionsMovable(false);
    m_LstMain->header()->setStretchLastSection(false);
    for (int column = 0; column < FileRow::ColumnCount; ++column)
        m_LstMain->setColumnWidth(column, FileListModel::designWidth(column));
    m_LstMain->setGeometry(0, 0, m_PicMain->width(), m_PicMain->height());

    m_PicSheet = new QFrame(m_client);
    m_PicSheet->setObjectName(u"PicSheet"_s);
    m_PicSheet->setGeometry(m_PicMain->geometry());
    m_PicSheet->setAutoFillBackground(true);
    auto* frasheet = new QGroupBox(u"工作簿信息"_s, m_PicSheet);
    frasheet->setObjectName(u"Frasheet"_s);
    frasheet->setGeometry(4, 2, m_PicSheet->width() - 8, m_PicSheet->height() - 6);
    m_PicSheet->hide();

    // Working stores that are never shown.
    m_FraVisible = new QFrame(m_client);
    m_FraVisible->setObjectName(u"FraVisible"_s);
    m_FraVisible->setGeometry(0, 0, 10, 10);
    m_FraVisible->hide();
    m_LstName_Nosee = new QListWidget(m_client);
    m_LstName_Nosee->setObjectName(u"LstName_Nosee"_s);
    m_LstName_Nosee->setGeometry(0, 0, 10, 10);
    m_LstName_Nosee->hide();

    // The workbook tab: its mode switch in the tab's strip, the rest in PicSheet.
    m_workbookTab = new Xl::WorkbookTab(m_FraSS[9], m_PicSheet, frasheet, m_LstName_Nosee, m_services.dialogs,
                                        m_services.shell, this);
    connect(m_workbookTab, &Xl::WorkbookTab::showTabRequested, this, [this] { selectTab(9); });
    const std::pair<const char16_t*, void (Xl::WorkbookTab::*)()> workbookTools[] = {
        {u"mDelSheet_0", &Xl::WorkbookTab::mDelBlankSheet_Click},
        {u"mDelSheet_1", &Xl::WorkbookTab::mDelAllBlankSheet_Click},
        {u"mCreateBook", &Xl::WorkbookTab::mCreateExl_Click}};
    for (const auto& [name, handler] : workbookTools) {
        if (auto* action = menuBar()->findChild<QAction*>(QString::fromUtf16(name))) {
            action->setEnabled(true);
            connect(action, &QAction::triggered, m_workbookTab, handler);
        }
    }
}

void MainWindow::buildStatusBar()
{
    m_sbStatusBar = new QStatusBar(m_client);
    m_sbStatusBar->setObjectName(u"sbStatusBar"_s);
    m_sbStatusBar->setSizeGripEnabled(false);
    m_sbStatusBar->setGeometry(0, DesignHeight - px(270), DesignWidth, px(270));
    const int stretch[4] = {3, 4, 1, 1};
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(m_sbStatusBar);
        label->setObjectName(u"sbStatusBar_Panel"_s + QString::number(i + 1));
        m_sbStatusBar->addPermanentWidget(label, stretch[i]);
        m_panels[size_t(i)] = label;
    }
    m_panels[0]->setText(u"状态"_s);
    m_clockTimer = new QTimer(this);
    m_clockTimer->setInterval(1000);
    connect(m_clockTimer, &QTimer::timeout, this, &MainWindow::updateClockPanels);
    m_clockTimer->start();
    updateClockPanels();
}

void MainWindow::updateClockPanels()
{
    const QDateTime now = m_services.clock ? m_services.clock->now() : QDateTime::currentDateTime();
    const QLocale locale;
    m_panels[2]->setText(locale.toString(now.date(), QLocale::ShortFormat));
    m_panels[3]->setText(locale.toString(now.time(), Platform::longTimeFormat(locale)));
}

QString MainWindow::statusPanel(int panel) const
{
    return m_panels[size_t(panel - 1)]->text();
}

bool MainWindow::startUp()
{
    // 1. Caption.
    setWindowTitle(u"Tarnwick"_s + Execute::VersionText());
    // 2. The client area is laid out at its design size (DesignWidth × DesignHeight).
    // 3. Undo folder; a folder that cannot be created is simply absent.
    // The shipped files are put in place on the first start as well.
    Execute::RestoreProgramFiles(m_services.paths);
    // 4. Working list of the workbook tools, never shown.
    m_LstName_Nosee->hide();
    // 7. Help document.
    m_helpFile = m_services.paths.programFile(Execute::helpFileName());
    // 8. Toolbar state: nothing chosen yet.
    applyToolbar(toolbarChange(
        ToolbarStep::StartUp, {m_currentMethod, Execute::UndoFolderHasFiles(m_services.paths.undoFolder())}));
    // 9. One copy at a time.
    if (m_services.anotherCopyRuns && m_services.anotherCopyRuns()) {
        if (!m_services.startFolder.isEmpty() && m_services.handFolderToRunningCopy &&
            m_services.handFolderToRunningCopy(m_services.startFolder))
            return false;
        const QString exeName = QFileInfo(m_services.executablePath).completeBaseName();
        if (m_services.dialogs)
            m_services.dialogs->warn(exeName + u"已经运行!"_s);
        return false;
    }
    // 10. The last tab.
    {
        const QSignalBlocker blocker(m_SSTab1);
        m_SSTab1->setCurrentIndex(9);
    }
    m_currentMethod = 9;
    m_panels[0]->setText(u"状态："_s + tabCaption(9));
    // 11. Design geometry of every control.
    m_geometry.record(m_client);
    m_geometryRecorded = true;
    // 12. Tab-selection handling for the selected tab.
    tabSelected(9);
    resizeHandling();
    if (!m_services.startFolder.isEmpty())
        openFolder(m_services.startFolder);
    return true;
}

void MainWindow::folderHandedOver(const QString& path)
{
    m_handedOver = path;
    if (!m_handOverTimer) {
        m_handOverTimer = new QTimer(this);
        m_handOverTimer->setInterval(200);
        connect(m_handOverTimer, &QTimer::timeout, this, &MainWindow::applyHandOver);
    }
    applyHandOver();
}

void MainWindow::applyHandOver()
{
    // A nested event loop means some command is waiting for the user.
    if (QApplication::activeModalWidget() || QThread::currentThread()->loopLevel() > 1) {
        m_handOverTimer->start();
        return;
    }
    m_handOverTimer->stop();
    const QString path = std::exchange(m_handedOver, QString());
    if (path.isEmpty())
        return;
    openFolder(path);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

bool MainWindow::openFolder(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    const QString folder = QDir::cleanPath(info.isDir() ? info.absoluteFilePath() : info.absolutePath());
    m_ExpTree1->select(folder);
    folderSelected(folder);
    return true;
}

void MainWindow::applyToolbar(const ToolbarChange& change)
{
    const std::pair<const std::optional<bool>&, ToolbarButton> buttons[] = {{change.ShowName, ShowName},
                                                                            {change.execute, execute},
                                                                            {change.Undo, Undo},
                                                                            {change.DeleteDocs, DeleteDocs}};
    for (const auto& [enabled, button] : buttons)
        if (enabled)
            m_toolbarActions[button]->setEnabled(*enabled);
}

void MainWindow::selectTab(int index)
{
    m_SSTab1->setCurrentIndex(index);
}

void MainWindow::tabSelected(int index)
{
    if (index < 0 || index >= MethodCount)
        return;
    m_currentMethod = index;
    applyToolbar(toolbarChange(ToolbarStep::TabSelected, {index}));
    ShowMethodPanel(index);
    m_panels[0]->setText(u"状态："_s + tabCaption(index));
    m_renamePanels->tabSelected(index);
    if (index == 9) {
        m_PicSheet->show();
        m_PicSheet->raise();
    } else {
        m_PicSheet->hide();
    }
    m_SSTab1->setToolTip(m_FraSS[size_t(index)]->toolTip());
    m_workbookTab->tabSelected(index);
}

void MainWindow::ShowMethodPanel(int index)
{
    m_FraVisible->hide();
    m_LstName_Nosee->hide();
    for (int j = 0; j < MethodCount; ++j)
        m_FraSS[size_t(j)]->setVisible(j == index);
    m_Picture1->show();
    m_PicMain->show();
}

void MainWindow::folderSelected(const QString& path)
{
    applyToolbar(toolbarChange(ToolbarStep::FolderSelected, {m_currentMethod}));
    // Names on Linux may begin or end with spaces: the path is taken as it is.
    if (path.isEmpty())
        return;
    if (!m_file1.setPath(path)) {
        // The folder, the rows and the hidden list stay those of the last
        // folder that could be read, so a rename never mixes the two.
        m_panels[1]->setText(u"无法读取文件夹："_s + path);
        return;
    }
    m_fileCount = m_file1.count();
    m_currentFolder = m_file1.path();
    if (!m_currentFolder.endsWith(u'/'))
        m_currentFolder += u'/';
    m_LblFolder->setText(m_currentFolder);
    m_LblFolder->setToolTip(m_currentFolder);
    m_workbookTab->folderSelected(m_currentFolder, m_SSTab1->currentIndex() == 9);
    rebuildRows();
    m_panels[1]->setText(m_fileCount == 0 ? u"没有文件！"_s
                                          : u"共有"_s + QString::number(m_fileCount) + u"文件！"_s);
}

void MainWindow::rebuildRows()
{
    QList<FileRow> rows;
    rows.reserve(m_fileCount);
    const QLocale locale;
    for (int k = 0; k < m_fileCount; ++k)
        rows.append(FileRow::read(k + 1, m_currentFolder, m_file1.name(k), locale));
    m_model->setRows(std::move(rows));
}

void MainWindow::filterItemClicked(int item)
{
    m_filter.toggle(item);
    if (QAction* action = m_filterActions[size_t(item - 1)])
        action->setChecked(m_filter.ticked(item));
    m_file1.setPattern(m_filter.pattern());
    m_fileCount = m_file1.count();
    if (!m_file1.path().isEmpty())
        folderSelected(m_file1.path());
}

void MainWindow::RunToolbarCommand(ToolbarButton button)
{
    FillNewName(button == ShowName || button == execute);
    if (m_fileCount == 0 && button != Undo) {
        m_services.dialogs->inform(u"没有选择文件！"_s);
        return;
    }
    switch (button) {
    case ShowName:
        PreviewNewNames();
        break;
    case execute:
        ExecuteRename();
        break;
    case Undo:
        UndoRename();
        break;
    case Usage:
        HelpMenuCommand(2);
        break;
    case Help:
        HelpMenuCommand(0);
        break;
    case DeleteDocs:
        ClearUndoLogs(false);
        break;
    case ToolbarButtonCount:
        break;
    }
}

void MainWindow::FillNewName(bool namesNeeded)
{
    QStringList names = m_file1.names().mid(0, m_fileCount);
    names.resize(m_fileCount);
    const Rename::NewNameResult result =
        Rename::FillNewName(names, Rename::RenameMethod(m_currentMethod), m_renamePanels->options());
    m_lstOld = result.names;
    // A document that cannot be read matters only to the commands that use the names.
    if (result.documentUnreadable && !namesNeeded)
        return;
    for (const Platform::MessageRequest& message : result.messages)
        m_services.dialogs->message(message);
}

QStringList MainWindow::column(FileRow::Column column) const
{
    QStringList texts;
    texts.reserve(m_fileCount);
    for (int i = 0; i < m_fileCount; ++i)
        texts.append(m_model->cell(i, column));
    return texts;
}

QString MainWindow::executableName() const
{
    return QFileInfo(m_services.executablePath).completeBaseName();
}

void MainWindow::PreviewNewNames()
{
    m_model->setColumn(FileRow::NewName, m_lstOld, m_fileCount);
    applyToolbar(toolbarChange(ToolbarStep::Previewed));
}

void MainWindow::ExecuteRename()
{
    ExecuteCommandRequest request;
    request.method = Rename::RenameMethod(m_currentMethod);
    request.folder = m_currentFolder;
    request.oldNames = column(FileRow::OldName);
    request.newNames = column(FileRow::NewName);
    request.attributes = m_renamePanels->options().attributes;
    request.undoFolder = m_services.paths.undoFolder();
    request.clock = m_services.clock;
    request.file1 = &m_file1;
    request.toolbar = [this](const ToolbarChange& change) { applyToolbar(change); };
    const ExecuteCommandResult result = RunExecuteCommand(request, *m_services.dialogs);
    using Ran = ExecuteCommandResult::Ran;
    if (result.ran == Ran::Attributes || result.ran == Ran::Renamed)
        m_model->setColumn(FileRow::option, result.options, m_fileCount);
    if (result.ran == Ran::Renamed) {
        m_model->setColumn(FileRow::OldName, result.oldNames, m_fileCount);
        m_services.dialogs->inform(u"操作完成！"_s);
    }
}

void MainWindow::UndoRename()
{
    applyToolbar(toolbarChange(Execute::UndoRename(*m_services.dialogs, m_services.paths.undoFolder())));
}

void MainWindow::ClearUndoLogs(bool fromMenu)
{
    Platform::Trash trash;
    const Execute::ClearOutcome outcome =
        Execute::ClearUndoLogs(*m_services.dialogs, trash, m_services.paths.undoFolder(),
                               fromMenu ? Execute::ClearFrom::Menu : Execute::ClearFrom::Toolbar);
    applyToolbar(toolbarChange(outcome));
    if (outcome.disableMenuEntry)
        m_mFilebaby[2]->setEnabled(false);
}

void MainWindow::FileMenuCommand(int index)
{
    switch (index) {
    case 0:
        Execute::ShowFolderProperties(m_currentFolder, *m_services.dialogs, *m_services.shell, this);
        break;
    case 1:
        Execute::RepairComponents(*m_services.dialogs, m_services.paths);
        break;
    case 2:
        ClearUndoLogs(true);
        break;
    case 3:
        close();
        break;
    default:
        break;
    }
}

void MainWindow::HelpMenuCommand(int index)
{
    switch (index) {
    case 0:
        Execute::ShowHelpFile(*m_services.shell, *m_services.dialogs, m_services.paths, this);
        break;
    case 1:
    case 2: {
        // Modal over the main window, without blocking the caller.
        auto* window = new Execute::InfoWindow(
            index == 1 ? Execute::InfoWindow::Page::Contact : Execute::InfoWindow::Page::Usage, this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowModality(Qt::ApplicationModal);
        window->open();
        break;
    }
    case 3:
        Execute::CheckForUpdate(*m_services.dialogs, executableName());
        break;
    default:
        break;
    }
}

void MainWindow::OpenContactConverter()
{
    Contacts::ConverterServices services;
    services.dialogs = m_services.dialogs;
    services.shell = m_services.shell;
    services.paths = m_services.paths;
    services.currentFolder = m_currentFolder;
    services.statusText = [this] { return m_panels[0]->text(); };
    services.setStatusText = [this](const QString& text) { m_panels[0]->setText(text); };
    services.toolArea = [this] {
        const ToolWindowRect& r = m_toolWindowRect;
        return QRect(frameGeometry().left() + r.left / 15, frameGeometry().top() + r.top / 15, r.width / 15,
                     r.height / 15);
    };
    // Modal over the main window, without blocking the caller.
    auto* window = new Contacts::FrmVCF(std::move(services), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal); // open() would make it window-modal only
    window->show();
}

void MainWindow::resizeHandling()
{
    if (!m_geometryRecorded || isMinimized())
        return;
    if (m_SSTab1->currentIndex() != 9)
        m_SSTab1->setCurrentIndex(9);
    m_currentMethod = 9;
    const double sx = double(m_client->width()) / DesignWidth;
    const double sy = double(m_client->height()) / DesignHeight;
    m_geometry.scale(sx, sy);
    // The list's columns and the toolbar's icons grow with the window, so the
    // cells show as much as at the design size.
    for (int column = 0; column < FileRow::ColumnCount; ++column)
        m_LstMain->setColumnWidth(column, int(std::lround(FileListModel::designWidth(column) * sx)));
    const int iconSide = int(std::lround(16 * std::max(1.0, std::min(sx, sy))));
    m_Toolbar1->setIconSize(QSize(iconSide, iconSide));
    ShowMethodPanel(m_currentMethod);
    const double twipsPerPixel = 15.0;
    m_toolWindowRect =
        ToolWindowRect::compute(frameGeometry().height() * twipsPerPixel, m_Picture1->width() * twipsPerPixel,
                                m_Picture1->height() * twipsPerPixel, m_sbStatusBar->height() * twipsPerPixel,
                                m_PicSheet->width() * twipsPerPixel, m_PicSheet->height() * twipsPerPixel);
    m_workbookTab->windowResized();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        resizeHandling();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closing the main window closes the tool windows and ends the program at once.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible())
            window->close();
    }
    event->accept();
    QCoreApplication::quit();
}

} // namespace App
