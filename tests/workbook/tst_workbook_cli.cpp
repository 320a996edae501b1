// The command-line workbook tools, driven through the built executable with no
// display: merge-sheets, delete-blank and create, on real workbooks.

#include "Fixtures.h"
#include "TempTree.h"

#include "ExcelHost.h"
#include "Workbook.h"
#include "Worksheet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using namespace Xl;

namespace {

struct Result
{
    int exitCode = -1;
    QString out;
    QString err;
};

Result runCli(const QStringList& args, const QString& workingDir = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"QT_QPA_PLATFORM"_s);
    env.remove(u"DISPLAY"_s);
    env.remove(u"WAYLAND_DISPLAY"_s);
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!workingDir.isEmpty())
        process.setWorkingDirectory(workingDir);
    process.start(QStringLiteral(TARNWICK_CLI), QStringList{u"workbook"_s} + args);
    process.waitForFinished(120000);
    Result r;
    r.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.out = QString::fromUtf8(process.readAllStandardOutput());
    r.err = QString::fromUtf8(process.readAllStandardError());
    return r;
}

QStringList lines(const QString& text)
{
    return text.split(u'\n', Qt::SkipEmptyParts);
}

// Two worksheets with a title row 2 and data in column A; and an empty one.
bool writeThreeSheets(const QString& path)
{
    Fixtures::XlsxBuilder b(path);
    b.sheet(u"一"_s);
    b.text(2, 1, u"T"_s);
    b.text(3, 1, u"a1"_s);
    b.text(4, 1, u"a2"_s);
    b.sheet(u"二"_s);
    b.text(2, 1, u"T"_s);
    b.text(3, 1, u"b1"_s);
    b.sheet(u"空"_s);
    return b.close();
}

QString columnA(const QString& path, const QString& sheet)
{
    ExcelHost host;
    Workbook* book = host.Open(path);
    if (!book)
        return u"(unreadable)"_s;
    Worksheet* ws = book->Worksheets(sheet);
    QStringList out;
    for (int r = 1; ws && r <= ws->lastValueRow(); ++r)
        out << ws->Cells(r, 1).Text();
    book->Close(false);
    return ws ? out.join(u'|') : u"(no sheet)"_s;
}

} // namespace

class WorkbookCliTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mergeSheets_data();
    void mergeSheets();
    void mergeSheetsUsage_data();
    void mergeSheetsUsage();
    void deleteBlankFolder();
    void deleteBlankFile();
    void create();
    void createUsage_data();
    void createUsage();

private:
    TempTree m_tree;
    int m_serial = 0;
};

void WorkbookCliTest::mergeSheets_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QStringList>("output");
    QTest::newRow("defaults") << QStringList{} << u"my sheet"_s << u"T|a1|a2|b1"_s
                              << QStringList{u"合并了 3 个工作表！"_s};
    QTest::newRow("new sheet named, no single title")
        << QStringList{u"--into-new=合并"_s, u"--no-single-title"_s} << u"合并"_s << u"a1|a2|b1"_s
        << QStringList{u"合并了 3 个工作表！"_s};
    QTest::newRow("into sheet 1, every title row")
        << QStringList{u"--into-sheet"_s, u"1"_s, u"--no-single-title"_s} << u"一"_s << u"|T|a1|a2|T|b1"_s
        << QStringList{u"    已将2 个工作表合并到："_s, u"《一》工作表中!"_s, u"    请查看！"_s};
    QTest::newRow("title row 3") << QStringList{u"--title-row=3"_s} << u"my sheet"_s << u"a1|a2"_s
                                 << QStringList{u"合并了 3 个工作表！"_s};
}

void WorkbookCliTest::mergeSheets()
{
    QFETCH(QStringList, options);
    QFETCH(QString, sheet);
    QFETCH(QString, column);
    QFETCH(QStringList, output);
    const QString path = m_tree.file(QString::number(++m_serial) + u"-merge.xlsx"_s);
    QVERIFY(writeThreeSheets(path));
    const Result r = runCli(QStringList{u"merge-sheets"_s, path} + options);
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QCOMPARE(lines(r.out), output);
    QCOMPARE(columnA(path, sheet), column);
    QString messages;
    QVERIFY2(Fixtures::gnumericReads(path, &messages), qPrintable(messages));
    QVERIFY2(messages.isEmpty(), qPrintable(messages));
}

void WorkbookCliTest::mergeSheetsUsage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("both targets") << QStringList{u"--into-new"_s, u"x"_s, u"--into-sheet"_s, u"1"_s} << 2;
    QTest::newRow("sheet past the end") << QStringList{u"--into-sheet"_s, u"9"_s} << 2;
    QTest::newRow("title row 0") << QStringList{u"--title-row"_s, u"0"_s} << 2;
    QTest::newRow("unknown option") << QStringList{u"--into"_s} << 2;
    QTest::newRow("no such file") << QStringList{u"MISSING"_s} << 2;
}

void WorkbookCliTest::mergeSheetsUsage()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    const QString path = m_tree.file(QString::number(++m_serial) + u"-usage.xlsx"_s);
    QVERIFY(writeThreeSheets(path));
    const QByteArray before = m_tree.read(QFileInfo(path).fileName());
    QStringList full{u"merge-sheets"_s};
    if (args.value(0) == u"MISSING"_s)
        full << m_tree.file(u"missing.xlsx"_s);
    else
        full << path << args;
    const Result r = runCli(full);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY(!r.err.isEmpty());
    QCOMPARE(m_tree.read(QFileInfo(path).fileName()), before);
}

void WorkbookCliTest::deleteBlankFolder()
{
    const QString folder = m_tree.mkdir(u"blank"_s);
    QVERIFY(writeThreeSheets(folder + u"/a.xlsx"_s));
    {
        Fixtures::XlsxBuilder b(folder + u"/b.xlsx"_s);
        b.sheet(u"S"_s);
        b.number(1, 1, 1);
        QVERIFY(b.close());
    }
    m_tree.write(u"blank/c.xlsx"_s, "broken");
    Result r = runCli({u"delete-blank"_s, folder});
    QCOMPARE(r.exitCode, 1); // c.xlsx could not be read
    QCOMPARE(lines(r.out),
             (QStringList{folder + u"/a.xlsx\t1"_s, folder + u"/b.xlsx\t0"_s, u"文件夹 "_s + folder,
                          u"所有工作簿中空白工作表全部删除"_s, u"    未能处理的工作簿：c.xlsx"_s}));
    QVERIFY(r.err.contains(u"c.xlsx"_s));
    QCOMPARE(columnA(folder + u"/a.xlsx"_s, u"空"_s), u"(no sheet)"_s);

    m_tree.write(u"blank/c.xlsx"_s);
    QFile::remove(folder + u"/c.xlsx"_s);
    r = runCli({u"delete-blank"_s, folder, u"--json"_s});
    QCOMPARE(r.exitCode, 0);
    const QJsonObject root = QJsonDocument::fromJson(r.out.toUtf8()).object();
    const QJsonArray rows = root.value(u"rows"_s).toArray();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].toObject().value(u"path"_s).toString(), folder + u"/a.xlsx"_s);
    QCOMPARE(rows[0].toObject().value(u"count"_s).toInt(), 0);
    const QStringList expected{u"文件夹 "_s + folder + u"\n所有工作簿，没有空白工作表"_s, u"    2个工作簿读取完毕！"_s};
    QCOMPARE(root.value(u"messages"_s).toArray(), QJsonArray::fromStringList(expected));
}

void WorkbookCliTest::deleteBlankFile()
{
    const QString path = m_tree.file(u"one.xlsx"_s);
    QVERIFY(writeThreeSheets(path));
    Result r = runCli({u"delete-blank"_s, path});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(lines(r.out), (QStringList{path + u"\t1"_s, u"空白工作表已删除"_s}));
    // Nothing blank any more: the count and no message.
    r = runCli({u"delete-blank"_s, path});
    QCOMPARE(lines(r.out), QStringList{path + u"\t0"_s});
    m_tree.write(u"broken.xlsx"_s, "broken");
    r = runCli({u"delete-blank"_s, m_tree.file(u"broken.xlsx"_s)});
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(m_tree.read(u"broken.xlsx"_s), QByteArray("broken"));
}

void WorkbookCliTest::create()
{
    const QString folder = m_tree.mkdir(u"create"_s);
    Result r = runCli({u"create"_s, u"create"_s, u"--count"_s, u"007"_s}, m_tree.path());
    QVERIFY2(r.exitCode == 0, qPrintable(r.err + r.out));
    QCOMPARE(lines(r.out), QStringList{u"7 个工作簿创建完毕！"_s});
    QStringList names;
    for (int i = 1; i <= 7; ++i)
        names << u"Book000%1.xls"_s.arg(i);
    QCOMPARE(m_tree.entries(u"create"_s), names);
    QString messages;
    QVERIFY2(Fixtures::gnumericReads(folder + u"/Book0007.xls"_s, &messages), qPrintable(messages));
    QVERIFY2(messages.isEmpty(), qPrintable(messages));

    // Existing workbooks are never replaced: skipped, said, exit 1.
    m_tree.write(u"create/Book0003.xls"_s, "mine");
    r = runCli({u"create"_s, folder, u"--count=007"_s, u"--json"_s});
    QCOMPARE(r.exitCode, 1);
    const QJsonObject root = QJsonDocument::fromJson(r.out.toUtf8()).object();
    QCOMPARE(root.value(u"messages"_s).toArray().last().toString(),
             u"0 个工作簿创建完毕！另有7个工作簿已存在，未替换。"_s);
    QCOMPARE(m_tree.read(u"create/Book0003.xls"_s), QByteArray("mine"));
}

void WorkbookCliTest::createUsage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");
    QTest::newRow("count not a number") << QStringList{u"--count"_s, u"abc"_s} << 2 << QString();
    QTest::newRow("count missing") << QStringList{} << 2 << QString();
    QTest::newRow("count 0") << QStringList{u"--count"_s, u"0"_s} << 2 << u"请设置工作薄数量！"_s;
    QTest::newRow("count too large") << QStringList{u"--count"_s, u"40000"_s} << 2
                                     << u"工作薄数量不能超过32767！"_s;
    QTest::newRow("missing template")
        << QStringList{u"--count"_s, u"2"_s, u"--template"_s, u"none.xlt"_s} << 2 << u"找不到工作薄模板："_s;
}

void WorkbookCliTest::createUsage()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    const QString folder = m_tree.mkdir(u"usage%1"_s.arg(++m_serial));
    const Result r = runCli(QStringList{u"create"_s, folder} + args);
    QCOMPARE(r.exitCode, exitCode);
    if (output.isEmpty())
        QVERIFY(!r.err.isEmpty());
    else
        QVERIFY2(r.out.startsWith(output), qPrintable(r.out));
    QCOMPARE(m_tree.entries(QFileInfo(folder).fileName()), QStringList{});
}

QTEST_GUILESS_MAIN(WorkbookCliTest)
#include "tst_workbook_cli.moc"
