// The folder scan, the sheet records and previews of workbook information, and
// the command-line "workbook" commands built on them.

#include "Fixtures.h"
#include "TempTree.h"

#include "ExcelHost.h"
#include "WorkbookCommand.h"
#include "WorkbookInfo.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using namespace Xl;

class WorkbookInfoTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void folderScan();
    void scanWithNothingToRead();
    void sheetInfo();
    void preview();
    void infoCommand_data();
    void infoCommand();
    void cellsCommand();

private:
    void writeFolder();
    TempTree m_tree;
    QString m_folder;
};

void WorkbookInfoTest::writeFolder()
{
    m_folder = m_tree.mkdir(u"books"_s);
    {
        Fixtures::XlsxBuilder b(m_folder + u"/a.xlsx"_s);
        b.sheet(u"Sheet1"_s);
        b.text(1, 1, u"姓名"_s);
        b.text(1, 2, u"电话"_s);
        b.text(2, 1, u"张三"_s);
        b.number(2, 2, 13800000000.0);
        b.sheet(u"Sheet2"_s);
        QVERIFY(b.close());
    }
    {
        Fixtures::XlsxBuilder b(m_folder + u"/B.xlsx"_s);
        b.sheet(u"x|y"_s);
        b.number(3, 2, 1);
        b.text(4, 3, u"制表\t符"_s);
        b.sheet(u"公式"_s);
        b.formulaText(1, 1, u"=\"\""_s, QString());
        QVERIFY(b.close());
    }
    m_tree.write(u"books/c-bad.xlsx"_s, "not a workbook");
    // A damaged workbook listed first: the scan goes on with the next one.
    const QByteArray a = m_tree.read(u"books/a.xlsx"_s);
    m_tree.write(u"books/0-truncated.xlsx"_s, a.left(a.size() / 2));
    m_tree.write(u"books/~$a.xlsx"_s, "owner file");
    m_tree.write(u"books/notes.txt"_s, "text");
    m_tree.write(u"books/sub/d.xlsx"_s, "ignored");
}

void WorkbookInfoTest::initTestCase()
{
    writeFolder();
}

void WorkbookInfoTest::folderScan()
{
    ExcelHost host;
    QString path = m_folder;
    QList<int> progress;
    const FolderScan scan = Read_xls(path, host, [&](int i, int n, const QString& name) {
        progress << i;
        QCOMPARE(n, 4);
        QVERIFY(!name.isEmpty());
    });
    QCOMPARE(path, m_folder + u'/');
    QCOMPARE(scan.status, FolderScan::Status::Ok);
    QCOMPARE(progress, QList<int>({1, 2, 3, 4}));
    QCOMPARE(scan.fileNames(),
             QStringList({u"0-truncated.xlsx"_s, u"a.xlsx"_s, u"B.xlsx"_s, u"c-bad.xlsx"_s}));
    QCOMPARE(scan.sheetEntries(),
             QStringList({u"2|Sheet1"_s, u"2|Sheet2(空白工作表)"_s, u"3|x|y"_s, u"3|公式"_s}));
    QCOMPARE(scan.sheetCounts(), QList<int>({0, 2, 2, 0}));
    QCOMPARE(scan.worksheetTotal(), 4);
    QVERIFY(scan.anyFailed());
    QCOMPARE(scan.workbooks[0].error.code, WorkbookError::Code::Corrupt);
    QCOMPARE(scan.workbooks[3].error.code, WorkbookError::Code::NotAWorkbook);
    const WorksheetSummary& xy = scan.workbooks[2].worksheets[0];
    QCOMPARE(xy.firstRow, 3);
    QCOMPARE(xy.firstColumn, 2);
    QCOMPARE(xy.rowCount, 2);
    QCOMPARE(xy.columnCount, 2);
    QCOMPARE(readingLabel(2, u"B.xlsx"_s), u"    正在读取第2个工作簿:B.xlsx"_s);
    QCOMPARE(readDoneLabel(3), u"    3个工作簿读取完毕！"_s);
}

void WorkbookInfoTest::scanWithNothingToRead()
{
    ExcelHost host;
    QString empty;
    FolderScan scan = Read_xls(empty, host);
    QCOMPARE(scan.status, FolderScan::Status::EmptyPath);
    QCOMPARE(scan.message(), u"请在左侧树状目录中选择文件夹"_s);

    QString texts = m_tree.mkdir(u"texts"_s);
    m_tree.write(u"texts/a.txt"_s, "x");
    scan = Read_xls(texts, host);
    QCOMPARE(scan.status, FolderScan::Status::NoWorkbooks);
    QCOMPARE(scan.message(), u"所选文件夹中没有Excel文件，请重新选择！"_s);
    QVERIFY(scan.fileNames().isEmpty());
}

void WorkbookInfoTest::sheetInfo()
{
    ExcelHost host;
    const QString path = m_folder + u"/B.xlsx"_s;
    WorkbookError error;
    const QList<SheetInfo> infos = readSheetInfo(host, path, &error);
    QCOMPARE(infos.size(), 2);
    QCOMPARE(infos[0].index, 1);
    QCOMPARE(infos[0].sheetName, u"x|y"_s);
    QCOMPARE(infos[0].rowCount, 2);
    QCOMPARE(infos[0].columnCount, 2);
    QCOMPARE(infos[0].sheetCount, qint16(2));
    QCOMPARE(infos[1].index, 2);
    QCOMPARE(infos[1].rowCount, 1);
    QCOMPARE(infos[1].fileName, u"B.xlsx"_s);
    QCOMPARE(infos[1].folder, m_folder + u'/');
    QCOMPARE(infos[1].fullPath, path);
    QVERIFY(host.Workbooks().isEmpty());

    QVERIFY(readSheetInfo(host, m_folder + u"/c-bad.xlsx"_s, &error).isEmpty());
    QCOMPARE(error.code, WorkbookError::Code::NotAWorkbook);
}

void WorkbookInfoTest::preview()
{
    ExcelHost host;
    SheetPreview p;
    WorkbookError error;
    // The used range is B3:C4; the preview starts at A1 and reaches its end.
    QVERIFY(previewWorksheet(host, m_folder + u"/B.xlsx"_s, 1, &p, &error));
    QCOMPARE(p.sheetName, u"x|y"_s);
    QCOMPARE(p.rowCount, 2);
    QCOMPARE(p.columns, QStringList({u"行数"_s, u"A"_s, u"B"_s, u"C"_s}));
    QCOMPARE(p.rows.size(), 4);
    QCOMPARE(p.rows[0], QStringList({u"行1"_s, QString(), QString(), QString()}));
    QCOMPARE(p.rows[2], QStringList({u"行3"_s, QString(), u"1"_s, QString()}));
    QCOMPARE(p.rows[3], QStringList({u"行4"_s, QString(), QString(), u"制表\t符"_s}));

    QVERIFY(previewWorksheet(host, m_folder + u"/a.xlsx"_s, 1, &p, &error));
    QCOMPARE(p.rows[1], QStringList({u"行2"_s, u"张三"_s, u"13800000000"_s}));
    QVERIFY(!previewWorksheet(host, m_folder + u"/a.xlsx"_s, 3, &p, &error));
    QCOMPARE(error.code, WorkbookError::Code::NoSuchSheet);
}

void WorkbookInfoTest::infoCommand_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("lines");

    const QString a = m_folder + u"/a.xlsx"_s;
    QTest::newRow("one workbook") << QStringList{u"workbook"_s, u"info"_s, a} << 0
                                  << QStringList{u"a.xlsx\t1\tSheet1\t2×2\t"_s,
                                                 u"a.xlsx\t2\tSheet2\t1×1\t(空白工作表)"_s};
    QTest::newRow("a folder with a bad workbook")
        << QStringList{u"info"_s, m_folder} << 1
        << QStringList{u"a.xlsx\t1\tSheet1\t2×2\t"_s, u"a.xlsx\t2\tSheet2\t1×1\t(空白工作表)"_s,
                       u"B.xlsx\t1\tx|y\t2×2\t"_s, u"B.xlsx\t2\t公式\t1×1\t"_s};
    QTest::newRow("folder without workbooks")
        << QStringList{u"info"_s, m_tree.mkdir(u"empty"_s)} << 2 << QStringList{};
    QTest::newRow("missing path") << QStringList{u"info"_s, m_folder + u"/nothing.xlsx"_s} << 2
                                  << QStringList{};
    QTest::newRow("no path") << QStringList{u"info"_s} << 2 << QStringList{};
    QTest::newRow("unknown option") << QStringList{u"info"_s, a, u"--fast"_s} << 2 << QStringList{};
    QTest::newRow("unknown command") << QStringList{u"list"_s, a} << 2 << QStringList{};
}

void WorkbookInfoTest::infoCommand()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QStringList, lines);
    QString out, err;
    QTextStream o(&out), e(&err);
    QCOMPARE(runWorkbookCommand(args, o, e), status);
    QCOMPARE(out.split(u'\n', Qt::SkipEmptyParts), lines);
    if (status != 0)
        QVERIFY(!err.isEmpty());
    if (status == 1) {
        QVERIFY(err.startsWith(u"0-truncated.xlsx\t"_s +
                               WorkbookError::messageFor(WorkbookError::Code::Corrupt)));
        QVERIFY(
            err.contains(u"\nc-bad.xlsx\t"_s + WorkbookError::messageFor(WorkbookError::Code::NotAWorkbook)));
    }
}

void WorkbookInfoTest::cellsCommand()
{
    const QString b = m_folder + u"/B.xlsx"_s;
    QString out, err;
    QTextStream o(&out), e(&err);
    QCOMPARE(runWorkbookCommand({u"cells"_s, b, u"--sheet"_s, u"1"_s}, o, e), 0);
    QCOMPARE(out.split(u'\n', Qt::SkipEmptyParts),
             QStringList({u"行1"_s, u"行2"_s, u"行3\t\t1"_s, u"行4\t\t\t制表\\t符"_s}));

    out.clear();
    QCOMPARE(runWorkbookCommand({u"workbook"_s, u"cells"_s, b, u"--sheet"_s, u"1"_s, u"--json"_s}, o, e), 0);
    const QJsonObject json = QJsonDocument::fromJson(out.toUtf8()).object();
    QCOMPARE(json.value(u"sheet"_s).toString(), u"x|y"_s);
    QCOMPARE(json.value(u"rows"_s).toArray().at(3).toArray().at(3).toString(), u"制表\t符"_s);

    out.clear();
    QCOMPARE(runWorkbookCommand({u"info"_s, m_folder, u"--json"_s}, o, e), 1);
    const QJsonArray books = QJsonDocument::fromJson(out.toUtf8()).object().value(u"workbooks"_s).toArray();
    QCOMPARE(books.size(), 4);
    const QJsonArray sheets = books.at(1).toObject().value(u"worksheets"_s).toArray();
    QCOMPARE(sheets.at(1).toObject().value(u"blank"_s).toBool(), true);
    QVERIFY(books.at(0).toObject().contains(u"error"_s));
    QVERIFY(books.at(3).toObject().contains(u"error"_s));

    QCOMPARE(runWorkbookCommand({u"cells"_s, b, u"--sheet"_s, u"3"_s}, o, e), 2);
    QCOMPARE(runWorkbookCommand({u"cells"_s, b}, o, e), 2);
    QCOMPARE(runWorkbookCommand({u"cells"_s, m_folder + u"/c-bad.xlsx"_s, u"--sheet"_s, u"1"_s}, o, e), 1);
}

QTEST_GUILESS_MAIN(WorkbookInfoTest)
#include "tst_workbook_info.moc"
