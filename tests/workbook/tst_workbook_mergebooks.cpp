// Merging the workbooks of a folder: worksheets into one workbook, or the data
// of one worksheet of each into one worksheet. Real folders of workbooks; every
// target is opened again and checked cell by cell, and read by gnumeric.

#include "Fixtures.h"
#include "TempTree.h"

#include "ExcelHost.h"
#include "MergeBooks.h"
#include "Workbook.h"
#include "WorkbookInfo.h"
#include "Worksheet.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <xlsxwriter.h>

using namespace Qt::Literals::StringLiterals;
using namespace Xl;

namespace {

// A worksheet's rows, each a list of texts (an empty text leaves the cell empty).
using Rows = QList<QStringList>;
using Sheets = QList<QPair<QString, Rows>>;

bool writeBook(const QString& path, const Sheets& sheets)
{
    Fixtures::XlsxBuilder b(path);
    for (const auto& [name, rows] : sheets) {
        b.sheet(name);
        for (int r = 0; r < rows.size(); ++r) {
            for (int c = 0; c < rows[r].size(); ++c) {
                if (!rows[r][c].isEmpty())
                    b.text(r + 1, c + 1, rows[r][c]);
            }
        }
    }
    return b.close();
}

// A sheet "name" of a title row and the given values in column A, with the row
// number in column B.
QPair<QString, Rows> table(const QString& name, const QStringList& values, const QString& title = u"标题"_s)
{
    Rows rows{{title, u"编号"_s}};
    for (const QString& v : values)
        rows << QStringList{v, QString::number(rows.size())};
    return {name, rows};
}

// Column `column` from row 1 to the last row holding a value, as "a|b|c".
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

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void checkGnumeric(const QString& path)
{
    QString messages;
    QVERIFY2(Fixtures::gnumericReads(path, &messages), qPrintable(messages));
    QVERIFY2(messages.isEmpty(), qPrintable(messages));
}

QStringList texts(const QList<MergeBooksMessage>& messages)
{
    QStringList out;
    for (const MergeBooksMessage& m : messages)
        out << m.text;
    return out;
}

} // namespace

class MergeBooksTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void helpers_data();
    void helpers();
    void sheets_data();
    void sheets();
    void data_data();
    void data();
    void damagedSourceInTheMiddle();
    void rowsPastTheFormatAreRefused();
    void newTarget();
    void newTargetIsARealXls();
    void folderBackup();
    void refusals();
    void failedSaveKeepsTarget();
    void formulasIntoOtherSheets_data();
    void formulasIntoOtherSheets();

private:
    // A folder of workbooks, read as the read button reads it.
    QString folderOf(const QList<QPair<QString, Sheets>>& books);
    MergeBooksOptions optionsFor(const QString& folder);

    TempTree m_tree;
    int m_serial = 0;
    ExcelHost m_host;
};

QString MergeBooksTest::folderOf(const QList<QPair<QString, Sheets>>& books)
{
    const QString dir = m_tree.mkdir(u"f"_s + QString::number(++m_serial) + u"/销售"_s);
    for (const auto& [name, sheets] : books) {
        if (!writeBook(dir + u'/' + name, sheets))
            return {};
    }
    return dir + u'/';
}

MergeBooksOptions MergeBooksTest::optionsFor(const QString& folder)
{
    MergeBooksOptions o;
    QString path = folder;
    const FolderScan scan = Read_xls(path, m_host);
    o.CurrentFolder = path;
    o.books = scan.fileNames();
    o.intSheetCount = scan.sheetCounts();
    return o;
}

void MergeBooksTest::helpers_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("backup of a folder") << u"backup"_s << u"/d/data/sales/"_s << u"/d/data/sales/_sales"_s;
    QTest::newRow("backup without the final slash") << u"backup"_s << u"/d/sales"_s << u"/d/sales/_sales"_s;
    QTest::newRow("no backup at the root") << u"backup"_s << u"/"_s << QString();
    QTest::newRow("new target") << u"goal"_s << u"汇总"_s << u"/d/汇总.xls"_s;
    QTest::newRow("a typed .xls is doubled") << u"goal"_s << u"x.xls"_s << u"/d/x.xls.xls"_s;
    QTest::newRow("name 0: the sheet's") << u"name0"_s << u"a.b.c.xlsx|Sheet1"_s << u"Sheet1"_s;
    QTest::newRow("name 1: several dots") << u"name1"_s << u"a.b.c.xlsx|Sheet1"_s << u"a.b.c_Sheet1"_s;
    QTest::newRow("name 2: the book's base") << u"name2"_s << u"a.b.c.xlsx|Sheet1"_s << u"a.b.c"_s;
    QTest::newRow("rows of .xls") << u"limit"_s << u"/d/x.xls"_s << u"65536"_s;
    QTest::newRow("rows of .xlsx") << u"limit"_s << u"/d/x.xlsx"_s << u"1048576"_s;
}

void MergeBooksTest::helpers()
{
    QFETCH(QString, function);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QString actual;
    if (function == u"backup"_s)
        actual = folderBackupPath(input);
    else if (function == u"goal"_s)
        actual = newGoalPath(u"/d/"_s, input);
    else if (function.startsWith(u"name"_s))
        actual = copySheetName(input.section(u'|', 0, 0), input.section(u'|', 1), function.right(1).toInt());
    else
        actual = QString::number(formatRowLimit(input));
    QCOMPARE(actual, expected);
}

void MergeBooksTest::sheets_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("naming");
    QTest::addColumn<int>("goal"); // -1: a new target; i: book i
    QTest::addColumn<int>("blank");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("errors");

    const QStringList fresh{u"Sheet1"_s, u"Sheet2"_s, u"Sheet3"_s};
    QTest::newRow("all worksheets, new target, book_sheet")
        << 0 << 1 << -1 << 1
        << fresh + QStringList{u"A_Sheet1"_s, u"A_Sheet2"_s, u"B_Sheet1"_s, u"B_Sheet2"_s} << QStringList();
    QTest::newRow("the new target's blank sheets go")
        << 0 << 1 << -1 << 0 << QStringList{u"A_Sheet1"_s, u"A_Sheet2"_s, u"B_Sheet1"_s, u"B_Sheet2"_s}
        << QStringList();
    QTest::newRow("sheet names: taken names are derived")
        << 0 << 0 << -1 << 1
        << fresh + QStringList{u"Sheet1 (2)"_s, u"Sheet2 (2)"_s, u"Sheet1 (3)"_s, u"Sheet2 (3)"_s}
        << QStringList();
    QTest::newRow("existing target is never copied into itself")
        << 0 << 1 << 0 << 0 << QStringList{u"Sheet1"_s, u"Sheet2"_s, u"B_Sheet1"_s, u"B_Sheet2"_s}
        << QStringList();
    QTest::newRow("worksheet 2 by book name")
        << 2 << 2 << -1 << 0 << QStringList{u"A"_s, u"B"_s} << QStringList();
    QTest::newRow("worksheet 3: both books have too few")
        << 3 << 1 << -1 << 1 << fresh
        << QStringList{u"工作簿《A.xlsx》中：\r\n工作表数目少于3个\r\n不能完成合并！"_s,
                       u"工作簿《B.xlsx》中：\r\n工作表数目少于3个\r\n不能完成合并！"_s};
}

void MergeBooksTest::sheets()
{
    QFETCH(int, k);
    QFETCH(int, naming);
    QFETCH(int, goal);
    QFETCH(int, blank);
    QFETCH(QStringList, names);
    QFETCH(QStringList, errors);
    const QString folder = folderOf({
        {u"A.xlsx"_s, {table(u"Sheet1"_s, {u"a1"_s}), table(u"Sheet2"_s, {u"a2"_s, u"a3"_s})}},
        {u"B.xlsx"_s, {table(u"Sheet1"_s, {u"b1"_s}), table(u"Sheet2"_s, {u"b2"_s})}},
    });
    const QByteArray sourceB = bytesOf(folder + u"B.xlsx"_s);
    MergeBooksOptions o = optionsFor(folder);
    o.IntCboBook = k;
    o.IntOptName = naming;
    o.IntOptBlank = blank;
    if (goal < 0) {
        o.intCboGoal = 1;
        o.strGoalFN = newGoalPath(folder, u"合并"_s).replace(u".xls"_s, u".xlsx"_s);
    } else {
        o.goalIndex = goal;
    }
    const MergeBooksResult r = mergeWorkbooks(m_host, o);
    QCOMPARE(r.status, MergeBooksResult::Status::Done);
    QStringList errorTexts;
    for (const MergeBooksMessage& m : r.messages) {
        QVERIFY(m.error);
        errorTexts << m.text;
    }
    QCOMPARE(errorTexts, errors);
    QCOMPARE(r.Lblbook, u"    2个工作簿合并完成！"_s);

    Workbook* book = m_host.Open(r.target);
    QVERIFY(book);
    QCOMPARE(sheetNames(book), names);
    // Each copy holds its source's cells.
    for (Worksheet* ws : book->worksheetList()) {
        const QString column = columnOf(ws);
        if (ws->Name().startsWith(u"A_Sheet2"_s) || ws->Name() == u"A"_s)
            QCOMPARE(column, u"标题|a2|a3"_s);
        if (ws->Name() == u"B_Sheet1"_s)
            QCOMPARE(column, u"标题|b1"_s);
    }
    book->Close(false);
    QCOMPARE(bytesOf(folder + u"B.xlsx"_s), sourceB);
    checkGnumeric(r.target);
}

void MergeBooksTest::data_data()
{
    QTest::addColumn<Sheets>("a");
    QTest::addColumn<Sheets>("b");
    QTest::addColumn<Sheets>("c");
    QTest::addColumn<bool>("newTarget");
    QTest::addColumn<bool>("oneTitle");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("columnB");

    const Sheets a{table(u"S"_s, {u"a1"_s, u"a2"_s})};
    const Sheets b{table(u"S"_s, {u"b1"_s})};
    const Sheets c{table(u"S"_s, {u"c1"_s, u"c2"_s, u"c3"_s})};
    QTest::newRow("new target, one title row")
        << a << b << c << true << true << u"标题|a1|a2|b1|c1|c2|c3"_s << u"编号|1|2|1|1|2|3"_s;
    QTest::newRow("new target, every title row")
        << a << b << c << true << false << u"标题|a1|a2|标题|b1|标题|c1|c2|c3"_s
        << u"编号|1|2|编号|1|编号|1|2|3"_s;
    // The target (a) keeps its own rows; no title row is copied.
    QTest::newRow("existing target, one title row")
        << a << b << c << false << true << u"标题|a1|a2|b1|c1|c2|c3"_s << u"编号|1|2|1|1|2|3"_s;
    QTest::newRow("existing target, every title row")
        << a << b << c << false << false << u"标题|a1|a2|标题|b1|标题|c1|c2|c3"_s
        << u"编号|1|2|编号|1|编号|1|2|3"_s;
    QTest::newRow("a gap in column 1 ends the block")
        << a << Sheets{{u"S"_s, Rows{{u"标题"_s, u"编号"_s}, {u"b1"_s, u"1"_s}, {}, {u"b3"_s, u"3"_s}}}} << c
        << true << true << u"标题|a1|a2|b1|c1|c2|c3"_s << u"编号|1|2|1|1|2|3"_s;
    QTest::newRow("a gap in row 1 ends the columns")
        << a
        << Sheets{{u"S"_s,
                   Rows{{u"标题"_s, u"编号"_s, QString(), u"X"_s}, {u"b1"_s, u"1"_s, QString(), u"x"_s}}}}
        << c << true << true << u"标题|a1|a2|b1|c1|c2|c3"_s << u"编号|1|2|1|1|2|3"_s;
    // Its move down runs to the sheet's edge: nothing is pasted, nothing refused.
    QTest::newRow("a source with only its title row") << a << Sheets{table(u"S"_s, {})} << c << true << true
                                                      << u"标题|a1|a2|c1|c2|c3"_s << u"编号|1|2|1|2|3"_s;
    // Rows of a single data row: the next block still lands below.
    QTest::newRow("sources of one data row")
        << Sheets{table(u"S"_s, {u"a1"_s})} << b << Sheets{table(u"S"_s, {u"c1"_s})} << true << true
        << u"标题|a1|b1|c1"_s << u"编号|1|1|1"_s;
}

void MergeBooksTest::data()
{
    QFETCH(Sheets, a);
    QFETCH(Sheets, b);
    QFETCH(Sheets, c);
    QFETCH(bool, newTarget);
    QFETCH(bool, oneTitle);
    QFETCH(QString, column);
    QFETCH(QString, columnB);
    const QString folder = folderOf({{u"a.xlsx"_s, a}, {u"b.xlsx"_s, b}, {u"c.xlsx"_s, c}});
    MergeBooksOptions o = optionsFor(folder);
    o.hbOption = 1;
    o.IntCboBook = 1;
    o.ChkBT = oneTitle;
    if (newTarget) {
        o.intCboGoal = 1;
        o.strGoalFN = folder + u"汇总.xlsx"_s;
    } else {
        o.goalIndex = 0;
    }
    QList<int> progress;
    const MergeBooksResult r = mergeWorkbooks(m_host, o, [&](int value, int maximum, const QString&) {
        QCOMPARE(maximum, 3);
        progress << value;
    });
    QCOMPARE(r.status, MergeBooksResult::Status::Done);
    QCOMPARE(r.messages.size(), 0);
    QCOMPARE(r.Lblbook, u"3工作簿中数据已经合并在《"_s + QFileInfo(r.target).fileName() + u"》！"_s);
    QVERIFY(progress.contains(3));

    Workbook* book = m_host.Open(r.target);
    QVERIFY(book);
    // The new target's two blank initial sheets were removed.
    QCOMPARE(book->worksheetCount(), 1);
    Worksheet* ws = book->Worksheets(1);
    QCOMPARE(columnOf(ws, 1), column);
    QCOMPARE(columnOf(ws, 2), columnB);
    QCOMPARE(ws->UsedRange().lastColumn(), 2);
    book->Close(false);
    checkGnumeric(r.target);
}

void MergeBooksTest::damagedSourceInTheMiddle()
{
    const QString folder =
        folderOf({{u"a.xlsx"_s, {table(u"S"_s, {u"a1"_s})}}, {u"c.xlsx"_s, {table(u"S"_s, {u"c1"_s})}}});
    QFile bad(folder + u"b.xlsx"_s);
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("PK\x03\x04 not really a workbook");
    bad.close();
    MergeBooksOptions o = optionsFor(folder);
    QCOMPARE(o.books, (QStringList{u"a.xlsx"_s, u"b.xlsx"_s, u"c.xlsx"_s}));
    o.hbOption = 1;
    o.IntCboBook = 1;
    o.intCboGoal = 1;
    o.strGoalFN = folder + u"汇总.xlsx"_s;
    const MergeBooksResult r = mergeWorkbooks(m_host, o);
    QCOMPARE(r.status, MergeBooksResult::Status::Done);
    QVERIFY(r.anySkipped());
    QCOMPARE(r.Lblbook, u"3工作簿中数据已经合并在《汇总.xlsx》！  1个工作簿无法打开：b.xlsx"_s);
    Workbook* book = m_host.Open(r.target);
    QVERIFY(book);
    // Nothing pasted twice for the book that could not be read.
    QCOMPARE(columnOf(book->Worksheets(1)), u"标题|a1|c1"_s);
    book->Close(false);

    // The same for worksheets.
    MergeBooksOptions s = optionsFor(folder);
    s.intCboGoal = 1;
    s.strGoalFN = folder + u"表.xlsx"_s;
    const MergeBooksResult rs = mergeWorkbooks(m_host, s);
    QCOMPARE(rs.status, MergeBooksResult::Status::Done);
    QVERIFY(rs.Lblbook.endsWith(u"1个工作簿无法打开：b.xlsx"_s));
    book = m_host.Open(rs.target);
    // The first run's target is a workbook of the folder now.
    QCOMPARE(sheetNames(book), (QStringList{u"a_S"_s, u"c_S"_s, u"汇总_Sheet1"_s}));
    book->Close(false);
}

void MergeBooksTest::rowsPastTheFormatAreRefused()
{
    const QString folder = folderOf({{u"b.xlsx"_s, {table(u"S"_s, {u"b1"_s, u"b2"_s, u"b3"_s})}}});
    // A target whose data ends two rows above the sheet's end.
    {
        Fixtures::XlsxBuilder t(folder + u"a.xlsx"_s);
        t.sheet(u"S"_s);
        t.text(1, 1, u"标题"_s);
        t.text(1048574, 1, u"last"_s);
        QVERIFY(t.close());
    }
    const QByteArray before = bytesOf(folder + u"a.xlsx"_s);
    MergeBooksOptions o = optionsFor(folder);
    o.hbOption = 1;
    o.IntCboBook = 1;
    o.goalIndex = 0;
    o.ChkFolder = true;
    const MergeBooksResult r = mergeWorkbooks(m_host, o);
    QCOMPARE(r.status, MergeBooksResult::Status::Refused);
    QCOMPARE(r.messages.size(), 1);
    QVERIFY(r.messages[0].error);
    QVERIFY2(r.messages[0].text.contains(u"1048576"_s), qPrintable(r.messages[0].text));
    QCOMPARE(bytesOf(folder + u"a.xlsx"_s), before);
    // Refused before anything was written: not even the backup.
    QVERIFY(!QFileInfo::exists(folder + u"_销售"_s));

    // Two rows fit exactly.
    Workbook* book = m_host.Open(folder + u"b.xlsx"_s);
    QVERIFY(book);
    book->Worksheets(1)->Cells(4, 1).setValue(CellValue());
    book->Worksheets(1)->Cells(4, 2).setValue(CellValue());
    QVERIFY(book->Close(true));
    o.ChkFolder = false;
    const MergeBooksResult fits = mergeWorkbooks(m_host, o);
    QCOMPARE(fits.status, MergeBooksResult::Status::Done);
    book = m_host.Open(folder + u"a.xlsx"_s);
    QCOMPARE(book->Worksheets(1)->Cells(1048576, 1).Text(), u"b2"_s);
    book->Close(false);
}

void MergeBooksTest::newTarget()
{
    const QString folder = folderOf({{u"a.xlsx"_s, {table(u"S"_s, {u"a1"_s})}}});
    // No name: the run stops without a word and writes nothing.
    MergeBooksOptions o = optionsFor(folder);
    o.intCboGoal = 1;
    MergeBooksResult r = mergeWorkbooks(m_host, o);
    QCOMPARE(r.status, MergeBooksResult::Status::Stopped);
    QVERIFY(r.started);
    QVERIFY(r.messages.isEmpty());
    QCOMPARE(m_tree.entries(QDir(m_tree.path()).relativeFilePath(folder)), QStringList{u"a.xlsx"_s});

    // A file that appeared after the question was asked is not replaced.
    o.strGoalFN = folder + u"汇总.xlsx"_s;
    QFile other(o.strGoalFN);
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write("someone else's");
    other.close();
    r = mergeWorkbooks(m_host, o);
    QCOMPARE(r.status, MergeBooksResult::Status::Refused);
    QCOMPARE(texts(r.messages), QStringList{o.strGoalFN + u"\r\n文件已存在，未合并。"_s});
    QCOMPARE(bytesOf(o.strGoalFN), QByteArray("someone else's"));

    // Replaced when the user agreed.
    o.replaceGoal = true;
    r = mergeWorkbooks(m_host, o);
    QCOMPARE(r.status, MergeBooksResult::Status::Done);
    Workbook* book = m_host.Open(o.strGoalFN);
    QVERIFY(book);
    QCOMPARE(sheetNames(book), QStringList{u"a_S"_s});
    book->Close(false);

    // A new target named like a listed workbook is not read as a source.
    MergeBooksOptions same = optionsFor(folder);
    same.intCboGoal = 1;
    same.replaceGoal = true;
    same.strGoalFN = folder + u"a.xlsx"_s;
    r = mergeWorkbooks(m_host, same);
    QCOMPARE(r.status, MergeBooksResult::Status::Done);
    QCOMPARE(r.sources[0].outcome, MergeBooksSource::Outcome::Target);
}

void MergeBooksTest::newTargetIsARealXls()
{
    const QString folder =
        folderOf({{u"a.xlsx"_s, {table(u"S"_s, {u"a1"_s})}}, {u"b.xlsx"_s, {table(u"S"_s, {u"b1"_s})}}});
    MergeBooksOptions o = optionsFor(folder);
    o.hbOption = 1;
    o.IntCboBook = 1;
    o.intCboGoal = 1;
    o.strGoalFN = newGoalPath(folder, u"汇总"_s);
    const MergeBooksResult r = mergeWorkbooks(m_host, o);
    QCOMPARE(r.status, MergeBooksResult::Status::Done);
    QCOMPARE(r.Lblbook, u"2工作簿中数据已经合并在《汇总.xls》！"_s);
    // An OLE compound file, as .xls is.
    QVERIFY(bytesOf(o.strGoalFN).startsWith(QByteArray::fromHex("d0cf11e0a1b11ae1")));
    Workbook* book = m_host.Open(o.strGoalFN);
    QVERIFY(book);
    QCOMPARE(columnOf(book->Worksheets(1)), u"标题|a1|b1"_s);
    book->Close(false);
    checkGnumeric(o.strGoalFN);
}

void MergeBooksTest::folderBackup()
{
    const QString folder =
        folderOf({{u"a.xlsx"_s, {table(u"S"_s, {u"a1"_s})}}, {u"b.xlsx"_s, {table(u"S"_s, {u"b1"_s})}}});
    const QByteArray a = bytesOf(folder + u"a.xlsx"_s);
    const QString backup = folder + u"_销售"_s;
    // An earlier copy is kept: the new one takes a free name.
    QVERIFY(QDir().mkpath(backup));
    QFile earlier(backup + u"/a.xlsx"_s);
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier copy");
    earlier.close();

    MergeBooksOptions o = optionsFor(folder);
    o.ChkFolder = true;
    o.goalIndex = 0;
    const MergeBooksResult r = mergeWorkbooks(m_host, o);
    QCOMPARE(r.status, MergeBooksResult::Status::Done);
    QCOMPARE(r.backupFolder, backup);
    QCOMPARE(texts(r.messages), QStringList{u"文件夹已备份在：\r\n"_s + backup});
    QCOMPARE(bytesOf(backup + u"/a.xlsx"_s), QByteArray("earlier copy"));
    QCOMPARE(bytesOf(backup + u"/a (2).xlsx"_s), a);
    QVERIFY(QFileInfo::exists(backup + u"/b.xlsx"_s));
    // The backup folder is not a source of a later read.
    QCOMPARE(optionsFor(folder).books, (QStringList{u"a.xlsx"_s, u"b.xlsx"_s}));

    // At the root there is no name to give the backup: refused, nothing done.
    MergeBooksOptions root = o;
    root.CurrentFolder = u"/"_s;
    const MergeBooksResult refused = mergeWorkbooks(m_host, root);
    QCOMPARE(refused.status, MergeBooksResult::Status::Refused);
    QVERIFY(!refused.started);
    QCOMPARE(refused.messages.size(), 1);
}

void MergeBooksTest::refusals()
{
    const QString folder = folderOf({{u"a.xlsx"_s, {table(u"S"_s, {u"a1"_s})}}});
    MergeBooksOptions o = optionsFor(folder);
    const QByteArray before = bytesOf(folder + u"a.xlsx"_s);
    MergeBooksResult r = mergeWorkbooks(m_host, o); // no target chosen
    QCOMPARE(r.status, MergeBooksResult::Status::Refused);
    QCOMPARE(texts(r.messages), QStringList{u"请选择目标工作簿"_s});
    QVERIFY(!r.started);

    o.goalIndex = 0;
    o.hbOption = 1;
    o.IntCboBook = 0;
    r = mergeWorkbooks(m_host, o);
    QCOMPARE(texts(r.messages), QStringList{u"合并数据时不能选择全部工作表！"_s});

    // An existing target without worksheet k.
    o.IntCboBook = 2;
    r = mergeWorkbooks(m_host, o);
    QCOMPARE(r.status, MergeBooksResult::Status::Refused);
    QVERIFY(r.messages.value(0).text.contains(u"没有第2个工作表"_s));
    QCOMPARE(bytesOf(folder + u"a.xlsx"_s), before);
}

void MergeBooksTest::failedSaveKeepsTarget()
{
    const QString folder =
        folderOf({{u"a.xlsx"_s, {table(u"S"_s, {u"a1"_s})}}, {u"b.xlsx"_s, {table(u"S"_s, {u"b1"_s})}}});
    const QByteArray before = bytesOf(folder + u"a.xlsx"_s);
    MergeBooksOptions o = optionsFor(folder);
    o.goalIndex = 0;
    ExcelHost host;
    host.setSaveFault(SaveFault::Rename);
    const MergeBooksResult r = mergeWorkbooks(host, o);
    QCOMPARE(r.status, MergeBooksResult::Status::Failed);
    QVERIFY(r.messages.value(0).error);
    QCOMPARE(bytesOf(folder + u"a.xlsx"_s), before);
}

void MergeBooksTest::formulasIntoOtherSheets_data()
{
    QTest::addColumn<int>("hbOption");
    QTest::addColumn<QString>("sheet"); // where the copied formula lands in the target
    QTest::newRow("worksheets") << 0 << u"a_Calc"_s;
    QTest::newRow("data") << 1 << u"Sheet1"_s;
}

void MergeBooksTest::formulasIntoOtherSheets()
{
    // The merge renames each source sheet before it copies it; the link names
    // the sheets as the source file holds them.
    QFETCH(int, hbOption);
    QFETCH(QString, sheet);
    const QString folder = m_tree.mkdir(u"f"_s + QString::number(++m_serial) + u"/公式"_s) + u'/';
    {
        Fixtures::XlsxBuilder b(folder + u"a.xlsx"_s);
        b.sheet(u"Calc"_s);
        b.text(1, 1, u"值"_s);
        b.formula(2, 1, u"=Data!A1*2"_s, 10);
        b.sheet(u"Data"_s);
        b.number(1, 1, 5);
        QVERIFY(b.close());
    }
    MergeBooksOptions o = optionsFor(folder);
    o.hbOption = hbOption;
    o.IntCboBook = hbOption;
    o.intCboGoal = 1;
    o.strGoalFN = folder + u"汇总.xlsx"_s;
    o.IntOptBlank = 1;
    const MergeBooksResult r = mergeWorkbooks(m_host, o);
    QCOMPARE(r.status, MergeBooksResult::Status::Done);
    Workbook* book = m_host.Open(o.strGoalFN);
    QVERIFY(book);
    Worksheet* ws = book->Worksheets(sheet);
    QVERIFY(ws);
    QCOMPARE(ws->Cells(2, 1).Formula(), u"=[1]Data!A1*2"_s);
    QCOMPARE(ws->Cells(2, 1).Value(), CellValue::number(10));
    book->Close(false);
    QVERIFY(Fixtures::partOf(o.strGoalFN, u"xl/externalLinks/externalLink1.xml"_s)
                .contains("<sheetName val=\"Data\"/>"));
    QVERIFY(Fixtures::partOf(o.strGoalFN, u"xl/externalLinks/_rels/externalLink1.xml.rels"_s)
                .contains("Target=\"a.xlsx\""));
    // The source is as it was.
    Workbook* source = m_host.Open(folder + u"a.xlsx"_s);
    QVERIFY(source);
    QCOMPARE(sheetNames(source), QStringList({u"Calc"_s, u"Data"_s}));
    source->Close(false);
    checkGnumeric(o.strGoalFN);
}

QTEST_GUILESS_MAIN(MergeBooksTest)
#include "tst_workbook_mergebooks.moc"
