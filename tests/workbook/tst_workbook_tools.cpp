// The workbook tab's commands on real workbooks: removing blank worksheets,
// merging the worksheets of a workbook, creating numbered workbooks. Every
// workbook a command writes is read again, and read by gnumeric.

#include "Fixtures.h"
#include "TempTree.h"

#include "BlankSheets.h"
#include "CreateWorkbooks.h"
#include "ExcelHost.h"
#include "MergeSheets.h"
#include "Workbook.h"
#include "Worksheet.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <xlsxwriter.h>

#include <functional>

using namespace Qt::Literals::StringLiterals;
using namespace Xl;

namespace {

using Build = std::function<void(Fixtures::XlsxBuilder&)>;

// Column `column` of a worksheet as "a|b|c", from row 1 to the last row holding a value.
QString columnOf(Worksheet* ws, int column = 1)
{
    QStringList out;
    for (int r = 1; r <= ws->lastValueRow(); ++r)
        out << ws->Cells(r, column).Text();
    return out.join(u'|');
}

QStringList sheetNames(Workbook* book)
{
    QStringList out;
    for (int i = 1; i <= book->sheetCount(); ++i)
        out << book->sheetName(i);
    return out;
}

void checkGnumeric(const QString& path)
{
    QString messages;
    QVERIFY2(Fixtures::gnumericReads(path, &messages), qPrintable(messages));
    QVERIFY2(messages.isEmpty(), qPrintable(messages));
}

// A sheet "name" with a title row 1 ("title") and one value per given row in
// column A and column B (the row number).
void table(Fixtures::XlsxBuilder& b, const QString& name, const QList<QPair<int, QString>>& cells)
{
    b.sheet(name);
    for (const auto& [row, text] : cells) {
        b.text(row, 1, text);
        b.number(row, 2, row);
    }
}

bool toXls(const QString& xlsx, const QString& xls)
{
    QProcess p;
    p.start(QStandardPaths::findExecutable(u"ssconvert"_s),
            {u"-T"_s, u"Gnumeric_Excel:excel_biff8"_s, xlsx, xls});
    return p.waitForFinished(120000) && p.exitCode() == 0 && QFile::exists(xls);
}

} // namespace

class WorkbookToolsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void deleteBlank_data();
    void deleteBlank();
    void deleteBlankLeavesUntouchedFile();
    void deleteBlankLegacy();
    void deleteBlankFolder();
    void deleteBlankFolderWithoutWorkbooks();

    void merge_data();
    void merge();
    void mergeKeepsFormats();
    void mergeBackup();
    void mergeRefusals();
    void mergeFailedSaveKeepsFile();
    void mergeSkipsWhatCannotBePasted();

    void createNames_data();
    void createNames();
    void create();
    void createNeverReplaces();
    void createRefusals_data();
    void createRefusals();
    void createFromTemplate();

private:
    TempTree m_tree;
    int m_serial = 0;
    QString fresh(const QString& name) { return m_tree.file(QString::number(++m_serial) + u'-' + name); }
};

// ---- blank worksheets ----

void WorkbookToolsTest::deleteBlank_data()
{
    QTest::addColumn<Build>("build");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("remaining");

    QTest::newRow("data and two empty sheets") << Build([](Fixtures::XlsxBuilder& b) {
        b.sheet(u"Sheet1"_s);
        b.text(1, 1, u"x"_s);
        b.sheet(u"Sheet2"_s);
        b.sheet(u"Sheet3"_s);
    }) << 2 << QStringList{u"Sheet1"_s};
    QTest::newRow("all empty: the last is kept and counted") << Build([](Fixtures::XlsxBuilder& b) {
        b.sheet(u"A"_s);
        b.sheet(u"B"_s);
        b.sheet(u"C"_s);
    }) << 3 << QStringList{u"C"_s};
    QTest::newRow("formula returning empty text is not blank") << Build([](Fixtures::XlsxBuilder& b) {
        b.sheet(u"F"_s);
        b.formulaText(3, 3, u"=\"\""_s, QString());
        b.sheet(u"E"_s);
    }) << 1 << QStringList{u"F"_s};
    QTest::newRow("formatting alone is blank") << Build([](Fixtures::XlsxBuilder& b) {
        b.sheet(u"D"_s);
        b.number(1, 1, 1);
        b.sheet(u"Fmt"_s);
        lxw_format* f = b.format();
        format_set_bold(f);
        format_set_bg_color(f, LXW_COLOR_YELLOW);
        b.blank(4, 4, f);
    }) << 1 << QStringList{u"D"_s};
    QTest::newRow("a chart makes a sheet not blank") << Build([](Fixtures::XlsxBuilder& b) {
        b.sheet(u"Data"_s);
        b.number(1, 1, 1);
        b.number(2, 1, 2);
        lxw_worksheet* chartHolder = b.sheet(u"Chart"_s);
        lxw_chart* chart = workbook_add_chart(b.workbook(), LXW_CHART_COLUMN);
        chart_add_series(chart, nullptr, "=Data!$A$1:$A$2");
        worksheet_insert_chart(chartHolder, 1, 1, chart);
        b.sheet(u"Empty"_s);
    }) << 1 << QStringList{u"Data"_s, u"Chart"_s};
    QTest::newRow("an image makes a sheet not blank") << Build([](Fixtures::XlsxBuilder& b) {
        lxw_worksheet* ws = b.sheet(u"Pic"_s);
        static const QByteArray png = Fixtures::pngBytes();
        worksheet_insert_image_buffer(ws, 0, 0, reinterpret_cast<const unsigned char*>(png.constData()),
                                      size_t(png.size()));
        b.sheet(u"Empty"_s);
    }) << 1 << QStringList{u"Pic"_s};
    QTest::newRow("chart sheets are not touched") << Build([](Fixtures::XlsxBuilder& b) {
        b.sheet(u"Data"_s);
        b.number(1, 1, 1);
        lxw_chart* chart = workbook_add_chart(b.workbook(), LXW_CHART_LINE);
        chart_add_series(chart, nullptr, "=Data!$A$1:$A$1");
        lxw_chartsheet* cs = workbook_add_chartsheet(b.workbook(), "图表");
        chartsheet_set_chart(cs, chart);
        b.sheet(u"Empty"_s);
    }) << 1 << QStringList{u"Data"_s, u"图表"_s};
    QTest::newRow("the last visible sheet is kept") << Build([](Fixtures::XlsxBuilder& b) {
        lxw_worksheet* hidden = b.sheet(u"Hidden"_s);
        b.number(1, 1, 1);
        b.sheet(u"Blank1"_s);
        lxw_worksheet* last = b.sheet(u"Blank2"_s);
        worksheet_activate(last);
        worksheet_hide(hidden);
    }) << 2 << QStringList{u"Hidden"_s, u"Blank2"_s};
    QTest::newRow("more than 255 blank sheets count 255") << Build([](Fixtures::XlsxBuilder& b) {
        b.sheet(u"Data"_s);
        b.number(1, 1, 1);
        for (int i = 1; i <= 260; ++i)
            b.sheet(u"E"_s + QString::number(i));
    }) << 255 << QStringList{u"Data"_s};
}

void WorkbookToolsTest::deleteBlank()
{
    QFETCH(Build, build);
    QFETCH(int, count);
    QFETCH(QStringList, remaining);
    const QString path = fresh(u"blank.xlsx"_s);
    {
        Fixtures::XlsxBuilder b(path);
        build(b);
        QVERIFY(b.close());
    }
    ExcelHost host;
    const BlankSheetResult r = Delete_BlankSheet(host, path);
    QVERIFY2(r.ok(), qPrintable(r.error.message + r.error.detail));
    QVERIFY(r.exists);
    QCOMPARE(int(r.count), count);
    QCOMPARE(blankSheetMessage(r), u"空白工作表已删除"_s);

    Workbook* book = host.Open(path);
    QVERIFY(book);
    QCOMPARE(sheetNames(book), remaining);
    book->Close(false);
    checkGnumeric(path);
}

void WorkbookToolsTest::deleteBlankLeavesUntouchedFile()
{
    const QString path = fresh(u"full.xlsx"_s);
    {
        Fixtures::XlsxBuilder b(path);
        b.sheet(u"A"_s);
        b.number(1, 1, 1);
        b.sheet(u"B"_s);
        b.text(9, 9, u"x"_s);
        QVERIFY(b.close());
    }
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    ExcelHost host;
    const BlankSheetResult r = Delete_BlankSheet(host, path);
    QCOMPARE(int(r.count), 0);
    QVERIFY(!r.saved);
    QCOMPARE(blankSheetMessage(r), QString());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);

    // Nothing at the path: nothing is done.
    const BlankSheetResult missing = Delete_BlankSheet(host, m_tree.file(u"nothing.xlsx"_s));
    QVERIFY(!missing.exists);
    QCOMPARE(int(missing.count), 0);
}

void WorkbookToolsTest::deleteBlankLegacy()
{
    const QString xlsx = fresh(u"legacy.xlsx"_s);
    {
        Fixtures::XlsxBuilder b(xlsx);
        b.sheet(u"Sheet1"_s);
        b.text(1, 1, u"数据"_s);
        b.sheet(u"Sheet2"_s);
        QVERIFY(b.close());
    }
    const QString xls = fresh(u"legacy.xls"_s);
    QVERIFY(toXls(xlsx, xls));
    {
        ExcelHost host;
        const BlankSheetResult r = Delete_BlankSheet(host, xls);
        QVERIFY2(r.ok(), qPrintable(r.error.message + r.error.detail));
        QCOMPARE(int(r.count), 1);
        QVERIFY(r.saved);
    }
    QFile f(xls);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.read(4), QByteArray("\xD0\xCF\x11\xE0", 4)); // still a real .xls
    ExcelHost host;
    Workbook* book = host.Open(xls);
    QVERIFY(book);
    QCOMPARE(sheetNames(book), QStringList{u"Sheet1"_s});
    book->Close(false);
    checkGnumeric(xls);
}

void WorkbookToolsTest::deleteBlankFolder()
{
    const QString folder = m_tree.mkdir(u"folder"_s);
    {
        Fixtures::XlsxBuilder b(folder + u"/a.xlsx"_s);
        b.sheet(u"S"_s);
        b.number(1, 1, 1);
        b.sheet(u"Blank"_s);
        QVERIFY(b.close());
    }
    {
        Fixtures::XlsxBuilder b(folder + u"/b.xlsx"_s);
        b.sheet(u"S"_s);
        b.number(1, 1, 1);
        QVERIFY(b.close());
    }
    m_tree.write(u"folder/c.xlsx"_s, "not a workbook");
    ExcelHost host;
    QString path = folder; // without its "/"
    const BlankSheetFolderRun run = deleteAllBlankSheets(host, path);
    QCOMPARE(path, folder + u'/');
    QCOMPARE(run.names, (QStringList{u"a.xlsx"_s, u"b.xlsx"_s, u"c.xlsx"_s}));
    QCOMPARE(run.books.size(), 3);
    QCOMPARE(int(run.books[0].count), 1);
    QCOMPARE(int(run.books[1].count), 0);
    QVERIFY(!run.books[2].ok());
    QVERIFY(run.anyFailed());
    // Blank sheets in the first workbook and none in the last.
    QCOMPARE(run.messages, QStringList{u"文件夹 "_s + folder + u"\r\n所有工作簿中空白工作表全部删除"_s});
    checkGnumeric(folder + u"/a.xlsx"_s);
}

void WorkbookToolsTest::deleteBlankFolderWithoutWorkbooks()
{
    const QString folder = m_tree.mkdir(u"nobooks"_s);
    m_tree.write(u"nobooks/readme.txt"_s, "x");
    ExcelHost host;
    QString path = folder + u'/';
    // The names of an earlier scan are tried here; none exists.
    const BlankSheetFolderRun run = deleteAllBlankSheets(host, path, {u"old.xlsx"_s});
    QCOMPARE(run.messages, (QStringList{u"所选文件夹中没有Excel文件，请重新选择！"_s,
                                        u"文件夹 "_s + folder + u"\r\n所有工作簿，没有空白工作表"_s}));
    QCOMPARE(run.books.size(), 1);
    QVERIFY(!run.books[0].exists);
}

// ---- merging worksheets ----

void WorkbookToolsTest::merge_data()
{
    QTest::addColumn<Build>("build");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("titleRow");
    QTest::addColumn<bool>("singleTitle");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("message");

    const Build twoSheets = [](Fixtures::XlsxBuilder& b) {
        table(b, u"一"_s, {{1, u"标题"_s}, {2, u"T"_s}, {3, u"a1"_s}, {4, u"a2"_s}});
        table(b, u"二"_s, {{1, u"标题"_s}, {2, u"T"_s}, {3, u"b1"_s}, {4, u"b2"_s}, {5, u"b3"_s}});
    };
    QTest::newRow("new sheet, one title row")
        << twoSheets << 0 << 2 << true << u"T|a1|a2|b1|b2|b3"_s << u"合并了 2 个工作表！"_s;
    QTest::newRow("new sheet, no title row")
        << twoSheets << 0 << 2 << false << u"a1|a2|b1|b2|b3"_s << u"合并了 2 个工作表！"_s;
    QTest::newRow("title row 1") << twoSheets << 0 << 1 << true << u"标题|T|a1|a2|T|b1|b2|b3"_s
                                 << u"合并了 2 个工作表！"_s;
    const QString intoFirst = u"    已将1 个工作表合并到：\r\n《一》工作表中!\r\n    请查看！"_s;
    QTest::newRow("existing sheet, one title row")
        << twoSheets << 1 << 2 << true << u"标题|T|a1|a2|b1|b2|b3"_s << intoFirst;
    QTest::newRow("existing sheet, every title row")
        << twoSheets << 1 << 2 << false << u"标题|T|a1|a2|T|b1|b2|b3"_s << intoFirst;
    QTest::newRow("rows after a gap in column 1 are not copied") << Build([](Fixtures::XlsxBuilder& b) {
        table(b, u"S1"_s, {{2, u"T"_s}, {3, u"a1"_s}, {4, u"a2"_s}, {6, u"after gap"_s}});
        table(b, u"S2"_s, {{2, u"T"_s}, {3, u"b1"_s}});
    }) << 0 << 2 << true << u"T|a1|a2|b1"_s << u"合并了 2 个工作表！"_s;
    // One data row: the move from it runs to the sheet's edge; later blocks
    // must still land below, not off the sheet.
    QTest::newRow("blocks with a single data row") << Build([](Fixtures::XlsxBuilder& b) {
        table(b, u"S1"_s, {{2, u"T"_s}, {3, u"a1"_s}});
        table(b, u"S2"_s, {{2, u"T"_s}, {3, u"b1"_s}});
        table(b, u"S3"_s, {{2, u"T"_s}, {3, u"c1"_s}});
    }) << 0 << 2 << true << u"T|a1|b1|c1"_s << u"合并了 3 个工作表！"_s;
    // The target's column 1 has a gap: the next block goes below its last
    // value, never over its own rows.
    QTest::newRow("existing target with a gap in column 1")
        << Build([](Fixtures::XlsxBuilder& b) {
               table(b, u"目标"_s, {{1, u"t1"_s}, {2, u"t2"_s}, {4, u"t4"_s}});
               table(b, u"S2"_s, {{2, u"T"_s}, {3, u"b1"_s}, {4, u"b2"_s}});
               table(b, u"S3"_s, {{2, u"T"_s}, {3, u"c1"_s}, {4, u"c2"_s}});
           })
        << 1 << 2 << true << u"t1|t2||t4|b1|b2|c1|c2"_s
        << u"    已将2 个工作表合并到：\r\n《目标》工作表中!\r\n    请查看！"_s;
    QTest::newRow("empty worksheets contribute nothing") << Build([](Fixtures::XlsxBuilder& b) {
        table(b, u"S1"_s, {{2, u"T"_s}, {3, u"a1"_s}});
        b.sheet(u"空"_s);
        table(b, u"S3"_s, {{2, u"T"_s}, {3, u"c1"_s}, {4, u"c2"_s}});
    }) << 0 << 2 << true << u"T|a1|c1|c2"_s << u"合并了 3 个工作表！"_s;
}

void WorkbookToolsTest::merge()
{
    QFETCH(Build, build);
    QFETCH(int, target);
    QFETCH(int, titleRow);
    QFETCH(bool, singleTitle);
    QFETCH(QString, column);
    QFETCH(QString, message);
    const QString path = fresh(u"merge.xlsx"_s);
    {
        Fixtures::XlsxBuilder b(path);
        build(b);
        QVERIFY(b.close());
    }
    ExcelHost host;
    int before = 0;
    QString targetName;
    {
        Workbook* book = host.Open(path);
        QVERIFY(book);
        before = book->worksheetCount();
        if (target > 0)
            targetName = book->Worksheets(target)->Name();
        book->Close(false);
    }
    MergeSheetsOptions o;
    o.TxtAdress = path;
    o.openedPath = path;
    o.intCboSheet = target;
    o.LngBth = titleRow;
    o.ChkXX = singleTitle;
    const MergeSheetsResult r = mergeWorksheets(host, o);
    QCOMPARE(r.status, MergeSheetsResult::Status::Done);
    QCOMPARE(r.messages, QStringList{message});
    QCOMPARE(r.Lblbook, QString());

    Workbook* book = host.Open(path);
    QVERIFY(book);
    Worksheet* ws = nullptr;
    if (target == 0) {
        QCOMPARE(book->worksheetCount(), before + 1);
        ws = book->Worksheets(before + 1);
        QCOMPARE(ws->Name(), u"my sheet"_s);
    } else {
        QCOMPARE(book->worksheetCount(), before);
        ws = book->Worksheets(targetName);
    }
    QVERIFY(ws);
    QCOMPARE(columnOf(ws), column);
    book->Close(false);
    checkGnumeric(path);
}

void WorkbookToolsTest::mergeKeepsFormats()
{
    const QString path = fresh(u"formats.xlsx"_s);
    {
        Fixtures::XlsxBuilder b(path);
        lxw_format* bold = b.format();
        format_set_bold(bold);
        lxw_format* money = b.format();
        format_set_num_format(money, "0.00");
        b.sheet(u"A"_s);
        b.text(2, 1, u"名称"_s, bold);
        b.text(3, 1, u"很长很长很长很长很长的名称"_s);
        b.number(3, 2, 1.5, money);
        b.sheet(u"B"_s);
        b.text(2, 1, u"名称"_s, bold);
        b.text(3, 1, u"b"_s);
        b.number(3, 2, 2.25, money);
        QVERIFY(b.close());
    }
    ExcelHost host;
    MergeSheetsOptions o;
    o.TxtAdress = o.openedPath = path;
    o.strTxtName = u"合并"_s;
    QCOMPARE(mergeWorksheets(host, o).status, MergeSheetsResult::Status::Done);
    Workbook* book = host.Open(path);
    Worksheet* ws = book->Worksheets(u"合并"_s);
    QVERIFY(ws);
    QVERIFY(ws->Cells(1, 1).format().bold);
    QCOMPARE(ws->Cells(3, 2).format().numberFormat, u"0.00"_s);
    QCOMPARE(ws->Cells(3, 2).Value().toNumber(), 2.25);
    // AutoFit widened the column of the long name.
    QVERIFY(ws->columnWidth(1) > ws->columnWidth(3));
    book->Close(false);
    checkGnumeric(path);
}

void WorkbookToolsTest::mergeBackup()
{
    const QString dir = m_tree.mkdir(u"backup"_s);
    const QString path = dir + u"/数据.xlsx"_s;
    {
        Fixtures::XlsxBuilder b(path);
        table(b, u"S1"_s, {{2, u"T"_s}, {3, u"a"_s}});
        QVERIFY(b.close());
    }
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray original = f.readAll();
    f.close();
    // "_数据.xlsx" is someone's file: it stays, the backup takes the next name.
    m_tree.write(u"backup/_数据.xlsx"_s, "keep me");
    m_tree.write(u"backup/_数据 (2).xlsx"_s, "keep me too");
    ExcelHost host;
    MergeSheetsOptions o;
    o.TxtAdress = o.openedPath = path;
    o.ChkBook = true;
    const MergeSheetsResult r = mergeWorksheets(host, o);
    QCOMPARE(r.status, MergeSheetsResult::Status::Done);
    const QString backup = dir + u"/_数据 (3).xlsx"_s;
    QCOMPARE(r.backupPath, backup);
    QCOMPARE(r.messages, (QStringList{u"工作簿备份到： \r\n"_s + backup, u"合并了 1 个工作表！"_s}));
    QCOMPARE(m_tree.read(u"backup/_数据.xlsx"_s), QByteArray("keep me"));
    QCOMPARE(m_tree.read(u"backup/_数据 (2).xlsx"_s), QByteArray("keep me too"));
    QCOMPARE(m_tree.read(u"backup/_数据 (3).xlsx"_s), original);
    QVERIFY(m_tree.read(u"backup/数据.xlsx"_s) != original);
}

void WorkbookToolsTest::mergeRefusals()
{
    const QString path = fresh(u"refuse.xlsx"_s);
    {
        Fixtures::XlsxBuilder b(path);
        table(b, u"S1"_s, {{2, u"T"_s}, {3, u"a"_s}});
        QVERIFY(b.close());
    }
    const QByteArray before = m_tree.read(QFileInfo(path).fileName());
    ExcelHost host;
    MergeSheetsOptions o;
    o.TxtAdress = u"   "_s;
    MergeSheetsResult r = mergeWorksheets(host, o);
    QCOMPARE(r.status, MergeSheetsResult::Status::Refused);
    QCOMPARE(r.messages, QStringList{u"请选择文件！"_s});

    // A folder click wrote the folder into the path box: not the opened workbook.
    o.TxtAdress = m_tree.path() + u'/';
    o.openedPath = path;
    o.ChkBook = true;
    r = mergeWorksheets(host, o);
    QCOMPARE(r.status, MergeSheetsResult::Status::Refused);
    QVERIFY(r.messages.first().contains(u"重新打开"_s));
    QVERIFY(!QFile::exists(m_tree.file(u"_"_s + QFileInfo(path).fileName())));

    o.TxtAdress = path;
    o.intCboSheet = 5; // the workbook has one worksheet
    r = mergeWorksheets(host, o);
    QCOMPARE(r.status, MergeSheetsResult::Status::Refused);
    QVERIFY(r.backupPath.isEmpty());
    QCOMPARE(m_tree.read(QFileInfo(path).fileName()), before);
}

void WorkbookToolsTest::mergeFailedSaveKeepsFile()
{
    const QString path = fresh(u"fault.xlsx"_s);
    {
        Fixtures::XlsxBuilder b(path);
        table(b, u"S1"_s, {{2, u"T"_s}, {3, u"a"_s}});
        table(b, u"S2"_s, {{2, u"T"_s}, {3, u"b"_s}});
        QVERIFY(b.close());
    }
    const QByteArray before = m_tree.read(QFileInfo(path).fileName());
    ExcelHost host;
    host.setSaveFault(SaveFault::Rename);
    MergeSheetsOptions o;
    o.TxtAdress = o.openedPath = path;
    const MergeSheetsResult r = mergeWorksheets(host, o);
    QCOMPARE(r.status, MergeSheetsResult::Status::Failed);
    QVERIFY(r.messages.last().startsWith(u"无法保存工作簿，文件未改变"_s));
    QCOMPARE(m_tree.read(QFileInfo(path).fileName()), before);
}

void WorkbookToolsTest::mergeSkipsWhatCannotBePasted()
{
    // The target holds a value in the sheet's last row: no block fits below
    // it. Each worksheet is skipped and named; nothing is pasted twice.
    const QString path = fresh(u"full.xlsx"_s);
    {
        Fixtures::XlsxBuilder b(path);
        table(b, u"目标"_s, {{1, u"t1"_s}});
        b.text(1048576, 1, u"last"_s);
        table(b, u"S2"_s, {{2, u"T"_s}, {3, u"b1"_s}});
        table(b, u"S3"_s, {{2, u"T"_s}, {3, u"c1"_s}});
        QVERIFY(b.close());
    }
    ExcelHost host;
    MergeSheetsOptions o;
    o.TxtAdress = o.openedPath = path;
    o.intCboSheet = 1;
    const MergeSheetsResult r = mergeWorksheets(host, o);
    QCOMPARE(r.status, MergeSheetsResult::Status::Done);
    QCOMPARE(r.merged, 0);
    QCOMPARE(r.skippedSheets, (QStringList{u"S2"_s, u"S3"_s}));
    QCOMPARE(r.Lblbook, u"    未能复制的工作表：S2、S3"_s);
    QCOMPARE(r.messages.size(), 1);
    Workbook* book = host.Open(path);
    QVERIFY(book);
    QCOMPARE(book->Worksheets(1)->UsedRange().CountA(), 3); // t1, its row number, "last"
    book->Close(false);
}

// ---- creating workbooks ----

void WorkbookToolsTest::createNames_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::newRow("50") << u"50"_s << 50 << u"Book001.xls"_s << u"Book050.xls"_s;
    QTest::newRow("5") << u"5"_s << 5 << u"Book01.xls"_s << u"Book05.xls"_s;
    QTest::newRow("200") << u"200"_s << 200 << u"Book0001.xls"_s << u"Book0200.xls"_s;
    QTest::newRow("007") << u"007"_s << 7 << u"Book0001.xls"_s << u"Book0007.xls"_s;
    QTest::newRow("half to even, down") << u"2.5"_s << 2 << u"Book0001.xls"_s << u"Book0002.xls"_s;
    QTest::newRow("half to even, up") << u"3.5"_s << 4 << u"Book0001.xls"_s << u"Book0004.xls"_s;
    QTest::newRow("width at most 10")
        << u"00000000012"_s << 12 << u"Book0000000001.xls"_s << u"Book0000000012.xls"_s;
    QTest::newRow("empty") << QString() << 0 << QString() << QString();
}

void WorkbookToolsTest::createNames()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(QString, first);
    QFETCH(QString, last);
    bool isNumber = false;
    QCOMPARE(countValue(text, &isNumber), qint64(count));
    QVERIFY(isNumber);
    if (count > 0) {
        QCOMPARE(bookName(1, numberWidth(text)), first);
        QCOMPARE(bookName(count, numberWidth(text)), last);
    }
    QCOMPARE(bookName(12345, 3), u"Book12345.xls"_s);
    countValue(u"abc"_s, &isNumber);
    QVERIFY(!isNumber);
}

void WorkbookToolsTest::create()
{
    const QString folder = m_tree.mkdir(u"create"_s);
    ExcelHost host;
    CreateWorkbooksOptions o;
    o.TxtPath = folder; // typed without its "/": the folder exists, so it is used
    o.Txtsheet = u"7"_s;
    QList<qint64> progress;
    const CreateWorkbooksResult r = CreateWorkbooks(host, o, [&](qint64 i, qint64 n, const QString& name) {
        progress << i;
        QCOMPARE(n, qint64(7));
        QCOMPARE(name, bookName(i, 2));
    });
    QVERIFY2(r.started, qPrintable(r.messages.join(u'\n')));
    QCOMPARE(progress.size(), 7);
    QCOMPARE(r.created.size(), 7);
    QCOMPARE(r.Lblbook, u"7 个工作簿创建完毕！"_s);
    QStringList expected;
    for (int i = 1; i <= 7; ++i)
        expected << bookName(i, 2);
    QCOMPARE(m_tree.entries(u"create"_s), expected); // and no temporary file left
    const QString one = folder + u"/Book07.xls"_s;
    QCOMPARE(m_tree.read(u"create/Book07.xls"_s).left(4), QByteArray("\xD0\xCF\x11\xE0", 4));
    Workbook* book = host.Open(one);
    QVERIFY(book);
    QCOMPARE(sheetNames(book), (QStringList{u"Sheet1"_s, u"Sheet2"_s, u"Sheet3"_s}));
    book->Close(false);
    checkGnumeric(one);
}

void WorkbookToolsTest::createNeverReplaces()
{
    const QString folder = m_tree.mkdir(u"existing"_s);
    m_tree.write(u"existing/Book02.xls"_s, "mine");
    ExcelHost host;
    CreateWorkbooksOptions o;
    o.TxtPath = folder + u'/';
    o.Txtsheet = u"3"_s;
    const CreateWorkbooksResult r = CreateWorkbooks(host, o);
    QCOMPARE(r.created.size(), 2);
    QCOMPARE(r.skipped, QStringList{folder + u"/Book02.xls"_s});
    QCOMPARE(r.Lblbook, u"2 个工作簿创建完毕！另有1个工作簿已存在，未替换。"_s);
    QCOMPARE(m_tree.read(u"existing/Book02.xls"_s), QByteArray("mine"));
}

void WorkbookToolsTest::createRefusals_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("templ");
    QTest::addColumn<QString>("message");
    QTest::newRow("no folder, before the count")
        << QString() << QString() << QString() << u"请选择工作薄的保存路径！"_s;
    QTest::newRow("count 0") << u"F"_s << u"0"_s << QString() << u"请设置工作薄数量！"_s;
    QTest::newRow("empty count") << u"F"_s << QString() << QString() << u"请设置工作薄数量！"_s;
    QTest::newRow("above 32767") << u"F"_s << u"32768"_s << QString() << u"工作薄数量不能超过32767！"_s;
    QTest::newRow("missing template") << u"F"_s << u"3"_s << u"nothing.xlt"_s << u"找不到工作薄模板："_s;
    QTest::newRow("unreadable template") << u"F"_s << u"3"_s << u"bad.xlt"_s << u"无法读取工作薄模板："_s;
    QTest::newRow("missing folder") << u"F/none/"_s << u"3"_s << QString() << u"保存路径不存在："_s;
}

void WorkbookToolsTest::createRefusals()
{
    QFETCH(QString, folder);
    QFETCH(QString, count);
    QFETCH(QString, templ);
    QFETCH(QString, message);
    const QString dir = m_tree.mkdir(u"refusals"_s);
    m_tree.write(u"refusals/bad.xlt"_s, "not a template");
    CreateWorkbooksOptions o;
    o.TxtPath = folder.isEmpty() ? QString() : dir + folder.mid(1);
    o.Txtsheet = count;
    o.TxtXLT = templ.isEmpty() ? QString() : dir + u'/' + templ;
    ExcelHost host;
    const CreateWorkbooksResult r = CreateWorkbooks(host, o);
    QVERIFY(!r.started);
    QCOMPARE(r.messages.size(), 1);
    QVERIFY2(r.messages.first().startsWith(message), qPrintable(r.messages.first()));
    QCOMPARE(m_tree.entries(u"refusals"_s), QStringList{u"bad.xlt"_s});
}

void WorkbookToolsTest::createFromTemplate()
{
    const QString dir = m_tree.mkdir(u"templ"_s);
    const QString xlsx = dir + u"/t.xlsx"_s;
    {
        Fixtures::XlsxBuilder b(xlsx);
        b.sheet(u"报表"_s);
        b.text(1, 1, u"月份"_s);
        QVERIFY(b.close());
    }
    const QString xlt = dir + u"/模板.xlt"_s;
    QVERIFY(toXls(xlsx, xlt));
    const QString out = m_tree.mkdir(u"templ/out"_s);
    for (const QString& templ : {xlt, xlsx}) {
        ExcelHost host;
        CreateWorkbooksOptions o;
        o.TxtPath = out + u"/x"_s; // a name that is no folder: the prefix the box names
        o.Txtsheet = u"2"_s;
        o.TxtXLT = templ;
        const CreateWorkbooksResult r = CreateWorkbooks(host, o);
        QVERIFY2(r.started, qPrintable(r.messages.join(u'\n')));
        QCOMPARE(r.created, (QStringList{out + u"/xBook01.xls"_s, out + u"/xBook02.xls"_s}));
        Workbook* book = host.Open(r.created.last());
        QVERIFY(book);
        QCOMPARE(book->Worksheets(1)->Name(), u"报表"_s);
        QCOMPARE(book->Worksheets(1)->Cells(1, 1).Text(), u"月份"_s);
        book->Close(false);
        checkGnumeric(r.created.last());
        for (const QString& p : r.created)
            QFile::remove(p);
    }
}

QTEST_GUILESS_MAIN(WorkbookToolsTest)
#include "tst_workbook_tools.moc"
