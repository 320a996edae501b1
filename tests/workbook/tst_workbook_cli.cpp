// The command-line workbook tools, driven through the built executable with no
// display: merge-sheets, delete-blank and create, on real workbooks.

#include "Fixtures.h"
#include "TempTree.h"

#include "ExcelHost.h"
#include "Workbook.h"
#include "Worksheet.h"

#include <QDir>
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

// A workbook of one worksheet "S" per entry of `sheets`, each a title row "标题"
// and the given values in column A.
bool writeTables(const QString& path, const QList<QStringList>& sheets)
{
    Fixtures::XlsxBuilder b(path);
    for (qsizetype i = 0; i < sheets.size(); ++i) {
        b.sheet(i == 0 ? u"S"_s : u"S"_s + QString::number(i + 1));
        b.text(1, 1, u"标题"_s);
        for (qsizetype r = 0; r < sheets[i].size(); ++r)
            b.text(int(r) + 2, 1, sheets[i][r]);
    }
    return b.close();
}

QStringList sheetNamesOf(const QString& path)
{
    ExcelHost host;
    Workbook* book = host.Open(path);
    if (!book)
        return {u"(unreadable)"_s};
    QStringList out;
    for (int i = 1; i <= book->sheetCount(); ++i)
        out << book->sheetName(i);
    book->Close(false);
    return out;
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
    void mergeBooks_data();
    void mergeBooks();
    void mergeBooksUsage_data();
    void mergeBooksUsage();
    void mergeBooksJson();
    void mergeBooksKilled();

private:
    // A fresh folder holding a.xlsx (two worksheets) and b.xlsx (one).
    QString booksFolder();
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
    const QStringList expected{u"文件夹 "_s + folder + u"\n所有工作簿，没有空白工作表"_s,
                               u"    2个工作簿读取完毕！"_s};
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

QString WorkbookCliTest::booksFolder()
{
    const QString folder = m_tree.mkdir(QString::number(++m_serial) + u"-books"_s);
    if (!writeTables(folder + u"/a.xlsx"_s, {{u"a1"_s, u"a2"_s}, {u"x"_s}}) ||
        !writeTables(folder + u"/b.xlsx"_s, {{u"b1"_s}}))
        return {};
    return folder;
}

void WorkbookCliTest::mergeBooks_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("check"); // "sheets:..." or "column:SHEET:..."
    QTest::addColumn<QStringList>("output");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("worksheets into a new workbook")
        << QStringList{u"--new"_s, u"汇总"_s} << u"汇总.xls"_s << u"sheets:a_S|a_S2|b_S"_s
        << QStringList{u"    2个工作簿合并完成！"_s} << 0;
    QTest::newRow("worksheets into a.xlsx, keeping blank sheets")
        << QStringList{u"--into=a.xlsx"_s, u"--names=original"_s, u"--keep-blank"_s} << u"a.xlsx"_s
        << u"sheets:S|S2|S (2)"_s << QStringList{u"    2个工作簿合并完成！"_s} << 0;
    QTest::newRow("worksheet 2 of books that have one")
        << QStringList{u"--new=二"_s, u"--sheet=2"_s, u"--names=book"_s} << u"二.xls"_s << u"sheets:a"_s
        << QStringList{u"工作簿《b.xlsx》中："_s, u"工作表数目少于2个"_s, u"不能完成合并！"_s,
                       u"    2个工作簿合并完成！"_s}
        << 1;
    QTest::newRow("data into a.xlsx")
        << QStringList{u"--into"_s, u"a.xlsx"_s, u"--data"_s} << u"a.xlsx"_s << u"column:S:标题|a1|a2|b1"_s
        << QStringList{u"2工作簿中数据已经合并在《a.xlsx》！"_s} << 0;
    QTest::newRow("data, every title row")
        << QStringList{u"--new=t"_s, u"--data"_s, u"--every-title"_s} << u"t.xls"_s
        << u"column:Sheet1:标题|a1|a2|标题|b1"_s << QStringList{u"2工作簿中数据已经合并在《t.xls》！"_s} << 0;
}

void WorkbookCliTest::mergeBooks()
{
    QFETCH(QStringList, options);
    QFETCH(QString, target);
    QFETCH(QString, check);
    QFETCH(QStringList, output);
    QFETCH(int, exitCode);
    const QString folder = booksFolder();
    const QByteArray b = m_tree.read(QDir(m_tree.path()).relativeFilePath(folder + u"/b.xlsx"_s));
    const Result r = runCli(QStringList{u"merge-books"_s, folder} + options);
    QVERIFY2(r.exitCode == exitCode, qPrintable(r.out + r.err));
    QCOMPARE(lines(r.out), output);
    const QString path = folder + u'/' + target;
    if (check.startsWith(u"sheets:"_s))
        QCOMPARE(sheetNamesOf(path).join(u'|'), check.mid(7));
    else
        QCOMPARE(columnA(path, check.section(u':', 1, 1)), check.section(u':', 2));
    QCOMPARE(m_tree.read(QDir(m_tree.path()).relativeFilePath(folder + u"/b.xlsx"_s)), b);
    QString messages;
    QVERIFY2(Fixtures::gnumericReads(path, &messages), qPrintable(messages));
    QVERIFY2(messages.isEmpty(), qPrintable(messages));
}

void WorkbookCliTest::mergeBooksUsage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("out");
    QTest::newRow("both targets") << QStringList{u"--into=a.xlsx"_s, u"--new=x"_s} << QString();
    QTest::newRow("no target") << QStringList{u"--data"_s} << QString();
    QTest::newRow("not a workbook of the folder") << QStringList{u"--into=c.xlsx"_s} << QString();
    QTest::newRow("book names with every worksheet")
        << QStringList{u"--new=x"_s, u"--names=book"_s} << QString();
    QTest::newRow("names with data") << QStringList{u"--new=x"_s, u"--data"_s, u"--names=original"_s}
                                     << QString();
    QTest::newRow("every title without data") << QStringList{u"--new=x"_s, u"--every-title"_s} << QString();
    QTest::newRow("sheet 21") << QStringList{u"--new=x"_s, u"--sheet=21"_s} << QString();
    QTest::newRow("sheet not a number") << QStringList{u"--new=x"_s, u"--sheet=two"_s} << QString();
    QTest::newRow("data of every worksheet")
        << QStringList{u"--new=x"_s, u"--data"_s, u"--sheet=0"_s} << u"合并数据时不能选择全部工作表！\n"_s;
    QTest::newRow("an existing new workbook without --yes")
        << QStringList{u"--new=a.xlsx"_s.chopped(5), u"--data"_s} << u"EXISTS"_s;
}

void WorkbookCliTest::mergeBooksUsage()
{
    QFETCH(QStringList, args);
    QFETCH(QString, out);
    const QString folder = booksFolder();
    // "a" + ".xls" exists for the last row.
    QFile existing(folder + u"/a.xls"_s);
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("mine");
    existing.close();
    const QString relative = QDir(m_tree.path()).relativeFilePath(folder);
    const QByteArray a = m_tree.read(relative + u"/a.xlsx"_s);
    const Result r = runCli(QStringList{u"merge-books"_s, folder} + args);
    QCOMPARE(r.exitCode, 2);
    if (out == u"EXISTS"_s)
        QCOMPARE(r.out, folder + u"/a.xls\n文件已存在!是否覆盖?\n"_s);
    else if (!out.isEmpty())
        QCOMPARE(r.out, out);
    else
        QVERIFY(!r.err.isEmpty());
    QCOMPARE(m_tree.entries(relative), (QStringList{u"a.xls"_s, u"a.xlsx"_s, u"b.xlsx"_s}));
    QCOMPARE(m_tree.read(relative + u"/a.xlsx"_s), a);
    QCOMPARE(m_tree.read(relative + u"/a.xls"_s), QByteArray("mine"));
}

void WorkbookCliTest::mergeBooksJson()
{
    const QString folder = booksFolder();
    QFile bad(folder + u"/c.xlsx"_s);
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("not a workbook");
    bad.close();
    const Result r =
        runCli({u"merge-books"_s, folder, u"--into=a.xlsx"_s, u"--backup-folder"_s, u"--yes"_s, u"--json"_s});
    QCOMPARE(r.exitCode, 1);
    const QJsonObject doc = QJsonDocument::fromJson(r.out.toUtf8()).object();
    const QString backup = folder + u"/_"_s + QFileInfo(folder).fileName();
    QCOMPARE(doc[u"messages"_s].toArray(),
             (QJsonArray{QJsonValue(u"文件夹已备份在：\n"_s + backup),
                         QJsonValue(u"    3个工作簿合并完成！  1个工作簿无法打开：c.xlsx"_s)}));
    const QJsonArray rows = doc[u"rows"_s].toArray();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0].toObject()[u"outcome"_s].toString(), u"target"_s);
    QCOMPARE(rows[1].toObject()[u"sheets"_s].toInt(), 1);
    QCOMPARE(rows[2].toObject()[u"outcome"_s].toString(), u"unreadable"_s);
    QCOMPARE(QDir(backup).entryList(QDir::Files), (QStringList{u"a.xlsx"_s, u"b.xlsx"_s, u"c.xlsx"_s}));
}

void WorkbookCliTest::mergeBooksKilled()
{
    // Enough workbooks that the run takes a moment; killed at several points,
    // the target is the old workbook or the whole merge, never a third thing.
    const QString folder = m_tree.mkdir(QString::number(++m_serial) + u"-kill"_s);
    QStringList values;
    for (int i = 0; i < 300; ++i)
        values << u"v"_s + QString::number(i);
    for (int i = 0; i < 40; ++i)
        QVERIFY(writeTables(folder + u"/b%1.xlsx"_s.arg(i, 2, 10, QChar(u'0')), {values, values, values}));
    QVERIFY(writeTables(folder + u"/a.xlsx"_s, {{u"a1"_s}}));
    const QString target = folder + u"/a.xlsx"_s;
    QFile f(target);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    const int merged = 1 + 40 * 3;
    int oldSeen = 0;
    int newSeen = 0;
    for (int delay : {50, 150, 300, 500, 800, 1200, 2000}) {
        QProcess p;
        p.setStandardInputFile(QProcess::nullDevice());
        p.start(QStringLiteral(TARNWICK_CLI), {u"workbook"_s, u"merge-books"_s, folder, u"--into=a.xlsx"_s});
        QVERIFY(p.waitForStarted());
        QTest::qWait(delay);
        p.kill();
        p.waitForFinished();
        QFile now(target);
        QVERIFY(now.open(QIODevice::ReadOnly));
        const QByteArray after = now.readAll();
        now.close();
        if (after == before) {
            ++oldSeen;
            continue;
        }
        ++newSeen;
        QCOMPARE(sheetNamesOf(target).size(), merged);
        // Back to the old target for the next round.
        QFile restore(target);
        QVERIFY(restore.open(QIODevice::WriteOnly));
        restore.write(before);
        restore.close();
    }
    qInfo("killed runs: %d left the old target, %d the merged one", oldSeen, newSeen);
    QVERIFY(oldSeen > 0);
}

QTEST_GUILESS_MAIN(WorkbookCliTest)
#include "tst_workbook_cli.moc"
