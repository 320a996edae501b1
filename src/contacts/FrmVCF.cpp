#include "FrmVCF.h"

#include "ContactListModel.h"
#include "ContactTables.h"
#include "VCardWriter.h"
#include "WorkbookExport.h"

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QTreeView>

using namespace Qt::Literals::StringLiterals;

namespace Contacts {

namespace {

// Twips of the design to pixels at 96 dots per inch.
constexpr int px(int twips)
{
    return (twips + 7) / 15;
}

QRect design(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

const QString kStatus = u"状态：Excel与VCF格式转换"_s;

} // namespace

FrmVCF::FrmVCF(ConverterServices services, QWidget* parent) : QDialog(parent), m_services(std::move(services))
{
    setObjectName(u"FrmVCF"_s);
    setWindowTitle(u"Tarnwick——Excel与VCF格式转换"_s);
    resize(DesignWidth, DesignHeight);

    m_TxtFile = new QLineEdit(this);
    m_TxtFile->setAccessibleName(u"联系人文件"_s);
    m_TxtFile->setObjectName(u"TxtFile"_s);
    m_TxtFile->setGeometry(design(120, 120, 9375, 375));

    m_CmdOpen = new QPushButton(u"选择文件"_s, this);
    m_CmdOpen->setObjectName(u"CmdOpen"_s);
    m_CmdOpen->setGeometry(design(9480, 120, 1215, 375));

    m_model = new ContactListModel(this);
    m_LvwVCF = new QTreeView(this);
    m_LvwVCF->setAccessibleName(u"联系人列表"_s);
    m_LvwVCF->setObjectName(u"LvwVCF"_s);
    m_LvwVCF->setGeometry(design(120, 720, 9375, 6015));
    m_LvwVCF->setModel(m_model);
    m_LvwVCF->setRootIsDecorated(false);
    m_LvwVCF->setUniformRowHeights(true);
    m_LvwVCF->setAllColumnsShowFocus(true);
    m_LvwVCF->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_LvwVCF->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const int widths[ContactRow::ColumnCount] = {1200, 1080, 1760, 1760, 1200, 1200, 1200};
    for (int column = 0; column < ContactRow::ColumnCount; ++column)
        m_LvwVCF->setColumnWidth(column, px(widths[column]));

    m_Frame1 = new QGroupBox(u"选项"_s, this);
    m_Frame1->setObjectName(u"Frame1"_s);
    m_Frame1->setGeometry(design(9600, 840, 1695, 1335));
    const QString captions[2] = {u"转换为VCF"_s, u"转换为Excel"_s};
    const QString tips[2] = {u"将csv、txt或excel格式转换为vcf"_s, u"将vcfl格式转换为excel"_s};
    for (int i = 0; i < 2; ++i) {
        m_OptXX[i] = new QRadioButton(captions[i], m_Frame1);
        m_OptXX[i]->setObjectName(u"OptXX_"_s + QString::number(i));
        m_OptXX[i]->setToolTip(tips[i]);
        m_OptXX[i]->setGeometry(design(120, i == 0 ? 360 : 840, 1455, 255));
        connect(m_OptXX[i], &QRadioButton::clicked, this, [this, i] { OptXX_Click(i); });
    }
    m_OptXX[0]->setChecked(true);

    m_CmdRead = new QPushButton(u"读入数据"_s, this);
    m_CmdRead->setObjectName(u"CmdRead"_s);
    m_CmdRead->setGeometry(design(9720, 2640, 1400, 360));
    m_CmdRead->setEnabled(false);

    m_CmdOK = new QPushButton(u"生成VCF"_s, this);
    m_CmdOK->setObjectName(u"CmdOK"_s);
    m_CmdOK->setGeometry(design(9720, 3600, 1400, 360));
    m_CmdOK->setEnabled(false);

    m_Cmdview = new QPushButton(u"查看Excel文件"_s, this);
    m_Cmdview->setObjectName(u"Cmdview"_s);
    m_Cmdview->setGeometry(design(9840, 4440, 1400, 360));
    m_Cmdview->setVisible(false);

    m_FrmSheet = new QGroupBox(u"选择工作表"_s, this);
    m_FrmSheet->setObjectName(u"FrmSheet"_s);
    m_FrmSheet->setGeometry(design(9600, 4440, 1695, 1335));
    m_LstSheet = new QListWidget(m_FrmSheet);
    m_LstSheet->setObjectName(u"LstSheet"_s);
    m_LstSheet->setGeometry(design(120, 240, 1455, 960));
    m_FrmSheet->setVisible(false);

    for (QPushButton* button : {m_CmdOpen, m_CmdRead, m_CmdOK, m_Cmdview})
        button->setAutoDefault(false);
    connect(m_CmdOpen, &QPushButton::clicked, this, &FrmVCF::CmdOpen_Click);
    connect(m_CmdRead, &QPushButton::clicked, this, &FrmVCF::CmdRead_Click);
    connect(m_CmdOK, &QPushButton::clicked, this, &FrmVCF::CmdOK_Click);
    connect(m_Cmdview, &QPushButton::clicked, this, &FrmVCF::Cmdview_Click);
    connect(m_LstSheet, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { LstSheet_Click(m_LstSheet->row(item)); });

    // Form_Load.
    if (m_services.statusText)
        m_savedStatus = m_services.statusText();
    if (m_services.setStatusText)
        m_services.setStatusText(kStatus);
    QString error;
    if (!m_table.LoadCharacterTable(m_services.paths, &error) && m_services.dialogs)
        m_services.dialogs->warn(u"无法读取姓名字符表“"_s + CharacterTable::fileName() + u"”："_s +
                                 m_services.paths.programFile(CharacterTable::fileName()) + u"（"_s + error +
                                 u"）。\r\n姓名将按其 UTF-8 字节编码，转换照常进行。"_s);
    m_geometry.record(this);
    m_reference = QSize(DesignWidth, DesignHeight);
}

// The status text comes back when the window closes (done()); a window destroyed
// with its owner has no status panel left to restore.
FrmVCF::~FrmVCF() = default;

const ContactRows& FrmVCF::rows() const
{
    return m_model->rows();
}

QString FrmVCF::openFilter(int mode)
{
    if (mode == 1)
        return u"手机通讯录文件(*.vcf)|*.vcf"_s;
    return u"CSV逗号分隔文件(*.csv)|*.csv|文本文件（制表符分隔）(*.txt)|*.txt|Excel 文件(*.xls)|*.xls;*.xlsx;*.xlsm"_s;
}

QString FrmVCF::saveFilter(int mode)
{
    if (mode == 1)
        return u"Excel文件(.xls)|*.xls;*.xlsx"_s;
    return u"手机通讯录文件(.vcf)|*.vcf"_s;
}

void FrmVCF::OptXX_Click(int index)
{
    m_mode = index;
    m_OptXX[index]->setChecked(true);
    m_CmdOK->setText(index == 0 ? u"生成VCF"_s : u"生成Excel"_s);
}

void FrmVCF::CmdOpen_Click()
{
    m_LstSheet->clear();
    m_model->clear();
    m_FrmSheet->setVisible(false);

    Platform::FileDialogRequest request;
    request.filter = openFilter(m_mode);
    request.initialFolder = m_services.currentFolder;
    const QString path = m_services.dialogs->openFile(request).trimmed();
    if (path.isEmpty())
        return;
    m_TxtFile->setText(path);
    m_CmdRead->setEnabled(true);

    QString error;
    if (m_mode == 0) {
        if (!isWorkbookPath(path))
            return;
        m_FrmSheet->setVisible(true);
        QStringList lines;
        if (!Read_xls(path, &lines, &error))
            m_services.dialogs->warn(u"无法打开工作簿："_s + path + u"\r\n"_s + error);
        m_LstSheet->addItems(lines);
        if (m_LstSheet->count() > 0)
            m_LstSheet->setCurrentRow(0);
        m_selectedSheet = 1;
    } else if (!ReadVCardLines(path, m_LstHaoma, &error)) {
        m_services.dialogs->warn(u"无法读取文件："_s + path + u"\r\n"_s + error);
    }
}

void FrmVCF::LstSheet_Click(int row)
{
    m_selectedSheet = row + 1;
}

void FrmVCF::readTable(const QString& path)
{
    QString error;
    if (isWorkbookPath(path)) {
        ContactRows rows;
        if (!ReadSheetRows(path, m_selectedSheet, rows, &error))
            m_services.dialogs->warn(u"无法读取工作表："_s + path + u"\r\n"_s + error);
        m_model->append(rows);
        return;
    }
    const TextTableResult result = Read_Text(path);
    if (!result.readable)
        m_services.dialogs->warn(u"无法读取文件："_s + path + u"\r\n"_s + result.error);
    m_model->append(result.rows);
    if (result.stopped)
        m_services.dialogs->inform(textStopMessage(), textStopTitle());
}

void FrmVCF::CmdRead_Click()
{
    const QString path = m_TxtFile->text().trimmed();
    m_CmdRead->setEnabled(false);
    if (m_mode == 0)
        readTable(path);
    else
        m_model->append(ParseVCardLines(m_LstHaoma));
    m_CmdOK->setEnabled(true);
}

void FrmVCF::CmdOK_Click()
{
    m_CmdOK->setEnabled(false);
    Platform::FileDialogRequest request;
    request.filter = saveFilter(m_mode);
    request.initialFolder = m_services.currentFolder;
    const QString path = m_services.dialogs->saveFile(request);
    if (path.isEmpty()) {
        // Nothing was written, so the rows may still be generated once.
        m_CmdOK->setEnabled(true);
        return;
    }
    QString error;
    if (m_mode == 0) {
        if (WriteVCardFile(path, m_model->rows(), m_table, &error))
            m_services.dialogs->inform(createdMessage(path), vcfMessageTitle());
        else
            m_services.dialogs->warn(u"无法写入 "_s + path + u"（"_s + error + u"），文件保持原样。"_s,
                                     vcfMessageTitle());
        return;
    }
    if (!ExportWorkbook(path, m_model->rows(), &error)) {
        m_services.dialogs->warn(u"未能创建 "_s + path + u"\r\n"_s + error, excelMessageTitle());
        return;
    }
    m_tag = path;
    m_services.dialogs->inform(createdMessage(path), excelMessageTitle());
    m_Cmdview->setVisible(true);
}

void FrmVCF::Cmdview_Click()
{
    if (!Platform::PathExists(m_tag) || !m_services.shell->openPath(m_tag))
        m_services.dialogs->warn(u"无法打开 "_s + m_tag);
    m_Cmdview->setVisible(false);
}

void FrmVCF::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_services.setStatusText)
        m_services.setStatusText(m_savedStatus);
}

void FrmVCF::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}

void FrmVCF::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Form_Activate: over the main window's right pane. The reference size stays
    // the design size, so the resize that follows scales the controls to it.
    if (m_placed || !m_services.toolArea)
        return;
    m_placed = true;
    const QRect area = m_services.toolArea();
    if (area.isValid())
        setGeometry(area);
}

void FrmVCF::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (isMinimized() || m_reference.isEmpty())
        return;
    m_geometry.scale(double(width()) / m_reference.width(), double(height()) / m_reference.height());
}

} // namespace Contacts
