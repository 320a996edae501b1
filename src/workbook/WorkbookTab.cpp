#include "WorkbookTab.h"

#include "BlankSheets.h"
#include "CreateWorkbooks.h"
#include "ExcelHost.h"
#include "MergeBooks.h"
#include "MergeSheets.h"
#include "SheetPreviewModel.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "rename/DigitKeyFilter.h"
#include "rename/UpDownButtons.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

namespace {

// Design positions are in twips, 15 to a pixel.
QRect tw(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

const QString workbookFilter = u"Excel文件(*.xls)|*.xls;*.xlsx;*.xlsm;*.XLS;*.XLSX;*.XLSM"_s;
const QString createTitle = u"创建工作薄"_s;

template <typename W> W* place(QWidget* parent, const QString& name, const QRect& rect)
{
    auto* w = new W(parent);
    w->setObjectName(name);
    w->setGeometry(rect);
    return w;
}

QLabel* label(QWidget* parent, const QString& name, const QString& text, const QRect& rect,
              QWidget* buddy = nullptr)
{
    auto* l = place<QLabel>(parent, name, rect);
    l->setText(text);
    // The box a label names: read out with it, and where its mnemonic leads.
    l->setBuddy(buddy);
    return l;
}

} // namespace

WorkbookTab::WorkbookTab(QFrame* strip, QFrame* area, QGroupBox* frasheet, QListWidget* lstNameNosee,
                         Platform::Dialogs* dialogs, Platform::Shell* shell, QObject* parent)
    : QObject(parent), m_dialogs(dialogs), m_shell(shell), Frasheet(frasheet), LstName_Nosee(lstNameNosee)
{
    m_preview = new SheetPreviewModel(this);
    buildStrip(strip);
    buildBookFrame(area);
    buildExlFrame(area);
    buildCreateFrame(area);
    Frasheet->setGeometry(tw(3780, 30, 5520, 5850));
    buildInfo();
    ProBar1 = place<QProgressBar>(area, u"ProBar1"_s, tw(60, 5940, 9250, 200));
    ProBar1->setTextVisible(false);
    ProBar1->hide();
    Lblbook = label(area, u"Lblbook"_s, QString(), tw(60, 6160, 9250, 270));
    // The window is created with the merge of workbooks chosen.
    OptHB[1]->setChecked(true);
    OptHB_Click(1);
}

WorkbookTab::~WorkbookTab() = default;

void WorkbookTab::buildStrip(QFrame* strip)
{
    m_optHBGroup = new QButtonGroup(this);
    const QString captions[2] = {u"合并工作表 (单击“文件”后面打开按钮，选择要合并的工作薄)"_s,
                                 u"合并工作薄 (单击左侧树状目录，选择存放工作簿文件夹)"_s};
    for (int i = 0; i < 2; ++i) {
        OptHB[size_t(i)] =
            place<QRadioButton>(strip, u"OptHB_"_s + QString::number(i), tw(120 + i * 5700, 120, 5600, 300));
        OptHB[size_t(i)]->setText(captions[i]);
        m_optHBGroup->addButton(OptHB[size_t(i)], i);
        connect(OptHB[size_t(i)], &QRadioButton::clicked, this, [this, i] { OptHB_Click(i); });
    }
}

void WorkbookTab::buildBookFrame(QWidget* area)
{
    FraBook = place<QGroupBox>(area, u"FraBook"_s, tw(60, 30, 3650, 3870));
    FraBook->setTitle(u"合并工作表选项"_s);
    QLabel* label1 = label(FraBook, u"Label1"_s, u"文件"_s, tw(120, 360, 500, 270));
    TxtAdress = place<QLineEdit>(FraBook, u"TxtAdress"_s, tw(660, 330, 2500, 300));
    label1->setBuddy(TxtAdress);
    CmdOpen = place<QToolButton>(FraBook, u"CmdOpen"_s, tw(3180, 330, 375, 300));
    CmdOpen->setText(u"…"_s);
    CmdOpen->setToolTip(u"打开文件"_s);
    ChkBook = place<QCheckBox>(FraBook, u"ChkBook"_s, tw(120, 720, 2000, 270));
    ChkBook->setText(u"备份工作簿"_s);
    QLabel* label2 = label(FraBook, u"Label2"_s, u"合并到"_s, tw(120, 1110, 900, 270));
    CboSheet = place<QComboBox>(FraBook, u"CboSheet"_s, tw(1080, 1080, 2475, 300));
    label2->setBuddy(CboSheet);
    CboSheet->addItem(u"新工作表"_s);
    QLabel* label3 = label(FraBook, u"Label3"_s, u"新工作表名"_s, tw(120, 1500, 1000, 270));
    TxtName = place<QLineEdit>(FraBook, u"TxtName"_s, tw(1080, 1470, 2475, 300));
    label3->setBuddy(TxtName);
    TxtName->setText(u"my sheet"_s);
    QLabel* label5 = label(FraBook, u"Label5"_s, u"工作表标题行"_s, tw(120, 1890, 1100, 270));
    TxtBTH = place<QLineEdit>(FraBook, u"TxtBTH"_s, tw(1260, 1860, 2295, 300));
    label5->setBuddy(TxtBTH);
    TxtBTH->setText(u"标题行在第2行"_s);
    TxtBTH->setReadOnly(true);
    ChkXX = place<QCheckBox>(FraBook, u"ChkXX"_s, tw(120, 2280, 1700, 270));
    ChkXX->setText(u"只须一个标题行"_s);
    ChkXX->setChecked(true);
    ChkTitle = place<QCheckBox>(FraBook, u"ChkTitle"_s, tw(1860, 2280, 1700, 270));
    ChkTitle->setText(u"只须一个表头"_s);
    ChkTitle->setChecked(true);
    // Shown as the design has them; no operation reads them.
    auto* group = new QButtonGroup(this);
    const QString xx[2] = {u"表结构完全一致"_s, u"表结构相似"_s};
    for (int i = 0; i < 2; ++i) {
        OptXX[size_t(i)] = place<QRadioButton>(FraBook, u"OptXX_"_s + QString::number(i),
                                               tw(120 + i * 1740, 2640, 1700, 270));
        OptXX[size_t(i)]->setText(xx[i]);
        group->addButton(OptXX[size_t(i)]);
    }
    OptXX[0]->setChecked(true);
    Cmdview = place<QPushButton>(FraBook, u"Cmdview"_s, tw(120, 3120, 1600, 400));
    Cmdview->setText(u"查看工作表"_s);
    CmdHeBin = place<QPushButton>(FraBook, u"CmdHeBin"_s, tw(1920, 3120, 1600, 400));
    CmdHeBin->setText(u"合并工作表"_s);

    connect(CmdOpen, &QToolButton::clicked, this, &WorkbookTab::CmdOpen_Click);
    connect(CboSheet, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_intCboSheet = index;
        TxtName->setEnabled(index == 0);
    });
    connect(TxtName, &QLineEdit::textChanged, this, [this](const QString& text) { m_strTxtName = text; });
    connect(Cmdview, &QPushButton::clicked, this, &WorkbookTab::Cmdview_Click);
    connect(CmdHeBin, &QPushButton::clicked, this, &WorkbookTab::CmdHeBin_Click);
    m_strTxtName = TxtName->text();
    TxtName->installEventFilter(this);
}

bool WorkbookTab::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == TxtName && event->type() == QEvent::MouseButtonRelease)
        TxtName->selectAll();
    return QObject::eventFilter(watched, event);
}

void WorkbookTab::buildExlFrame(QWidget* area)
{
    // The frame also takes the place of the creation frame, which this mode hides.
    FraExl = place<QGroupBox>(area, u"FraExl"_s, tw(60, 30, 3650, 5865));
    FraExl->setTitle(u"合并工作簿选项"_s);
    CmdRead = place<QPushButton>(FraExl, u"CmdRead"_s, tw(120, 240, 1620, 375));
    CmdRead->setText(u"读取工作簿"_s);
    CmdRead->setToolTip(u"合并之前，先要读取工作簿信息"_s);
    CmdBook = place<QPushButton>(FraExl, u"CmdBook"_s, tw(1860, 240, 1620, 375));
    CmdBook->setText(u"合并工作簿"_s);
    CmdBook->setEnabled(false);

    auto pair = [this](QWidget* parent, const QString& name, const QString(&captions)[2]) {
        std::array<QRadioButton*, 2> buttons{};
        auto* group = new QButtonGroup(this);
        for (int i = 0; i < 2; ++i) {
            buttons[size_t(i)] = place<QRadioButton>(parent, name + u'_' + QString::number(i),
                                                     tw(120 + i * 1620, 240, 1560, 300));
            buttons[size_t(i)]->setText(captions[i]);
            group->addButton(buttons[size_t(i)], i);
        }
        buttons[0]->setChecked(true);
        return buttons;
    };

    Frame3 = place<QGroupBox>(FraExl, u"Frame3"_s, tw(120, 660, 3405, 600));
    Frame3->setTitle(u"合并选项"_s);
    const QString sheetCaptions[2] = {u"合并工作表"_s, u"合并数据"_s};
    OptSheet = pair(Frame3, u"OptSheet"_s, sheetCaptions);
    OptSheet[0]->setToolTip(u"将工作表合并到一个工作簿中"_s);
    OptSheet[1]->setToolTip(u"将所有工作簿中工作表数据合并到一个工作表中"_s);

    Frame8 = place<QGroupBox>(FraExl, u"Frame8"_s, tw(120, 1290, 3405, 930));
    Frame8->setTitle(u"选择工作表"_s);
    Frame8->setToolTip(u"当选择合并数据时，强烈建议不要更改此项"_s);
    CboBook = place<QComboBox>(Frame8, u"CboBook"_s, tw(120, 240, 3165, 330));
    CboBook->setToolTip(Frame8->toolTip());
    // Entry 0 is every worksheet, entry k the k-th one (the dash is U+2014).
    CboBook->addItem(u"0—全部工作表"_s);
    for (int k = 1; k <= 20; ++k)
        CboBook->addItem(u"%1—第%1工作表"_s.arg(k));
    CboBook->setCurrentIndex(0);
    CboBook->setAccessibleName(u"合并的工作表"_s);
    ChkBT = place<QCheckBox>(Frame8, u"ChkBT"_s, tw(120, 600, 3165, 300));
    ChkBT->setText(u"只须一个标题行"_s);
    ChkBT->setChecked(true);

    Frame6 = place<QGroupBox>(FraExl, u"Frame6"_s, tw(120, 2250, 3405, 1320));
    Frame6->setTitle(u"目标工作薄"_s);
    const QString goalCaptions[2] = {u"原工作簿"_s, u"新工作簿"_s};
    OptD = pair(Frame6, u"OptD"_s, goalCaptions);
    Frame7 = place<QFrame>(Frame6, u"Frame7"_s, tw(120, 540, 3165, 330));
    Frame7->setToolTip(u"将工作表合并到您选择的工作簿中"_s);
    CboGoal = place<QComboBox>(Frame7, u"CboGoal"_s, QRect(QPoint(0, 0), Frame7->size()));
    CboGoal->setToolTip(Frame7->toolTip());
    CboGoal->setAccessibleName(u"目标工作簿"_s);
    TxtBook = place<QLineEdit>(Frame6, u"TxtBook"_s, tw(120, 900, 3165, 330));
    TxtBook->setReadOnly(true);
    TxtBook->setEnabled(false);
    TxtBook->setAccessibleName(u"新工作簿"_s);

    Frame5 = place<QGroupBox>(FraExl, u"Frame5"_s, tw(120, 3600, 3405, 900));
    Frame5->setTitle(u"工作表名"_s);
    Frame5->setToolTip(u"设置合并后工作表的名称"_s);
    auto* names = new QButtonGroup(this);
    const QString nameCaptions[3] = {u"原工作表名(警惕重名)"_s, u"工作薄_工作表名"_s, u"工作薄名"_s};
    const QRect nameRects[3] = {tw(120, 240, 3165, 300), tw(120, 540, 1800, 300), tw(1980, 540, 1305, 300)};
    for (int i = 0; i < 3; ++i) {
        OptName[size_t(i)] = place<QRadioButton>(Frame5, u"OptName_"_s + QString::number(i), nameRects[i]);
        OptName[size_t(i)]->setText(nameCaptions[i]);
        names->addButton(OptName[size_t(i)], i);
    }
    OptName[2]->setToolTip(u"合并全部工作表时,此项不可用!"_s);
    OptName[1]->setChecked(true);

    Frame4 = place<QGroupBox>(FraExl, u"Frame4"_s, tw(120, 4530, 3405, 600));
    Frame4->setTitle(u"空白工作表(目标工作簿)"_s);
    const QString blankCaptions[2] = {u"删除空白表"_s, u"保留空白表"_s};
    OptBlank = pair(Frame4, u"OptBlank"_s, blankCaptions);

    ChkFolder = place<QCheckBox>(FraExl, u"ChkFolder"_s, tw(120, 5190, 3405, 300));
    ChkFolder->setText(u"备份工作簿所在文件夹"_s);

    connect(CmdRead, &QPushButton::clicked, this, &WorkbookTab::CmdRead_Click);
    connect(CmdBook, &QPushButton::clicked, this, &WorkbookTab::CmdBook_Click);
    for (int i = 0; i < 2; ++i) {
        connect(OptSheet[size_t(i)], &QRadioButton::clicked, this, [this, i] { OptSheet_Click(i); });
        connect(OptD[size_t(i)], &QRadioButton::clicked, this, [this, i] { OptD_Click(i); });
        connect(OptBlank[size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                m_IntOptBlank = i;
        });
    }
    for (int i = 0; i < 3; ++i) {
        connect(OptName[size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                m_IntOptName = i;
        });
    }
    // Setting the item from code runs the handler too, as a click would.
    connect(CboBook, &QComboBox::currentIndexChanged, this, &WorkbookTab::CboBook_Click);
    CboBook_Click();
}

void WorkbookTab::buildCreateFrame(QWidget* area)
{
    FraCreateExl = place<QGroupBox>(area, u"FraCreateExl"_s, tw(120, 3960, 3580, 1935));
    FraCreateExl->setTitle(u"创建工作簿选项"_s);
    QLabel* label4 = label(FraCreateExl, u"Label4"_s, u"设置工作簿数量"_s, tw(120, 360, 1335, 255));
    Txtsheet = place<QLineEdit>(FraCreateExl, u"Txtsheet"_s, tw(1560, 300, 615, 270));
    label4->setBuddy(Txtsheet);
    Txtsheet->setText(u"50"_s);
    auto* updown = place<Rename::UpDownButtons>(FraCreateExl, u"UpDsheet"_s, tw(2160, 300, 240, 270));
    UpDsheet = updown;
    CmdCreate = place<QPushButton>(FraCreateExl, u"CmdCreate"_s, tw(2760, 240, 735, 255));
    CmdCreate->setText(u"创建"_s);
    cmdChaKan = place<QPushButton>(FraCreateExl, u"cmdChaKan"_s, tw(2760, 600, 735, 255));
    cmdChaKan->setText(u"查看"_s);
    cmdChaKan->setEnabled(false);
    TxtXLT = place<QLineEdit>(FraCreateExl, u"TxtXLT"_s, tw(120, 960, 3015, 285));
    label(FraCreateExl, u"Label7"_s, u"选择工作簿模板"_s, tw(120, 720, 1335, 255), TxtXLT);
    CmdXTL = place<QToolButton>(FraCreateExl, u"CmdXTL"_s, tw(3120, 960, 375, 285));
    CmdXTL->setText(u"…"_s);
    CmdXTL->setToolTip(u"打开文件"_s);
    TxtPath = place<QLineEdit>(FraCreateExl, u"TxtPath"_s, tw(120, 1560, 3015, 285));
    label(FraCreateExl, u"Label8"_s, u"设 置 保存路径"_s, tw(120, 1320, 1335, 255), TxtPath);
    CmdPath = place<QToolButton>(FraCreateExl, u"CmdPath"_s, tw(3120, 1560, 375, 285));
    CmdPath->setText(u"…"_s);
    CmdPath->setToolTip(u"打开文件"_s);

    Txtsheet->installEventFilter(new Rename::DigitKeyFilter(
        [this] {
            m_dialogs->message({u"工作簿数量只能为数字！"_s, u"创建工作簿"_s, Platform::MessageIcon::Critical,
                                Platform::MessageButtons::Ok, Platform::MessageAnswer::Ok});
        },
        this));
    connect(updown, &Rename::UpDownButtons::upClicked, this, [this] { UpDsheet_Click(true); });
    connect(updown, &Rename::UpDownButtons::downClicked, this, [this] { UpDsheet_Click(false); });
    connect(CmdCreate, &QPushButton::clicked, this, &WorkbookTab::CmdCreate_Click);
    connect(cmdChaKan, &QPushButton::clicked, this, &WorkbookTab::cmdChaKan_Click);
    connect(CmdXTL, &QToolButton::clicked, this, &WorkbookTab::CmdXTL_Click);
    connect(CmdPath, &QToolButton::clicked, this, &WorkbookTab::CmdPath_Click);
}

void WorkbookTab::buildInfo()
{
    const QRect inner(8, 20, Frasheet->width() - 16, Frasheet->height() - 28);
    TreeView1 = place<QTreeWidget>(Frasheet, u"TreeView1"_s, inner);
    TreeView1->setHeaderHidden(true);
    TreeView1->setAccessibleName(u"工作簿和工作表"_s);
    SSTab2 = place<QTabWidget>(Frasheet, u"SSTab2"_s, inner.adjusted(0, 0, 0, -22));
    SSTab2->setToolTip(u"双击选项卡可查看工作表信息"_s);
    LstSheet = new QTableView;
    LstSheet->setObjectName(u"LstSheet"_s);
    LstSheet->setToolTip(u"单击行数选择标题行"_s);
    LstSheet->setModel(m_preview);
    LstSheet->verticalHeader()->hide();
    LstSheet->verticalHeader()->setDefaultSectionSize(20);
    LstSheet->horizontalHeader()->setDefaultSectionSize(960 / 15);
    LstSheet->setSelectionBehavior(QAbstractItemView::SelectRows);
    LstSheet->setSelectionMode(QAbstractItemView::SingleSelection);
    LstSheet->setShowGrid(true);
    LstSheet->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SSTab2->addTab(LstSheet, QString());
    setSheetCaption(QString());
    LstSheet->setAccessibleName(u"工作表内容"_s);
    LblInfo =
        label(Frasheet, u"LblInfo"_s, QString(), QRect(inner.left(), inner.bottom() - 18, inner.width(), 18));
    LblInfo->hide();
    connect(LstSheet, &QTableView::clicked, this,
            [this](const QModelIndex& index) { LstSheet_Click(index.row() + 1); });
    connect(SSTab2->tabBar(), &QTabBar::tabBarDoubleClicked, this, [this] { SSTab2_DblClick(); });
}

void WorkbookTab::setSheetCaption(const QString& sheetName)
{
    SSTab2->setTabText(0, sheetName);
    // Empty until a sheet is shown: a screen reader still names the tab.
    SSTab2->tabBar()->setAccessibleTabName(0, sheetName.isEmpty() ? u"工作表"_s : sheetName);
}

void WorkbookTab::inform(const QString& text, const QString& title)
{
    m_dialogs->message({text, title, Platform::MessageIcon::Information, Platform::MessageButtons::Ok,
                        Platform::MessageAnswer::Ok});
}

void WorkbookTab::setLblbook(const QString& text)
{
    Lblbook->setText(text);
    Lblbook->show();
    Lblbook->repaint();
}

void WorkbookTab::showProgress(int maximum)
{
    ProBar1->setRange(0, std::max(maximum, 1));
    ProBar1->setValue(0);
    ProBar1->show();
}

// ---- window events ----

void WorkbookTab::folderSelected(const QString& currentFolder, bool workbookTabShown)
{
    m_currentFolder = currentFolder;
    TxtAdress->setText(currentFolder);
    if (workbookTabShown && OptHB[0]->isChecked()) {
        TxtPath->setText(currentFolder);
        TxtPath->setToolTip(u"工作簿存储路径为："_s + TxtPath->text());
    }
}

void WorkbookTab::tabSelected(int index)
{
    if (index == 9)
        OptHB_Click(0);
    CmdCreate->setEnabled(true);
    Lblbook->clear();
    ProBar1->hide();
}

void WorkbookTab::windowResized()
{
    Frasheet->setTitle(u"工作簿信息"_s);
    m_strMsgTitle = u"合并工作簿"_s;
}

// ---- mode switch ----

void WorkbookTab::OptHB_Click(int index)
{
    Lblbook->clear();
    m_intOptHB = index;
    const bool book = OptHB[0]->isChecked();
    FraBook->setVisible(book);
    FraCreateExl->setVisible(book);
    FraExl->setVisible(!book);
    TreeView1->setVisible(!book);
    SSTab2->setVisible(book);
    CmdOpen->setEnabled(book);
    Frasheet->setTitle(index == 0 ? u"显示工作表→选择标题行（默认为第二行）"_s : u"工作簿信息"_s);
    m_strMsgTitle = index == 0 ? u"合并工作表"_s : u"合并工作簿"_s;
}

// ---- workbook information ----

void WorkbookTab::CmdRead_Click()
{
    CboGoal->clear();
    QString folder = m_currentFolder;
    ExcelHost host;
    const FolderScan scan = Read_xls(folder, host, [this](int i, int n, const QString& name) {
        if (i == 1)
            showProgress(n);
        ProBar1->setValue(i);
        setLblbook(readingLabel(i, name));
    });
    if (scan.status == FolderScan::Status::EmptyPath) {
        inform(scan.message(), QString());
        return;
    }
    if (scan.status != FolderScan::Status::Ok) {
        m_dialogs->plain(scan.message());
        return;
    }
    setLblbook(readDoneLabel(int(scan.workbooks.size())));
    CboGoal->addItems(scan.fileNames());
    // The target is chosen, never assumed.
    CboGoal->setCurrentIndex(-1);
    m_intSheetCount = scan.sheetCounts();
    LstName_Nosee->clear();
    LstName_Nosee->addItems(scan.sheetEntries());
    const int n = CboGoal->count();
    const int m = LstName_Nosee->count();
    if (n == 0)
        return;
    CmdBook->setEnabled(true);
    TreeView1->clear();
    auto* first = new QTreeWidgetItem(TreeView1, {TxtAdress->text() + u"(共"_s + QString::number(n) +
                                                  u"个工作簿"_s + QString::number(m) + u"个工作表）"_s});
    Q_UNUSED(first);
    QList<QTreeWidgetItem*> books;
    for (int i = 1; i <= n; ++i) {
        auto* node = new QTreeWidgetItem(TreeView1, {CboGoal->itemText(i - 1)});
        node->setData(0, Qt::UserRole, QString(u"A"_s + QString::number(i)));
        books << node;
    }
    for (int k = 0; k < m; ++k) {
        const QString entry = LstName_Nosee->item(k)->text();
        const qsizetype bar = entry.indexOf(u'|');
        const int ordinal = entry.left(bar).toInt();
        if (ordinal >= 1 && ordinal <= n)
            new QTreeWidgetItem(books[ordinal - 1], {entry.mid(bar + 1).trimmed()});
    }
    TreeView1->expandAll();
    ProBar1->setValue(ProBar1->minimum());
}

void WorkbookTab::CmdOpen_Click()
{
    TxtAdress->clear();
    const QString chosen = m_dialogs->openFile({QString(), workbookFilter, m_currentFolder, QString()});
    TxtAdress->setText(chosen);
    if (m_intOptHB != 0 || chosen.isEmpty())
        return;
    ExcelHost host;
    WorkbookError error;
    const QList<SheetInfo> info = readSheetInfo(host, chosen, &error);
    m_LngBth = 2;
    TxtBTH->setText(u"标题行在第2行"_s);
    CboSheet->clear();
    CboSheet->addItem(u"新工作表"_s);
    m_strTxtName = TxtName->text();
    if (!error.ok()) {
        m_openedPath.clear();
        m_intSheet = 0;
        m_dialogs->warn(u"无法打开工作簿：\r\n"_s + chosen + u"\r\n"_s + error.message, m_strMsgTitle);
        return;
    }
    m_intSheet = int(info.size());
    // The record table grows to hold the entries and is never shrunk.
    for (const SheetInfo& s : info) {
        if (m_sheetInfo.size() < s.index)
            m_sheetInfo.resize(s.index);
        m_sheetInfo[s.index - 1] = s;
        CboSheet->addItem(s.sheetName);
    }
    m_openedPath = chosen;
}

void WorkbookTab::Cmdview_Click()
{
    const int index = CboSheet->currentIndex();
    if (index != 0 && index != -1) {
        GetInfoSheet(index);
        ProBar1->setValue(ProBar1->minimum());
    } else {
        inform(u"请选择要查看的工作表"_s, m_strMsgTitle);
    }
}

void WorkbookTab::GetInfoSheet(int n)
{
    if (n == 0 || n == -1) {
        setSheetCaption(QString());
        return;
    }
    if (n > 20) {
        inform(u"最多只能显示第20个工作表！"_s, m_strMsgTitle);
        return;
    }
    if (n > m_sheetInfo.size())
        return;
    setSheetCaption(m_sheetInfo[n - 1].sheetName);
    InitLvw(n);
}

void WorkbookTab::InitLvw(int k)
{
    if (k < 1 || k > m_sheetInfo.size())
        return;
    const SheetInfo& info = m_sheetInfo[k - 1];
    ExcelHost host;
    WorkbookError error;
    showProgress(info.rowCount);
    if (!m_preview->load(host, info.fullPath, k, &error)) {
        m_dialogs->warn(u"无法读取工作表：\r\n"_s + info.fullPath + u"\r\n"_s + error.message, m_strMsgTitle);
        return;
    }
    m_previewed = k;
    LstSheet->setColumnWidth(0, 1120 / 15);
    LblInfo->setText(u"工作表《"_s + m_preview->sheetName() + u"》数据共"_s + QString::number(info.rowCount) +
                     u"行"_s);
    LblInfo->show();
    ProBar1->setValue(ProBar1->maximum());
}

void WorkbookTab::LstSheet_Click(int row)
{
    if (row < 1 || row > m_preview->rowCount())
        return;
    m_preview->setCheckedRow(row);
    m_LngBth = m_preview->checkedRow();
    TxtBTH->setText(u"标题行在第"_s + QString::number(m_LngBth) + u"行"_s);
}

void WorkbookTab::SSTab2_DblClick()
{
    ProBar1->hide();
    LblInfo->hide();
    // The worksheet shown is read again (it may have changed on disk).
    InitLvw(m_previewed);
}

// ---- merge workbooks ----

void WorkbookTab::OptD_Click(int i)
{
    m_intCboGoal = i;
    if (i == 1) {
        m_strGoalFN.clear();
        m_replaceGoal = false;
        CboGoal->setEnabled(false);
        const std::optional<QString> answer =
            m_dialogs->inputText(u"合并工作簿"_s, u"请输入新工作簿名称:"_s, u"My NewBook"_s);
        if (answer && !answer->isEmpty()) {
            m_strGoalFN = newGoalPath(m_currentFolder, *answer);
            TxtBook->setEnabled(true);
            TxtBook->setText(m_strGoalFN);
            if (QFileInfo::exists(m_strGoalFN)) {
                const Platform::MessageAnswer replace =
                    m_dialogs->message({m_strGoalFN + u"\r\n"_s + u"文件已存在!是否覆盖?"_s, m_strMsgTitle,
                                        Platform::MessageIcon::Question, Platform::MessageButtons::YesNo,
                                        Platform::MessageAnswer::No});
                if (replace == Platform::MessageAnswer::Yes)
                    m_replaceGoal = true;
                else
                    m_strGoalFN.clear();
            }
        }
    } else {
        CboGoal->setEnabled(true);
        TxtBook->clear();
        TxtBook->setEnabled(false);
        if (CboGoal->count() > 0)
            CboGoal->setCurrentIndex(0);
    }
    TxtBook->setToolTip(TxtBook->text());
}

void WorkbookTab::OptSheet_Click(int i)
{
    m_hbOption = i;
    const bool sheets = i == 0;
    ChkBT->setEnabled(!sheets);
    CboBook->setCurrentIndex(sheets ? 0 : 1);
    Frame4->setEnabled(sheets);
    Frame5->setEnabled(sheets);
    for (QRadioButton* o : OptName)
        o->setEnabled(sheets);
    for (QRadioButton* o : OptBlank)
        o->setEnabled(sheets);
}

void WorkbookTab::CboBook_Click()
{
    m_IntCboBook = CboBook->currentIndex();
    if (m_IntCboBook == 0) {
        OptName[2]->setEnabled(false);
        if (OptName[2]->isChecked())
            OptName[0]->setChecked(true);
    } else if (m_hbOption == 0) {
        OptName[2]->setEnabled(true);
    }
    if (m_IntCboBook == 0 && m_hbOption == 1) {
        inform(u"合并数据时不能选择全部工作表！"_s, m_strMsgTitle);
        CboBook->setCurrentIndex(1);
    }
}

void WorkbookTab::CmdBook_Click()
{
    Lblbook->setText(QString());
    MergeBooksOptions o;
    o.CurrentFolder = m_currentFolder;
    for (int i = 0; i < CboGoal->count(); ++i)
        o.books << CboGoal->itemText(i);
    o.intSheetCount = m_intSheetCount;
    o.hbOption = m_hbOption;
    o.IntCboBook = m_IntCboBook;
    o.ChkBT = ChkBT->isChecked();
    o.ChkFolder = ChkFolder->isChecked();
    o.intCboGoal = OptD[1]->isChecked() ? 1 : 0;
    o.goalIndex = CboGoal->currentText().isEmpty() ? -1 : CboGoal->currentIndex();
    o.strGoalFN = m_strGoalFN;
    o.replaceGoal = m_replaceGoal;
    o.IntOptName = m_IntOptName;
    o.IntOptBlank = m_IntOptBlank;
    ExcelHost host;
    showProgress(int(o.books.size()));
    const MergeBooksResult r = mergeWorkbooks(host, o, [this](int value, int maximum, const QString& label) {
        ProBar1->setRange(0, std::max(maximum, 1));
        ProBar1->setValue(value);
        if (!label.isEmpty())
            setLblbook(label);
    });
    ProBar1->setValue(ProBar1->minimum());
    if (!r.started)
        ProBar1->hide();
    else
        CmdBook->setEnabled(false);
    for (const MergeBooksMessage& m : r.messages) {
        m_dialogs->message({m.text, m_strMsgTitle,
                            m.error ? Platform::MessageIcon::Critical : Platform::MessageIcon::Information,
                            Platform::MessageButtons::Ok, Platform::MessageAnswer::Ok});
    }
    if (r.status == MergeBooksResult::Status::Done)
        setLblbook(r.Lblbook);
}

// ---- merge worksheets ----

void WorkbookTab::CmdHeBin_Click()
{
    if (TxtAdress->text().trimmed().isEmpty()) {
        inform(u"请选择文件！"_s, m_strMsgTitle);
        return;
    }
    if (m_intOptHB != 0)
        return;
    MergeSheetsOptions o;
    o.TxtAdress = TxtAdress->text();
    o.openedPath = m_openedPath;
    o.ChkBook = ChkBook->isChecked();
    o.intCboSheet = m_intCboSheet;
    o.strTxtName = m_strTxtName;
    o.LngBth = m_LngBth;
    o.ChkXX = ChkXX->isChecked();
    ExcelHost host;
    const MergeSheetsResult r = mergeWorksheets(host, o);
    for (const QString& text : r.messages)
        inform(text, m_strMsgTitle);
    if (!r.Lblbook.isEmpty())
        setLblbook(r.Lblbook);
}

// ---- batch creation ----

void WorkbookTab::CmdPath_Click()
{
    QString path = m_dialogs->chooseFolder(u"把输出的文件存放到这个文件夹："_s, m_currentFolder);
    if (!path.isEmpty() && !path.endsWith(u'/'))
        path += u'/';
    TxtPath->setText(path);
    TxtPath->setToolTip(u"工作簿存储路径为："_s + path);
    CmdCreate->setEnabled(true);
    Lblbook->clear();
}

void WorkbookTab::CmdXTL_Click()
{
    const QString chosen =
        m_dialogs->openFile({QString(), u"Excel文档模板(.xlt)|*.xlt;*.xltx;*.xlsx;*.XLT;*.XLTX;*.XLSX"_s,
                             m_currentFolder, QString()});
    TxtXLT->setText(chosen.trimmed());
    TxtXLT->setToolTip(u"当前工作薄模板为："_s + TxtXLT->text());
    CmdCreate->setEnabled(true);
    Lblbook->clear();
}

void WorkbookTab::UpDsheet_Click(bool up)
{
    const qint64 v = countValue(Txtsheet->text());
    const qint64 next = up ? (v < 200 ? v + 1 : 50) : (v > 1 ? v - 1 : 50);
    Txtsheet->setText(QString::number(next));
}

void WorkbookTab::CmdCreate_Click()
{
    Q_EMIT showTabRequested();
    OptHB[0]->setChecked(true);
    OptHB_Click(0);
    CreateWorkbooksOptions o;
    o.TxtPath = TxtPath->text();
    o.Txtsheet = Txtsheet->text();
    o.TxtXLT = TxtXLT->text();
    const QString refusal = checkCreateOptions(o);
    if (!refusal.isEmpty()) {
        inform(refusal, createTitle);
        return;
    }
    if (o.TxtXLT.trimmed().isEmpty()) {
        const Platform::MessageAnswer answer =
            m_dialogs->message({u"用默认模板创建工作薄吗？"_s, createTitle, Platform::MessageIcon::Question,
                                Platform::MessageButtons::YesNo, Platform::MessageAnswer::Yes});
        if (answer != Platform::MessageAnswer::Yes)
            return;
    }
    showProgress(int(countValue(o.Txtsheet)));
    ExcelHost host;
    const CreateWorkbooksResult r = CreateWorkbooks(host, o, [this](qint64 i, qint64, const QString& name) {
        setLblbook(creatingLabel(i, name));
        ProBar1->setValue(int(i));
    });
    for (const QString& text : r.messages)
        inform(text, createTitle);
    if (!r.started)
        return;
    setLblbook(r.Lblbook);
    cmdChaKan->setEnabled(true);
    CmdCreate->setEnabled(false);
}

void WorkbookTab::cmdChaKan_Click()
{
    if (m_shell)
        m_shell->openPath(outputFolder(TxtPath->text()));
    cmdChaKan->setEnabled(false);
    ProBar1->hide();
    Lblbook->clear();
}

// ---- the Tools menu ----

void WorkbookTab::mDelBlankSheet_Click()
{
    const QString path =
        m_dialogs->openFile({QString(), workbookFilter, m_currentFolder, QString()}).trimmed();
    if (path.isEmpty())
        return;
    ExcelHost host;
    const BlankSheetResult r = Delete_BlankSheet(host, path);
    if (!r.ok()) {
        m_dialogs->warn(u"无法处理工作簿：\r\n"_s + path + u"\r\n"_s + r.error.message, m_strMsgTitle);
        return;
    }
    const QString text = blankSheetMessage(r);
    if (!text.isEmpty())
        inform(text, m_strMsgTitle);
}

void WorkbookTab::mDelAllBlankSheet_Click()
{
    QString folder = m_currentFolder;
    QStringList previous;
    for (int i = 0; i < CboGoal->count(); ++i)
        previous << CboGoal->itemText(i);
    ExcelHost host;
    const BlankSheetFolderRun run =
        deleteAllBlankSheets(host, folder, previous, [this](int i, int n, const QString& name) {
            if (i == 1)
                showProgress(n);
            ProBar1->setValue(i);
            setLblbook(readingLabel(i, name));
        });
    if (run.scan.status == FolderScan::Status::Ok) {
        CboGoal->clear();
        CboGoal->addItems(run.scan.fileNames());
        m_intSheetCount = run.scan.sheetCounts();
    } else if (run.scan.status == FolderScan::Status::EmptyPath) {
        inform(run.scan.message(), QString());
    } else {
        m_dialogs->plain(run.scan.message());
    }
    setLblbook(run.Lblbook());
    inform(run.messages.last(), QString());
}

void WorkbookTab::mCreateExl_Click()
{
    CmdCreate_Click();
}

} // namespace Xl
