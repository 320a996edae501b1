// The workbook tab driven offscreen: the mode switch, the folder scan into the
// tree, opening a workbook, the preview and its title-row click, both merge
// targets, batch creation, with the messages answered by scripted dialogs.

#include "Fixtures.h"
#include "FocusWalk.h"
#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "TempTree.h"

#include "ExcelHost.h"
#include "SheetPreviewModel.h"
#include "Workbook.h"
#include "WorkbookTab.h"
#include "Worksheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using namespace Xl;

namespace {

// The main window's pieces the tab lives in.
struct Host
{
    QWidget window;
    QFrame* strip;
    QFrame* area;
    QGroupBox* frasheet;
    QListWidget* nosee;
    Host()
    {
        window.resize(795, 500);
        strip = new QFrame(&window);
        strip->setGeometry(5, 5, 775, 36);
        area = new QFrame(&window);
        area->setGeometry(160, 60, 625, 433);
        frasheet = new QGroupBox(u"工作簿信息"_s, area);
        frasheet->setObjectName(u"Frasheet"_s);
        nosee = new QListWidget(&window);
        nosee->hide();
    }
};

QString screenshotPath(const QString& name)
{
    const QString dir = QStringLiteral(SCREENSHOT_DIR);
    QDir().mkpath(dir);
    return dir + u'/' + name;
}

} // namespace

class WorkbookTabTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void modeSwitch();
    void folderScan();
    void scanWithoutWorkbooks();
    void previewAndMerge();
    void mergeRefusedAfterFolderClick();
    void create();
    void countBox();
    void blankSheetCommands();
    void mergeBooksOptions_data();
    void mergeBooksOptions();
    void mergeBooksRun();
    void keyboardOrder_data();
    void keyboardOrder();

private:
    TempTree m_tree;
    QString m_folder;
};

void WorkbookTabTest::initTestCase()
{
    m_folder = m_tree.mkdir(u"books"_s) + u'/';
    {
        Fixtures::XlsxBuilder b(m_folder + u"a.xlsx"_s);
        b.sheet(u"一"_s);
        b.text(1, 1, u"标题"_s);
        b.text(2, 1, u"姓名"_s);
        b.text(2, 2, u"分数"_s);
        b.text(3, 1, u"张三"_s);
        b.number(3, 2, 90);
        b.text(4, 1, u"李四"_s);
        b.number(4, 2, 80);
        b.sheet(u"二"_s);
        b.text(2, 1, u"姓名"_s);
        b.text(3, 1, u"王五"_s);
        b.sheet(u"空白"_s);
        QVERIFY(b.close());
    }
    {
        Fixtures::XlsxBuilder b(m_folder + u"b.xlsx"_s);
        b.sheet(u"x|y"_s);
        b.number(1, 1, 1);
        QVERIFY(b.close());
    }
}

void WorkbookTabTest::modeSwitch()
{
    Host h;
    ScriptedDialogs dialogs;
    WorkbookTab tab(h.strip, h.area, h.frasheet, h.nosee, &dialogs, nullptr);
    h.window.show();
    QVERIFY(tab.OptHB[1]->isChecked());
    QCOMPARE(tab.OptHB[0]->text(), u"合并工作表 (单击“文件”后面打开按钮，选择要合并的工作薄)"_s);
    // The first showing of the tab runs the switch with index 0 while option 1
    // is selected: frames follow the selection, captions the index.
    tab.tabSelected(9);
    QCOMPARE(tab.intOptHB(), 0);
    QVERIFY(tab.FraExl->isVisible());
    QVERIFY(tab.TreeView1->isVisible());
    QVERIFY(!tab.FraBook->isVisible());
    QVERIFY(!tab.FraCreateExl->isVisible());
    QCOMPARE(h.frasheet->title(), u"显示工作表→选择标题行（默认为第二行）"_s);
    QCOMPARE(tab.strMsgTitle(), u"合并工作表"_s);
    QVERIFY(h.window.grab().save(screenshotPath(u"workbook-tab-merge-workbooks.png"_s)));

    QTest::mouseClick(tab.OptHB[0], Qt::LeftButton);
    QCOMPARE(tab.intOptHB(), 0);
    QVERIFY(tab.FraBook->isVisible());
    QVERIFY(tab.FraCreateExl->isVisible());
    QVERIFY(!tab.FraExl->isVisible());
    QVERIFY(!tab.TreeView1->isVisible());
    QVERIFY(tab.CmdOpen->isEnabled());
    QVERIFY(h.window.grab().save(screenshotPath(u"workbook-tab-merge-worksheets.png"_s)));

    QTest::mouseClick(tab.OptHB[1], Qt::LeftButton);
    QCOMPARE(tab.intOptHB(), 1);
    QCOMPARE(h.frasheet->title(), u"工作簿信息"_s);
    QCOMPARE(tab.strMsgTitle(), u"合并工作簿"_s);
    QVERIFY(!tab.CmdOpen->isEnabled());
}

void WorkbookTabTest::folderScan()
{
    Host h;
    ScriptedDialogs dialogs;
    WorkbookTab tab(h.strip, h.area, h.frasheet, h.nosee, &dialogs, nullptr);
    h.window.show();
    tab.folderSelected(m_folder, true);
    QTest::mouseClick(tab.CmdRead, Qt::LeftButton);
    QVERIFY(dialogs.messages.isEmpty());
    QCOMPARE(tab.CboGoal->count(), 2);
    QCOMPARE(tab.intSheetCount(), (QList<int>{3, 1}));
    QStringList entries;
    for (int i = 0; i < h.nosee->count(); ++i)
        entries << h.nosee->item(i)->text();
    QCOMPARE(entries, (QStringList{u"1|一"_s, u"1|二"_s, u"1|空白(空白工作表)"_s, u"2|x|y"_s}));
    QVERIFY(tab.CmdBook->isEnabled());
    QCOMPARE(tab.TreeView1->topLevelItemCount(), 3);
    QCOMPARE(tab.TreeView1->topLevelItem(0)->text(0), m_folder + u"(共2个工作簿4个工作表）"_s);
    QCOMPARE(tab.TreeView1->topLevelItem(1)->text(0), u"a.xlsx"_s);
    QCOMPARE(tab.TreeView1->topLevelItem(1)->data(0, Qt::UserRole).toString(), u"A1"_s);
    QCOMPARE(tab.TreeView1->topLevelItem(1)->child(2)->text(0), u"空白(空白工作表)"_s);
    QCOMPARE(tab.TreeView1->topLevelItem(2)->child(0)->text(0), u"x|y"_s);
    QVERIFY(tab.TreeView1->topLevelItem(2)->isExpanded());
    QCOMPARE(tab.Lblbook->text(), u"    2个工作簿读取完毕！"_s);
    QVERIFY(h.window.grab().save(screenshotPath(u"workbook-tab-folder-scan.png"_s)));
}

void WorkbookTabTest::scanWithoutWorkbooks()
{
    Host h;
    ScriptedDialogs dialogs;
    WorkbookTab tab(h.strip, h.area, h.frasheet, h.nosee, &dialogs, nullptr);
    tab.folderSelected(m_folder, true);
    tab.CmdRead_Click();
    const int nodes = tab.TreeView1->topLevelItemCount();
    const QString empty = m_tree.mkdir(u"empty"_s) + u'/';
    tab.folderSelected(empty, true);
    tab.CmdRead_Click();
    QCOMPARE(dialogs.texts(), QStringList{u"所选文件夹中没有Excel文件，请重新选择！"_s});
    QCOMPARE(tab.CboGoal->count(), 0);
    QCOMPARE(tab.TreeView1->topLevelItemCount(), nodes);
    QCOMPARE(h.nosee->count(), 4);
}

void WorkbookTabTest::previewAndMerge()
{
    const QString path = m_tree.file(u"merge.xlsx"_s);
    QVERIFY(QFile::copy(m_folder + u"a.xlsx"_s, path));
    Host h;
    ScriptedDialogs dialogs;
    WorkbookTab tab(h.strip, h.area, h.frasheet, h.nosee, &dialogs, nullptr);
    h.window.show();
    QTest::mouseClick(tab.OptHB[0], Qt::LeftButton);
    dialogs.files.enqueue(path);
    QTest::mouseClick(tab.CmdOpen, Qt::LeftButton);
    QCOMPARE(tab.TxtAdress->text(), path);
    QStringList items;
    for (int i = 0; i < tab.CboSheet->count(); ++i)
        items << tab.CboSheet->itemText(i);
    QCOMPARE(items, (QStringList{u"新工作表"_s, u"一"_s, u"二"_s, u"空白"_s}));
    QCOMPARE(tab.sheetInfo().at(0).rowCount, 4);
    QCOMPARE(tab.sheetInfo().at(0).fileName, u"merge.xlsx"_s);

    // "新工作表" cannot be viewed.
    tab.Cmdview_Click();
    QCOMPARE(dialogs.texts(), QStringList{u"请选择要查看的工作表"_s});
    dialogs.clear();

    QTest::mouseClick(tab.TxtName, Qt::LeftButton);
    QCOMPARE(tab.TxtName->selectedText(), u"my sheet"_s);
    tab.CboSheet->setCurrentIndex(1);
    QVERIFY(!tab.TxtName->isEnabled());
    // Viewing twice shows one set of columns.
    QTest::mouseClick(tab.Cmdview, Qt::LeftButton);
    QTest::mouseClick(tab.Cmdview, Qt::LeftButton);
    QTableView* view = tab.LstSheet;
    QCOMPARE(view->model()->columnCount(), 3);
    QCOMPARE(view->model()->headerData(0, Qt::Horizontal).toString(), u"行数"_s);
    QCOMPARE(view->model()->headerData(2, Qt::Horizontal).toString(), u"B"_s);
    QCOMPARE(view->model()->data(view->model()->index(2, 0)).toString(), u"行3"_s);
    QCOMPARE(view->model()->data(view->model()->index(2, 2)).toString(), u"90"_s);
    QCOMPARE(view->model()->data(view->model()->index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(tab.SSTab2->tabText(0), u"一"_s);
    QCOMPARE(tab.LblInfo->text(), u"工作表《一》数据共4行"_s);

    // A click on row 1 makes it the title row.
    const QRect cell = view->visualRect(view->model()->index(0, 1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(tab.LngBth(), 1);
    QCOMPARE(tab.TxtBTH->text(), u"标题行在第1行"_s);
    QCOMPARE(tab.previewModel()->checkedRow(), 1);
    QVERIFY(h.window.grab().save(screenshotPath(u"workbook-tab-preview.png"_s)));
    // Back to row 2 and merge into a new worksheet.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(1, 1)).center());
    QCOMPARE(tab.LngBth(), 2);
    // A sheet above 20 is refused.
    tab.GetInfoSheet(21);
    QCOMPARE(dialogs.texts(), QStringList{u"最多只能显示第20个工作表！"_s});
    dialogs.clear();

    tab.CboSheet->setCurrentIndex(0);
    QTest::mouseClick(tab.CmdHeBin, Qt::LeftButton);
    QCOMPARE(dialogs.texts(), QStringList{u"合并了 3 个工作表！"_s});
    QCOMPARE(dialogs.messages.first().title, u"合并工作表"_s);
    {
        ExcelHost host;
        Workbook* book = host.Open(path);
        QVERIFY(book);
        Worksheet* ws = book->Worksheets(u"my sheet"_s);
        QVERIFY(ws);
        QCOMPARE(ws->lastValueRow(), 4);
        QCOMPARE(ws->Cells(4, 1).Text(), u"王五"_s);
        book->Close(false);
    }
    dialogs.clear();

    // Into an existing worksheet, after opening again, with a backup.
    dialogs.files.enqueue(path);
    tab.CmdOpen_Click();
    tab.CboSheet->setCurrentIndex(2); // 二
    tab.ChkBook->setChecked(true);
    tab.CmdHeBin_Click();
    QCOMPARE(dialogs.texts(),
             (QStringList{u"工作簿备份到： \r\n"_s + m_tree.file(u"_merge.xlsx"_s),
                          u"    已将3 个工作表合并到：\r\n《二》工作表中!\r\n    请查看！"_s}));
    ExcelHost host;
    Workbook* book = host.Open(path);
    QVERIFY(book);
    QCOMPARE(book->Worksheets(u"二"_s)->lastValueRow(), 3 + 2 + 2);
    book->Close(false);
    QString messages;
    QVERIFY2(Fixtures::gnumericReads(path, &messages), qPrintable(messages));
    QVERIFY2(messages.isEmpty(), qPrintable(messages));
}

void WorkbookTabTest::mergeRefusedAfterFolderClick()
{
    const QString path = m_tree.file(u"refused.xlsx"_s);
    QVERIFY(QFile::copy(m_folder + u"a.xlsx"_s, path));
    Host h;
    ScriptedDialogs dialogs;
    WorkbookTab tab(h.strip, h.area, h.frasheet, h.nosee, &dialogs, nullptr);
    tab.OptHB[0]->setChecked(true);
    tab.OptHB_Click(0);
    dialogs.files.enqueue(path);
    tab.CmdOpen_Click();
    tab.folderSelected(m_folder, true); // writes the folder into TxtAdress
    tab.CmdHeBin_Click();
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY(dialogs.messages.first().text.contains(u"重新打开"_s));
    QCOMPARE(m_tree.read(u"refused.xlsx"_s), m_tree.read(u"books/a.xlsx"_s));
}

void WorkbookTabTest::create()
{
    const QString out = m_tree.mkdir(u"created"_s);
    Host h;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    WorkbookTab tab(h.strip, h.area, h.frasheet, h.nosee, &dialogs, &shell);
    tab.Txtsheet->setText(u"3"_s);
    // No folder: refused before the count is looked at.
    tab.CmdCreate_Click();
    QCOMPARE(dialogs.texts(), QStringList{u"请选择工作薄的保存路径！"_s});
    QVERIFY(tab.OptHB[0]->isChecked());
    dialogs.clear();
    dialogs.folders.enqueue(out);
    tab.CmdPath_Click();
    QCOMPARE(tab.TxtPath->text(), out + u'/');
    // "No" to the default template: nothing made, no progress shown.
    dialogs.answers.enqueue(Platform::MessageAnswer::No);
    tab.CmdCreate_Click();
    QCOMPARE(dialogs.texts(), QStringList{u"用默认模板创建工作薄吗？"_s});
    QVERIFY(m_tree.entries(u"created"_s).isEmpty());
    QVERIFY(tab.ProBar1->isHidden());
    dialogs.clear();
    dialogs.answers.enqueue(Platform::MessageAnswer::Yes);
    QTest::mouseClick(tab.CmdCreate, Qt::LeftButton);
    QCOMPARE(m_tree.entries(u"created"_s), (QStringList{u"Book01.xls"_s, u"Book02.xls"_s, u"Book03.xls"_s}));
    QCOMPARE(tab.Lblbook->text(), u"3 个工作簿创建完毕！"_s);
    QVERIFY(!tab.CmdCreate->isEnabled());
    QVERIFY(tab.cmdChaKan->isEnabled());
    tab.cmdChaKan_Click();
    QCOMPARE(shell.opened, QStringList{out + u'/'});
    QVERIFY(!tab.cmdChaKan->isEnabled());
    QVERIFY(tab.Lblbook->text().isEmpty());
    // The menu entry runs again whatever the button's state; nothing is replaced.
    dialogs.answers.enqueue(Platform::MessageAnswer::Yes);
    tab.mCreateExl_Click();
    QCOMPARE(tab.Lblbook->text(), u"0 个工作簿创建完毕！另有3个工作簿已存在，未替换。"_s);
}

void WorkbookTabTest::countBox()
{
    Host h;
    ScriptedDialogs dialogs;
    WorkbookTab tab(h.strip, h.area, h.frasheet, h.nosee, &dialogs, nullptr);
    h.window.show();
    tab.Txtsheet->setFocus();
    QTest::sendKeyEvent(QTest::Click, tab.Txtsheet, Qt::Key_A, u"a"_s, {});
    QCOMPARE(tab.Txtsheet->text(), u"50"_s);
    QCOMPARE(dialogs.texts(), QStringList{u"工作簿数量只能为数字！"_s});
    QCOMPARE(dialogs.messages.first().title, u"创建工作簿"_s);
    QCOMPARE(dialogs.messages.first().icon, Platform::MessageIcon::Critical);
    tab.Txtsheet->setText(u"200"_s);
    tab.UpDsheet_Click(true);
    QCOMPARE(tab.Txtsheet->text(), u"50"_s);
    tab.UpDsheet_Click(true);
    QCOMPARE(tab.Txtsheet->text(), u"51"_s);
    tab.Txtsheet->setText(u"1"_s);
    tab.UpDsheet_Click(false);
    QCOMPARE(tab.Txtsheet->text(), u"50"_s);
}

void WorkbookTabTest::blankSheetCommands()
{
    const QString folder = m_tree.mkdir(u"blanks"_s) + u'/';
    QVERIFY(QFile::copy(m_folder + u"a.xlsx"_s, folder + u"a.xlsx"_s));
    QVERIFY(QFile::copy(m_folder + u"b.xlsx"_s, folder + u"b.xlsx"_s));
    Host h;
    ScriptedDialogs dialogs;
    WorkbookTab tab(h.strip, h.area, h.frasheet, h.nosee, &dialogs, nullptr);
    tab.OptHB_Click(1);
    // One workbook without blank sheets: no message.
    dialogs.files.enqueue(folder + u"b.xlsx"_s);
    tab.mDelBlankSheet_Click();
    QVERIFY(dialogs.messages.isEmpty());
    tab.setCurrentFolder(folder);
    tab.mDelAllBlankSheet_Click();
    QCOMPARE(dialogs.texts(),
             QStringList{u"文件夹 "_s + folder.chopped(1) + u"\r\n所有工作簿中空白工作表全部删除"_s});
    QCOMPARE(tab.CboGoal->count(), 2);
    QCOMPARE(tab.Lblbook->text(), u"    2个工作簿读取完毕！"_s);
    ExcelHost host;
    Workbook* book = host.Open(folder + u"a.xlsx"_s);
    QVERIFY(book);
    QCOMPARE(book->worksheetCount(), 2);
    book->Close(false);
}

void WorkbookTabTest::mergeBooksOptions_data()
{
    // Steps: "sheet0"/"sheet1" click OptSheet, "bookN" chooses CboBook item N,
    // "nameN" clicks OptName(N), "new:TEXT" / "new:" (cancel) clicks OptD(1)
    // and answers the input box, "existing" clicks OptD(0), "no" answers the
    // next question No.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("cboBook");
    QTest::addColumn<bool>("name2Enabled");
    QTest::addColumn<int>("optName");
    QTest::addColumn<QString>("goal");    // strGoalFN after the folder
    QTest::addColumn<QString>("txtBook"); // TxtBook after the folder
    QTest::addColumn<bool>("cboGoalEnabled");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("at start") << QStringList() << 0 << false << 1 << QString() << QString() << true
                              << QStringList();
    QTest::newRow("data moves to worksheet 1")
        << QStringList{u"sheet1"_s} << 1 << false << 1 << QString() << QString() << true << QStringList();
    QTest::newRow("all worksheets refused for data")
        << QStringList{u"sheet1"_s, u"book0"_s} << 1 << false << 1 << QString() << QString() << true
        << QStringList{u"合并数据时不能选择全部工作表！"_s};
    QTest::newRow("item 0 turns book names into sheet names")
        << QStringList{u"book2"_s, u"name2"_s, u"book0"_s} << 0 << false << 0 << QString() << QString()
        << true << QStringList();
    QTest::newRow("a click on worksheets enables book names")
        << QStringList{u"sheet1"_s, u"sheet0"_s} << 0 << true << 1 << QString() << QString() << true
        << QStringList();
    QTest::newRow("new workbook cancelled")
        << QStringList{u"new:"_s} << 0 << false << 1 << QString() << QString() << false << QStringList();
    QTest::newRow("new workbook") << QStringList{u"new:汇总"_s} << 0 << false << 1 << u"汇总.xls"_s
                                  << u"汇总.xls"_s << false << QStringList();
    QTest::newRow("a typed extension is doubled")
        << QStringList{u"new:x.xls"_s} << 0 << false << 1 << u"x.xls.xls"_s << u"x.xls.xls"_s << false
        << QStringList();
    QTest::newRow("No to replacing keeps the path shown")
        << QStringList{u"no"_s, u"new:有"_s} << 0 << false << 1 << QString() << u"有.xls"_s << false
        << QStringList{u"%1有.xls\r\n文件已存在!是否覆盖?"_s};
    // The path stays until a run replaces it with the chosen workbook's.
    QTest::newRow("back to an existing workbook") << QStringList{u"new:汇总"_s, u"existing"_s} << 0 << false
                                                  << 1 << u"汇总.xls"_s << QString() << true << QStringList();
}

void WorkbookTabTest::mergeBooksOptions()
{
    QFETCH(QStringList, steps);
    QFETCH(int, cboBook);
    QFETCH(bool, name2Enabled);
    QFETCH(int, optName);
    QFETCH(QString, goal);
    QFETCH(QString, txtBook);
    QFETCH(bool, cboGoalEnabled);
    QFETCH(QStringList, messages);
    const QString folder = m_tree.mkdir(u"options"_s) + u'/';
    m_tree.write(u"options/有.xls"_s, "x");
    Host h;
    ScriptedDialogs dialogs;
    WorkbookTab tab(h.strip, h.area, h.frasheet, h.nosee, &dialogs, nullptr);
    h.window.show();
    tab.windowResized();
    tab.folderSelected(folder, true);
    for (const QString& step : steps) {
        if (step.startsWith(u"sheet"_s))
            QTest::mouseClick(tab.OptSheet[size_t(step.right(1).toInt())], Qt::LeftButton);
        else if (step.startsWith(u"book"_s))
            tab.CboBook->setCurrentIndex(step.mid(4).toInt());
        else if (step.startsWith(u"name"_s))
            QTest::mouseClick(tab.OptName[size_t(step.right(1).toInt())], Qt::LeftButton);
        else if (step.startsWith(u"new:"_s)) {
            dialogs.inputs.enqueue(step.size() > 4 ? std::optional<QString>(step.mid(4)) : std::nullopt);
            QTest::mouseClick(tab.OptD[1], Qt::LeftButton);
        } else if (step == u"existing"_s)
            QTest::mouseClick(tab.OptD[0], Qt::LeftButton);
        else if (step == u"no"_s)
            dialogs.answers.enqueue(Platform::MessageAnswer::No);
    }
    QCOMPARE(tab.CboBook->currentIndex(), cboBook);
    QCOMPARE(tab.IntCboBook(), cboBook);
    QCOMPARE(tab.OptName[2]->isEnabled(), name2Enabled);
    QVERIFY(tab.OptName[size_t(optName)]->isChecked());
    QCOMPARE(tab.IntOptName(), optName);
    QCOMPARE(tab.strGoalFN(), goal.isEmpty() ? QString() : folder + goal);
    QCOMPARE(tab.TxtBook->text(), txtBook.isEmpty() ? QString() : folder + txtBook);
    QCOMPARE(tab.TxtBook->toolTip(), tab.TxtBook->text());
    QCOMPARE(tab.CboGoal->isEnabled(), cboGoalEnabled);
    QStringList expected;
    for (const QString& m : messages)
        expected << (m.contains(u"%1"_s) ? m.arg(folder) : m);
    QCOMPARE(dialogs.texts(), expected);
    for (const Platform::MessageRequest& m : dialogs.messages)
        QCOMPARE(m.title, u"合并工作簿"_s);
    if (!dialogs.messages.isEmpty() && dialogs.messages.first().buttons == Platform::MessageButtons::YesNo)
        QCOMPARE(dialogs.messages.first().icon, Platform::MessageIcon::Question);
}

void WorkbookTabTest::mergeBooksRun()
{
    const QString folder = m_tree.mkdir(u"run/books"_s) + u'/';
    QVERIFY(QFile::copy(m_folder + u"a.xlsx"_s, folder + u"a.xlsx"_s));
    QVERIFY(QFile::copy(m_folder + u"b.xlsx"_s, folder + u"b.xlsx"_s));
    const QByteArray a = m_tree.read(u"run/books/a.xlsx"_s);
    Host h;
    ScriptedDialogs dialogs;
    WorkbookTab tab(h.strip, h.area, h.frasheet, h.nosee, &dialogs, nullptr);
    h.window.show();
    tab.windowResized();
    tab.folderSelected(folder, true);
    QTest::mouseClick(tab.CmdRead, Qt::LeftButton);
    QCOMPARE(tab.CboGoal->currentIndex(), -1);
    // No target chosen yet.
    QTest::mouseClick(tab.CmdBook, Qt::LeftButton);
    QCOMPARE(dialogs.texts(), QStringList{u"请选择目标工作簿"_s});
    QCOMPARE(dialogs.messages.first().icon, Platform::MessageIcon::Information);
    QVERIFY(tab.CmdBook->isEnabled());
    dialogs.clear();

    // Worksheets into a new workbook, with the folder backed up.
    dialogs.inputs.enqueue(u"汇总"_s);
    QTest::mouseClick(tab.OptD[1], Qt::LeftButton);
    tab.ChkFolder->setChecked(true);
    QVERIFY(h.window.grab().save(screenshotPath(u"workbook-tab-merge-books-options.png"_s)));
    QTest::mouseClick(tab.CmdBook, Qt::LeftButton);
    QCOMPARE(dialogs.texts(), QStringList{u"文件夹已备份在：\r\n"_s + folder + u"_books"_s});
    QCOMPARE(tab.Lblbook->text(), u"    2个工作簿合并完成！"_s);
    QVERIFY(!tab.CmdBook->isEnabled());
    QCOMPARE(tab.ProBar1->value(), tab.ProBar1->minimum());
    QCOMPARE(m_tree.entries(u"run/books/_books"_s), (QStringList{u"a.xlsx"_s, u"b.xlsx"_s}));
    QCOMPARE(m_tree.read(u"run/books/a.xlsx"_s), a);
    {
        ExcelHost host;
        Workbook* book = host.Open(folder + u"汇总.xls"_s);
        QVERIFY(book);
        QStringList names;
        for (int i = 1; i <= book->sheetCount(); ++i)
            names << book->sheetName(i);
        // The new workbook's own sheets and the copy of a blank one are gone.
        QCOMPARE(names, (QStringList{u"a_一"_s, u"a_二"_s, u"b_x|y"_s}));
        QCOMPARE(book->Worksheets(1)->Cells(3, 1).Text(), u"张三"_s);
        book->Close(false);
    }
    QVERIFY(h.window.grab().save(screenshotPath(u"workbook-tab-merge-books-done.png"_s)));

    // Read again: data of worksheet 1 into a.xlsx.
    dialogs.clear();
    tab.ChkFolder->setChecked(false);
    QTest::mouseClick(tab.CmdRead, Qt::LeftButton);
    QVERIFY(tab.CmdBook->isEnabled());
    QTest::mouseClick(tab.OptSheet[1], Qt::LeftButton);
    QTest::mouseClick(tab.OptD[0], Qt::LeftButton);
    QCOMPARE(tab.CboGoal->currentText(), u"a.xlsx"_s);
    QTest::mouseClick(tab.CmdBook, Qt::LeftButton);
    QCOMPARE(dialogs.texts(), QStringList());
    QCOMPARE(tab.Lblbook->text(), u"3工作簿中数据已经合并在《a.xlsx》！"_s);
    ExcelHost host;
    Workbook* book = host.Open(folder + u"a.xlsx"_s);
    QVERIFY(book);
    Worksheet* ws = book->Worksheets(1);
    // b.xlsx gives its row 2 on (its title row is left out); 汇总.xls's
    // worksheet 1 (a_一) gives its rows 2 to 4.
    QCOMPARE(ws->lastValueRow(), 4 + 3);
    QCOMPARE(ws->Cells(5, 1).Text(), u"姓名"_s);
    QCOMPARE(ws->Cells(7, 1).Text(), u"李四"_s);
    book->Close(false);
}

void WorkbookTabTest::keyboardOrder_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("merge worksheets, create workbooks") << 0;
    QTest::newRow("merge workbooks") << 1;
}

void WorkbookTabTest::keyboardOrder()
{
    // Tab runs through each frame as it reads, top to bottom and left to right,
    // and a label in front of a box is its buddy (read out with it, and where
    // its mnemonic leads).
    QFETCH(int, mode);
    Host h;
    ScriptedDialogs dialogs;
    WorkbookTab tab(h.strip, h.area, h.frasheet, h.nosee, &dialogs, nullptr);
    h.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&h.window));
    tab.tabSelected(9);
    QTest::mouseClick(tab.OptHB[size_t(mode)], Qt::LeftButton);
    const QList<QWidget*> frames =
        mode == 0 ? QList<QWidget*>{tab.FraBook, tab.FraCreateExl} : QList<QWidget*>{tab.FraExl};
    const FocusWalk walk = walkFocusChain(&h.window);
    QVERIFY2(walk.problems.isEmpty(), qPrintable(walk.problems.join(u"; "_s)));
    int frameSeen = -1;
    QWidget* previous = nullptr;
    for (QWidget* w : walk.visited) {
        int frame = -1;
        for (int i = 0; i < frames.size(); ++i) {
            if (frames[i]->isAncestorOf(w))
                frame = i;
        }
        if (frame < 0)
            continue;
        QVERIFY2(frame >= frameSeen, qPrintable(w->objectName() + u" is reached before its frame's turn"_s));
        if (frame > frameSeen) {
            frameSeen = frame;
            previous = nullptr;
        }
        if (previous) {
            const QPoint a = previous->mapTo(&h.window, QPoint());
            const QPoint b = w->mapTo(&h.window, QPoint());
            const bool sameRow = std::abs(a.y() - b.y()) < 8;
            QVERIFY2(
                sameRow ? b.x() > a.x() : b.y() > a.y(),
                qPrintable(u"Tab goes back from "_s + previous->objectName() + u" to "_s + w->objectName()));
        }
        previous = w;
    }
    QCOMPARE(frameSeen, int(frames.size()) - 1);
    for (QWidget* frame : frames) {
        for (QLabel* label : frame->findChildren<QLabel*>()) {
            QWidget* next = nullptr;
            for (QWidget* control :
                 label->parentWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                if (control == label ||
                    !(qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control)))
                    continue;
                const bool right = std::abs(control->y() - label->y()) < 8 && control->x() > label->x();
                const bool below = control->y() > label->y() && control->y() - label->y() < 30 &&
                                   std::abs(control->x() - label->x()) < 8;
                if ((right || below) && (!next || control->y() < next->y()))
                    next = control;
            }
            if (next)
                QVERIFY2(label->buddy() == next,
                         qPrintable(label->text() + u" is not the buddy of "_s + next->objectName()));
        }
    }
}

QTEST_MAIN(WorkbookTabTest)
#include "tst_workbook_tab.moc"
