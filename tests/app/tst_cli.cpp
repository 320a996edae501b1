#include "TempTree.h"
#include "app/TerminalDialogs.h"
#include "execute/RenameExecution.h"
#include "execute/UndoRecords.h"
#include "platform/FileAttributes.h"
#include "platform/FixedClock.h"
#include "platform/GbkText.h"
#include "workbook/ExcelHost.h"
#include "workbook/Workbook.h"
#include "workbook/Worksheet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Result
{
    int exitCode = -1;
    QString out;
    QString err;
};

void prepare(QProcess& process, const QString& appHome = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"QT_QPA_PLATFORM"_s);
    env.remove(u"DISPLAY"_s);
    env.remove(u"WAYLAND_DISPLAY"_s);
    if (!appHome.isEmpty())
        env.insert(u"XDG_DATA_HOME"_s, appHome);
    process.setProcessEnvironment(env);
}

// Runs the built tool with no display and no terminal on standard input.
Result runCli(const QStringList& args, const QString& appHome = {}, const QString& workingFolder = {})
{
    QProcess process;
    prepare(process, appHome);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.start(QStringLiteral(TARNWICK_CLI), args);
    process.waitForFinished(60000);
    Result r;
    r.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.out = QString::fromUtf8(process.readAllStandardOutput());
    r.err = QString::fromUtf8(process.readAllStandardError());
    return r;
}

// Runs the built tool with a terminal on standard input, as a user at a
// shell: waits for its question (" [y/N] " on standard error), then types
// `answer` and Enter. `pause` is waited between seeing the question and
// answering; `asked` receives the moment the question was seen.
Result runCliOnTerminal(const QStringList& args, const QByteArray& answer, int pauseMs = 0,
                        QDateTime* asked = nullptr)
{
    Result r;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return r;
    const QByteArray terminal = ::ptsname(master);
    QProcess process;
    prepare(process);
    process.setChildProcessModifier([terminal] {
        const int fd = ::open(terminal.constData(), O_RDWR);
        if (fd >= 0) {
            ::dup2(fd, STDIN_FILENO);
            ::close(fd);
        }
    });
    process.start(QStringLiteral(TARNWICK_CLI), args);
    QByteArray err;
    QByteArray out;
    while (!err.contains(" [y/N] ") && process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(100);
        err += process.readAllStandardError();
        out += process.readAllStandardOutput();
    }
    if (asked)
        *asked = QDateTime::currentDateTime();
    if (process.state() != QProcess::NotRunning) {
        QTest::qSleep(pauseMs);
        const QByteArray typed = answer + '\n';
        if (::write(master, typed.constData(), size_t(typed.size())) != typed.size())
            qWarning("could not type the answer");
    }
    process.waitForFinished(60000);
    ::close(master);
    r.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.out = QString::fromUtf8(out + process.readAllStandardOutput());
    r.err = QString::fromUtf8(err + process.readAllStandardError());
    return r;
}

// An undo record as a run at `at` writes it, renaming each `renames` pair
// (old name, new name) inside `folder`.
QString recordRenames(const QString& folder, const QList<QPair<QString, QString>>& renames,
                      const QString& undoFolder, const QDateTime& at)
{
    Platform::FixedClock clock(at);
    Execute::RenameRequest request;
    request.folder = folder;
    for (const auto& [from, to] : renames) {
        request.oldNames.append(from);
        request.newNames.append(to);
    }
    request.undoFolder = undoFolder;
    request.clock = &clock;
    const Execute::RenameOutcome outcome = Execute::ExecuteRename(request);
    return outcome.recorded ? outcome.undoLogPath : QString();
}

QStringList lines(const QString& text)
{
    return text.split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linksNoWidgets();
    void helpVersionAndUsageErrors_data();
    void helpVersionAndUsageErrors();
    void listColumnsAndJson();
    void previewEachMethod_data();
    void previewEachMethod();
    void bothOptionFormsAndSpellings_data();
    void bothOptionFormsAndSpellings();
    void commandHelp_data();
    void commandHelp();
    void tooShortMessageGoesToStandardError();
    void renameRecordsAndReportsRows();
    void renameWithUnusableUndoFolderWarns();
    void renameWithoutTerminalRefuses();
    void attributes();
    void undoOfWindowRecord();
    void terminalAnswersWithTheWindowsDefault_data();
    void terminalAnswersWithTheWindowsDefault();
    void renameOnTerminalShowsRowsBeforeAsking();
    void undoOnTerminalShowsEntriesBeforeAsking();
    void undoFindsRecord_data();
    void undoFindsRecord();
    void undoListsRecordsNewestFirst();
    void workbookCommands();
};

void TestCli::linksNoWidgets()
{
    QProcess ldd;
    ldd.start(u"ldd"_s, {QStringLiteral(TARNWICK_CLI)});
    QVERIFY(ldd.waitForFinished());
    const QString libraries = QString::fromUtf8(ldd.readAllStandardOutput());
    QVERIFY(libraries.contains(u"libQt6Core"_s));
    QVERIFY(!libraries.contains(u"libQt6Gui"_s));
    QVERIFY(!libraries.contains(u"libQt6Widgets"_s));
}

void TestCli::helpVersionAndUsageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("inOut");
    QTest::addColumn<QString>("inErr");
    QTest::newRow("help") << QStringList{u"--help"_s} << 0 << u"tarnwick-cli preview FOLDER METHOD"_s
                          << QString();
    QTest::newRow("version") << QStringList{u"--version"_s} << 0 << u"tarnwick-cli 4.20"_s << QString();
    QTest::newRow("nothing") << QStringList{} << 2 << QString() << u"缺少命令"_s;
    QTest::newRow("unknown command") << QStringList{u"frobnicate"_s} << 2 << QString() << u"未知的命令"_s;
    QTest::newRow("no method") << QStringList{u"preview"_s, u"/tmp"_s} << 2 << QString()
                               << u"缺少重命名方法"_s;
    QTest::newRow("two methods") << QStringList{u"preview"_s, u"/tmp"_s, u"--affix"_s, u"--number"_s} << 2
                                 << QString() << u"只能选择一种"_s;
    QTest::newRow("missing value") << QStringList{u"preview"_s, u"/tmp"_s, u"--replace"_s} << 2 << QString()
                                   << u"缺少取值"_s;
    QTest::newRow("attributes in preview")
        << QStringList{u"preview"_s, u"/tmp"_s, u"--attributes"_s, u"hidden"_s} << 2 << QString()
        << u"只能用于 rename"_s;
    QTest::newRow("extension without dot")
        << QStringList{u"preview"_s, u"/tmp"_s, u"--ext"_s, u"jpg"_s} << 2 << QString() << u"必须以.开始"_s;
    QTest::newRow("unknown option named")
        << QStringList{u"rename"_s, u"/tmp"_s, u"--number"_s, u"--frobnicate=1"_s} << 2 << QString()
        << u"未知的选项：--frobnicate\n运行 tarnwick-cli rename --help"_s;
    QTest::newRow("option of another command")
        << QStringList{u"list"_s, u"/tmp"_s, u"--yes"_s} << 2 << QString() << u"未知的选项：--yes"_s;
    QTest::newRow("missing value, other form")
        << QStringList{u"preview"_s, u"/tmp"_s, u"--number"_s, u"--digits"_s} << 2 << QString()
        << u"--digits 缺少取值"_s;
    QTest::newRow("bad keep-name") << QStringList{u"preview"_s, u"/tmp"_s, u"--number"_s,
                                                  u"--keep-name=middle"_s}
                                   << 2 << QString() << u"--keep-name 取 before 或 after"_s;
    QTest::newRow("number option not a number")
        << QStringList{u"preview"_s, u"/tmp"_s, u"--delete-front"_s, u"x"_s} << 2 << QString()
        << u"--delete-front 只能取数字：x"_s;
    QTest::newRow("negative digits") << QStringList{u"preview"_s, u"/tmp"_s, u"--number"_s, u"--digits=-2"_s}
                                     << 2 << QString() << u"--digits 只能取数字：-2"_s;
    QTest::newRow("empty filter") << QStringList{u"list"_s, u"/tmp"_s, u"--filter="_s} << 0 << QString()
                                  << u"--filter 为空：不匹配任何文件。"_s;
    QTest::newRow("two folders") << QStringList{u"list"_s, u"/tmp"_s, u"/usr"_s} << 2 << QString()
                                 << u"多余的参数：/usr"_s;
    QTest::newRow("undo without record")
        << QStringList{u"undo"_s, u"--yes"_s} << 2 << QString() << u"undo 需要一个重命名记录文档"_s;
    QTest::newRow("undo list with a record") << QStringList{u"undo"_s, u"--list"_s, u"a.txt"_s} << 2
                                             << QString() << u"--list 不取重命名记录文档：a.txt"_s;
    QTest::newRow("unreadable folder")
        << QStringList{u"list"_s, u"/nonexistent/folder"_s} << 2 << QString() << u"无法读取文件夹"_s;
}

void TestCli::helpVersionAndUsageErrors()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, inOut);
    QFETCH(QString, inErr);
    const Result r = runCli(args);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.out.contains(inOut), qPrintable(r.out));
    QVERIFY2(r.err.contains(inErr), qPrintable(r.err));
}

void TestCli::listColumnsAndJson()
{
    TempTree tree;
    tree.write(u"b.txt"_s, QByteArray(1536, 'x'));
    tree.write(u"A.doc"_s, "");
    tree.write(u".hidden"_s, "");
    Result r = runCli({u"list"_s, tree.path()});
    QCOMPARE(r.exitCode, 0);
    const QStringList rows = lines(r.out);
    QCOMPARE(rows.size(), 2);
    const QStringList first = rows[0].split(u'\t');
    QCOMPARE(first.size(), 8);
    QCOMPARE(first[0], u"1"_s);
    QCOMPARE(first[1], u"A.doc"_s);
    QCOMPARE(first[3], u"0B"_s);
    QCOMPARE(first[4], u"常规"_s);
    QCOMPARE(rows[1].split(u'\t')[3], u"1.5KB"_s);

    r = runCli({u"list"_s, tree.path(), u"--filter"_s, u"*.TXT"_s, u"--json"_s});
    QCOMPARE(r.exitCode, 0);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonArray array = doc.object().value(u"rows"_s).toArray();
    QCOMPARE(array.size(), 1);
    QCOMPARE(array[0].toObject().value(u"OldName"_s).toString(), u"b.txt"_s);
    QCOMPARE(array[0].toObject().value(u"fileDX"_s).toString(), u"1.5KB"_s);
    QVERIFY(doc.object().value(u"messages"_s).isArray());
}

void TestCli::previewEachMethod_data()
{
    QTest::addColumn<QStringList>("method");
    QTest::addColumn<QStringList>("expected");
    // Files, in listing order: abc-def.TXT, 张三.doc
    QTest::newRow("number") << QStringList{u"--number"_s, u"--prefix"_s, u"p"_s}
                            << QStringList{u"p001.txt"_s, u"p002.doc"_s};
    QTest::newRow("number keep name") << QStringList{u"--number"_s, u"--digits"_s,    u"2"_s,    u"--start"_s,
                                                     u"9"_s,        u"--keep-name"_s, u"after"_s}
                                      << QStringList{u"09abc-def.txt"_s, u"10张三.doc"_s};
    QTest::newRow("delete front") << QStringList{u"--delete-front"_s, u"1"_s}
                                  << QStringList{u"bc-def.txt"_s, u"三.doc"_s};
    QTest::newRow("affix") << QStringList{u"--affix"_s, u"--prefix"_s, u" new_ "_s, u"--suffix"_s, u"_v2"_s}
                           << QStringList{u"new_abc-def_v2.txt"_s, u"new_张三_v2.doc"_s};
    QTest::newRow("replace") << QStringList{u"--replace"_s, u"-"_s, u"--with"_s, u"+"_s}
                             << QStringList{u"abc+def.txt"_s, u"张三.doc"_s};
    QTest::newRow("extension") << QStringList{u"--ext"_s, u".bak"_s}
                               << QStringList{u"abc-def.bak"_s, u"张三.bak"_s};
    QTest::newRow("split swap") << QStringList{u"--split"_s, u"-"_s, u"--part"_s, u"swap"_s}
                                << QStringList{u"def-abc.txt"_s, u"张三.doc"_s};
    QTest::newRow("case pinyin") << QStringList{u"--case"_s, u"title"_s, u"--pinyin"_s}
                                 << QStringList{u"Abc-def.txt"_s, u"Zhangsan.doc"_s};
}

void TestCli::previewEachMethod()
{
    QFETCH(QStringList, method);
    QFETCH(QStringList, expected);
    TempTree tree;
    tree.write(u"abc-def.TXT"_s);
    tree.write(u"张三.doc"_s);
    const Result r = runCli(QStringList{u"preview"_s, tree.path()} + method);
    QCOMPARE(r.exitCode, 0);
    const QStringList rows = lines(r.out);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0], u"abc-def.TXT\t"_s + expected[0]);
    QCOMPARE(rows[1], u"张三.doc\t"_s + expected[1]);
    QCOMPARE(tree.entries(), (QStringList{u"abc-def.TXT"_s, u"张三.doc"_s})); // nothing moved
}

void TestCli::bothOptionFormsAndSpellings_data()
{
    QTest::addColumn<QStringList>("spaced");
    QTest::addColumn<QStringList>("joined");
    QTest::addColumn<QStringList>("expected");
    // Files, in listing order: a.txt, b.txt; the reference document names them x and y.
    QTest::newRow("number, before = front")
        << QStringList{u"--number"_s, u"--prefix"_s, u"IMG_"_s, u"--keep-name"_s, u"before"_s}
        << QStringList{u"--number"_s, u"--prefix=IMG_"_s, u"--keep-name=front"_s}
        << QStringList{u"aIMG_001.txt"_s, u"bIMG_002.txt"_s};
    QTest::newRow("number, after = back")
        << QStringList{u"--number"_s, u"--digits"_s, u"2"_s, u"--keep-name"_s, u"after"_s}
        << QStringList{u"--number"_s, u"--digits=2"_s, u"--keep-name=back"_s}
        << QStringList{u"01a.txt"_s, u"02b.txt"_s};
    QTest::newRow("reference, before = front")
        << QStringList{u"--reference"_s, u"@ref"_s, u"--keep-name"_s, u"before"_s}
        << QStringList{u"--reference=@ref"_s, u"--keep-name=front"_s}
        << QStringList{u"ax.txt"_s, u"by.txt"_s};
    QTest::newRow("reference, after = back")
        << QStringList{u"--reference"_s, u"@ref"_s, u"--keep-name"_s, u"back"_s}
        << QStringList{u"--reference=@ref"_s, u"--keep-name=after"_s}
        << QStringList{u"xa.txt"_s, u"yb.txt"_s};
    QTest::newRow("a value that starts with a dash")
        << QStringList{u"--replace"_s, u"-"_s, u"--with"_s, u"--"_s}
        << QStringList{u"--replace=-"_s, u"--with=--"_s} << QStringList{u"a.txt"_s, u"b.txt"_s};
}

void TestCli::bothOptionFormsAndSpellings()
{
    QFETCH(QStringList, spaced);
    QFETCH(QStringList, joined);
    QFETCH(QStringList, expected);
    TempTree tree;
    tree.write(u"files/a.txt"_s);
    tree.write(u"files/b.txt"_s);
    const QString reference = tree.write(u"ref.txt"_s, "x\r\ny\r\n");
    for (QStringList* args : {&spaced, &joined})
        args->replaceInStrings(u"@ref"_s, reference);
    const Result first = runCli(QStringList{u"preview"_s, tree.file(u"files"_s)} + spaced);
    const Result second = runCli(QStringList{u"preview"_s} + joined + QStringList{tree.file(u"files"_s)});
    QCOMPARE(first.exitCode, 0);
    QCOMPARE(second.exitCode, 0);
    QCOMPARE(lines(first.out), (QStringList{u"a.txt\t"_s + expected[0], u"b.txt\t"_s + expected[1]}));
    QCOMPARE(second.out, first.out);
    QCOMPARE(second.err, first.err);
}

void TestCli::commandHelp_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("rename") << QStringList{u"rename"_s, u"--help"_s}
                            << QStringList{u"用法：tarnwick-cli rename FOLDER METHOD"_s, u"--undo-dir=DIR"_s,
                                           u"--keep-name=before|after"_s, u"--attributes=LIST"_s, u"--yes"_s}
                            << QStringList{u"front|back"_s, u"workbook"_s};
    QTest::newRow("preview") << QStringList{u"preview"_s, u"/tmp"_s, u"-h"_s}
                             << QStringList{u"用法：tarnwick-cli preview"_s, u"--prefix=T"_s,
                                            u"--case=upper|lower|title"_s}
                             << QStringList{u"--yes"_s, u"--undo-dir"_s, u"--attributes"_s};
    QTest::newRow("list") << QStringList{u"list"_s, u"--help"_s}
                          << QStringList{u"用法：tarnwick-cli list"_s, u"--filter=PATTERNS"_s, u"--json"_s}
                          << QStringList{u"--number"_s};
    QTest::newRow("undo") << QStringList{u"undo"_s, u"--help"_s}
                          << QStringList{u"用法：tarnwick-cli undo RECORD"_s, u"undo --list"_s, u"--yes"_s,
                                         u"--undo-dir=DIR"_s}
                          << QStringList{u"--filter"_s};
}

void TestCli::commandHelp()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    const Result r = runCli(args);
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.err.isEmpty());
    for (const QString& text : present)
        QVERIFY2(r.out.contains(text), qPrintable(text + u"\n"_s + r.out));
    for (const QString& text : absent)
        QVERIFY2(!r.out.contains(text), qPrintable(text + u"\n"_s + r.out));
}

void TestCli::tooShortMessageGoesToStandardError()
{
    TempTree tree;
    tree.write(u"ab.txt"_s);
    tree.write(u"cd.txt"_s);
    const Result r = runCli({u"preview"_s, tree.path(), u"--delete-back"_s, u"5"_s});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.err, u"文件名ab少于或等于5位\n不能删除文件名中的字符！\n文件将保留原文件名！\n"_s);
    QCOMPARE(lines(r.out), (QStringList{u"ab.txt\tab.txt"_s, u"cd.txt\tcd.txt"_s}));
}

void TestCli::renameRecordsAndReportsRows()
{
    TempTree tree;
    TempTree undo;
    tree.write(u"files/a.txt"_s, "A");
    tree.write(u"files/b.txt"_s, "B");
    tree.write(u"files/x_b.txt"_s, "taken");
    const QString folder = tree.file(u"files"_s);
    const Result r = runCli({u"rename"_s, folder, u"--affix"_s, u"--prefix"_s, u"x_"_s, u"--yes"_s,
                             u"--undo-dir"_s, undo.path()});
    QCOMPARE(r.exitCode, 1); // one target was taken
    const QStringList rows = lines(r.out);
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows[0], u"a.txt\tx_a.txt\t操作成功"_s);
    QCOMPARE(rows[1], u"b.txt\tx_b.txt\t操作失败"_s);
    QCOMPARE(rows[2], u"x_b.txt\tx_x_b.txt\t操作成功"_s);
    QVERIFY(rows[3].startsWith(u"undo: "_s + undo.path() + u'/'));
    // The taken name kept its own content; the file that held it was renamed on.
    QCOMPARE(tree.read(u"files/b.txt"_s), QByteArray("B"));
    QCOMPARE(tree.read(u"files/x_x_b.txt"_s), QByteArray("taken"));
    QCOMPARE(tree.read(u"files/x_a.txt"_s), QByteArray("A"));
    const QString record = rows[3].mid(6);
    const QStringList recorded = Platform::readGbkLines(record);
    QCOMPARE(recorded, (QStringList{u"\""_s + folder + u"/x_a.txt"_s, folder + u"/a.txt\""_s,
                                    u"\""_s + folder + u"/x_x_b.txt"_s, folder + u"/x_b.txt\""_s}));
}

// An undo folder that cannot hold a record: the renames go ahead, after a
// warning that says so, and the command does not claim full success.
void TestCli::renameWithUnusableUndoFolderWarns()
{
    TempTree tree;
    tree.write(u"files/a.txt"_s, "A");
    const QString notAFolder = tree.write(u"undo-is-a-file"_s, "x");
    const Result r = runCli({u"rename"_s, tree.file(u"files"_s), u"--affix"_s, u"--prefix"_s, u"x_"_s,
                             u"--yes"_s, u"--undo-dir"_s, notAFolder});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(u"无法创建重命名记录文档"_s) && r.err.contains(u"不能撤消"_s), qPrintable(r.err));
    QCOMPARE(lines(r.out).first(), u"a.txt\tx_a.txt\t操作成功"_s);
    QCOMPARE(tree.entries(u"files"_s), QStringList{u"x_a.txt"_s});
}

void TestCli::renameWithoutTerminalRefuses()
{
    TempTree tree;
    TempTree undo;
    tree.write(u"a.txt"_s);
    const Result r = runCli({u"rename"_s, tree.path(), u"--number"_s, u"--undo-dir"_s, undo.path()});
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains(u"--yes"_s), qPrintable(r.err));
    QVERIFY(r.err.contains(u"是否重命名这些文件?"_s));
    QCOMPARE(tree.entries(), QStringList{u"a.txt"_s});
    QVERIFY(undo.entries().isEmpty());
}

void TestCli::attributes()
{
    TempTree tree;
    const QString path = tree.write(u"a.txt"_s, "x");
    if (!Platform::writeAttributes(path, Platform::AttrArchive))
        QSKIP("this file system stores no extended attributes");
    const Result r = runCli({u"rename"_s, tree.path(), u"--attributes"_s, u"readonly,hidden"_s});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(lines(r.out), QStringList{u"a.txt\ta.txt\t成功设置"_s});
    QCOMPARE(Platform::readAttributes(path), Platform::AttrReadOnly | Platform::AttrHidden);
    Platform::writeAttributes(path, 0);
}

void TestCli::undoOfWindowRecord()
{
    TempTree tree;
    TempTree undo;
    tree.write(u"DSC0001.jpg"_s, "1");
    tree.write(u"DSC0002.jpg"_s, "2");
    Platform::FixedClock clock(QDateTime(QDate(2013, 10, 17), QTime(9, 5, 30)));
    Execute::RenameRequest request;
    request.folder = tree.path();
    request.oldNames = {u"DSC0001.jpg"_s, u"DSC0002.jpg"_s};
    request.newNames = {u"001.jpg"_s, u"002.jpg"_s};
    request.undoFolder = undo.path();
    request.clock = &clock;
    const Execute::RenameOutcome outcome = Execute::ExecuteRename(request);
    QVERIFY(outcome.recorded);
    QCOMPARE(outcome.undoLogPath, undo.path() + u"/2013-10-17 9时5分30秒.txt"_s);

    Result r = runCli({u"undo"_s, outcome.undoLogPath});
    QCOMPARE(r.exitCode, 2); // no terminal, no --yes
    QVERIFY(tree.exists(u"001.jpg"_s));

    r = runCli({u"undo"_s, outcome.undoLogPath, u"--yes"_s});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, u"2 个文件按要求撤消重命名！\n"_s);
    // --yes answers the question, which still names the folder renamed in.
    QVERIFY2(r.err.contains(u"要撤消以下文件夹中所有文件重命名吗？\n"_s + tree.path() + u"/"_s),
             qPrintable(r.err));
    QCOMPARE(tree.entries(), (QStringList{u"DSC0001.jpg"_s, u"DSC0002.jpg"_s}));
    QVERIFY(undo.entries().isEmpty());
}

// A bare Enter takes the default button the window's box has; --yes and a
// missing terminal answer as before.
void TestCli::terminalAnswersWithTheWindowsDefault_data()
{
    QTest::addColumn<Platform::MessageAnswer>("defaultAnswer");
    QTest::addColumn<QString>("typed"); // "(none)": no terminal
    QTest::addColumn<bool>("assumeYes");
    QTest::addColumn<Platform::MessageAnswer>("answer");
    QTest::addColumn<QString>("prompt");
    using Platform::MessageAnswer;
    QTest::newRow("Enter, No default")
        << MessageAnswer::No << u""_s << false << MessageAnswer::No << u"问？ [y/N] "_s;
    QTest::newRow("Enter, Yes default")
        << MessageAnswer::Yes << u""_s << false << MessageAnswer::Yes << u"问？ [Y/n] "_s;
    QTest::newRow("y, No default") << MessageAnswer::No << u"y"_s << false << MessageAnswer::Yes
                                   << u"问？ [y/N] "_s;
    QTest::newRow("是, No default") << MessageAnswer::No << u"是"_s << false << MessageAnswer::Yes
                                    << u"问？ [y/N] "_s;
    QTest::newRow("n, Yes default") << MessageAnswer::Yes << u"n"_s << false << MessageAnswer::No
                                    << u"问？ [Y/n] "_s;
    QTest::newRow("other, Yes default")
        << MessageAnswer::Yes << u"maybe"_s << false << MessageAnswer::No << u"问？ [Y/n] "_s;
    QTest::newRow("no terminal, Yes default")
        << MessageAnswer::Yes << u"(none)"_s << false << MessageAnswer::No << QString();
    QTest::newRow("--yes") << MessageAnswer::No << u"(none)"_s << true << MessageAnswer::Yes
                           << u"问？ [y/N] y (--yes)\n"_s;
}

void TestCli::terminalAnswersWithTheWindowsDefault()
{
    QFETCH(Platform::MessageAnswer, defaultAnswer);
    QFETCH(QString, typed);
    QFETCH(bool, assumeYes);
    QFETCH(Platform::MessageAnswer, answer);
    QFETCH(QString, prompt);
    QString messages;
    QString prompts;
    QString input = typed + u'\n';
    QTextStream messagesStream(&messages);
    QTextStream promptsStream(&prompts);
    QTextStream answers(&input);
    App::TerminalDialogs dialogs(messagesStream, promptsStream, typed == u"(none)"_s ? nullptr : &answers,
                                 assumeYes);
    const Platform::MessageRequest request{u"问？"_s, QString(), Platform::MessageIcon::Information,
                                           Platform::MessageButtons::YesNo, defaultAnswer};
    QCOMPARE(dialogs.message(request), answer);
    QCOMPARE(prompts, prompt);
    QCOMPARE(dialogs.declined(), answer == Platform::MessageAnswer::No);
    QVERIFY(messages.isEmpty());
}

// Without --yes the rows go to the terminal before the question, and the record
// is named at the question, not at the answer.
void TestCli::renameOnTerminalShowsRowsBeforeAsking()
{
    TempTree tree;
    TempTree undo;
    tree.write(u"files/a.txt"_s, "A");
    tree.write(u"files/张三.txt"_s, "B");
    const QString folder = tree.file(u"files"_s);
    const QStringList args{u"rename"_s, folder,          u"--affix"_s, u"--prefix"_s,
                           u"x_"_s,     u"--undo-dir"_s, undo.path()};
    const QString plan =
        folder + u"/\n  a.txt → x_a.txt\n  张三.txt → x_张三.txt\n是否重命名这些文件? [y/N] "_s;

    Result r = runCliOnTerminal(args, "n");
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.startsWith(plan), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
    QCOMPARE(tree.entries(u"files"_s), (QStringList{u"a.txt"_s, u"张三.txt"_s}));
    QVERIFY(undo.entries().isEmpty());

    QDateTime asked;
    r = runCliOnTerminal(args, "y", 1100, &asked);
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.startsWith(plan), qPrintable(r.err));
    QCOMPARE(lines(r.out).mid(0, 2),
             (QStringList{u"a.txt\tx_a.txt\t操作成功"_s, u"张三.txt\tx_张三.txt\t操作成功"_s}));
    const QStringList records = undo.entries();
    QCOMPARE(records.size(), 1);
    const std::optional<QDateTime> named = Execute::undoLogNameTime(records.first());
    QVERIFY2(named, qPrintable(records.first()));
    // Named at the answer, the record would carry a second after the question was seen.
    QVERIFY2(*named <= asked,
             qPrintable(records.first() + u" asked at "_s + asked.toString(Qt::ISODateWithMs)));
}

void TestCli::undoOnTerminalShowsEntriesBeforeAsking()
{
    TempTree tree;
    TempTree undo;
    tree.write(u"DSC0001.jpg"_s, "1");
    tree.write(u"DSC0002.jpg"_s, "2");
    const QString record =
        recordRenames(tree.path(), {{u"DSC0001.jpg"_s, u"001.jpg"_s}, {u"DSC0002.jpg"_s, u"002.jpg"_s}},
                      undo.path(), QDateTime(QDate(2013, 10, 17), QTime(9, 5, 30)));
    QVERIFY(!record.isEmpty());
    const QStringList args{u"undo"_s, u"2013-10-17 9时5分30秒.txt"_s, u"--undo-dir"_s, undo.path()};
    const QString folder = tree.path() + u'/';
    const QString plan = record + u"\n  "_s + folder + u"001.jpg → "_s + folder + u"DSC0001.jpg\n  "_s +
                         folder + u"002.jpg → "_s + folder +
                         u"DSC0002.jpg\n要撤消以下文件夹中所有文件重命名吗？\n"_s + folder + u" [y/N] "_s;

    Result r = runCliOnTerminal(args, "n");
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.startsWith(plan), qPrintable(r.err));
    QCOMPARE(tree.entries(), (QStringList{u"001.jpg"_s, u"002.jpg"_s}));
    QVERIFY(QFileInfo::exists(record));

    r = runCliOnTerminal(args, "y");
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.startsWith(plan), qPrintable(r.err));
    QCOMPARE(r.out, u"2 个文件按要求撤消重命名！\n"_s);
    QCOMPARE(tree.entries(), (QStringList{u"DSC0001.jpg"_s, u"DSC0002.jpg"_s}));
}

void TestCli::undoFindsRecord_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("undone"); // the file that is back, when found
    // The working folder holds work/r.txt (undoes b.txt) and r.txt (undoes c.txt);
    // the undo folder holds r.txt (undoes a.txt) and only.txt (undoes d.txt).
    QTest::newRow("relative path") << u"work/r.txt"_s << true << u"b.txt"_s;
    QTest::newRow("a file of the working folder comes first") << u"r.txt"_s << true << u"c.txt"_s;
    QTest::newRow("a bare name in the undo folder") << u"only.txt"_s << true << u"d.txt"_s;
    QTest::newRow("a path is not looked for in the undo folder") << u"work/only.txt"_s << false << QString();
    QTest::newRow("neither") << u"missing.txt"_s << false << QString();
}

void TestCli::undoFindsRecord()
{
    QFETCH(QString, argument);
    QFETCH(bool, found);
    QFETCH(QString, undone);
    TempTree files;
    TempTree working;
    TempTree undo;
    const QDateTime at(QDate(2013, 10, 17), QTime(9, 5, 30));
    const QString records[4][3] = {{u"a.txt"_s, u"undo"_s, u"r.txt"_s},
                                   {u"b.txt"_s, u"working"_s, u"work/r.txt"_s},
                                   {u"c.txt"_s, u"working"_s, u"r.txt"_s},
                                   {u"d.txt"_s, u"undo"_s, u"only.txt"_s}};
    for (const auto& [name, where, as] : records) {
        files.write(name);
        TempTree scratch;
        const QString written = recordRenames(files.path(), {{name, u"new_"_s + name}}, scratch.path(), at);
        QVERIFY(!written.isEmpty());
        const TempTree& target = where == u"undo"_s ? undo : working;
        QFileInfo(target.file(as)).dir().mkpath(u"."_s);
        QVERIFY(QFile::rename(written, target.file(as)));
    }

    const Result r =
        runCli({u"undo"_s, argument, u"--undo-dir"_s, undo.path(), u"--yes"_s}, {}, working.path());
    if (!found) {
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(u"找不到重命名记录文档："_s + working.path() + u'/' + argument),
                 qPrintable(r.err));
        if (!argument.contains(u'/'))
            QVERIFY2(r.err.contains(undo.path()), qPrintable(r.err));
        QCOMPARE(files.entries(),
                 (QStringList{u"new_a.txt"_s, u"new_b.txt"_s, u"new_c.txt"_s, u"new_d.txt"_s}));
        return;
    }
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, u"1 个文件按要求撤消重命名！\n"_s);
    QVERIFY(files.exists(undone));
    QCOMPARE(files.entries().size(), 4);
}

void TestCli::undoListsRecordsNewestFirst()
{
    TempTree files;
    TempTree undo;
    const QString entry = u"\"/f/new.txt\r\n/f/old.txt\"\r\n"_s;
    // The names' moments, not their letters nor the files' times, give the order:
    // "10时" sorts before "9时" by letters, and each file's time is set the other way round.
    const struct
    {
        QString name;
        int entries;
        QDateTime modified;
    } records[] = {
        {u"2013-10-17 9时5分30秒.txt"_s, 2, QDateTime(QDate(2020, 1, 1), QTime(12, 0))},
        {u"2013-10-17 10时0分0秒.txt"_s, 1, QDateTime(QDate(2013, 10, 17), QTime(8, 0))},
        {u"2013-10-17 10时0分0秒 (2).txt"_s, 3, QDateTime(QDate(2013, 10, 17), QTime(7, 0))},
        // A name that carries no moment goes by its file's time.
        {u"mine.txt"_s, 0, QDateTime(QDate(2013, 10, 17), QTime(9, 30))},
    };
    for (const auto& record : records) {
        QByteArray bytes;
        for (int k = 0; k < record.entries; ++k)
            bytes += Platform::encodeGbk(entry);
        QFile file(undo.write(record.name, bytes));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(record.modified, QFileDevice::FileModificationTime));
    }
    undo.write(u"notes.doc"_s, "x");
    undo.write(u".hidden.txt"_s, "x");
    undo.mkdir(u"folder.txt"_s);

    Result r = runCli({u"undo"_s, u"--list"_s, u"--undo-dir"_s, undo.path()});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(lines(r.out),
             (QStringList{u"2013-10-17 10时0分0秒 (2).txt\t3"_s, u"2013-10-17 10时0分0秒.txt\t1"_s,
                          u"mine.txt\t0"_s, u"2013-10-17 9时5分30秒.txt\t2"_s}));
    QVERIFY2(r.err.isEmpty(), qPrintable(r.err));

    r = runCli({u"undo"_s, u"--list"_s, u"--undo-dir="_s + undo.path(), u"--json"_s});
    QCOMPARE(r.exitCode, 0);
    const QJsonArray rows = QJsonDocument::fromJson(r.out.toUtf8()).object().value(u"records"_s).toArray();
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows[0].toObject().value(u"name"_s).toString(), u"2013-10-17 10时0分0秒 (2).txt"_s);
    QCOMPARE(rows[0].toObject().value(u"entries"_s).toInt(), 3);

    // A folder that was never made holds no record.
    r = runCli({u"undo"_s, u"--list"_s, u"--undo-dir"_s, files.file(u"never"_s)});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.isEmpty());
}

void TestCli::workbookCommands()
{
    TempTree tree;
    {
        Xl::ExcelHost host;
        Xl::Workbook* book = host.Add();
        QVERIFY(book);
        Xl::Worksheet* sheet = book->Worksheets(1);
        sheet->Cells(1, 1).setValue(Xl::CellValue::text(u"姓名"_s));
        sheet->Cells(1, 2).setValue(Xl::CellValue::text(u"电话"_s));
        sheet->Cells(2, 1).setValue(Xl::CellValue::text(u"张三"_s));
        sheet->Cells(2, 2).setValue(Xl::CellValue::number(13800));
        QVERIFY(book->SaveAs(tree.file(u"通讯录.xlsx"_s)));
        book->Close();
    }
    Result r = runCli({u"workbook"_s, u"info"_s, tree.path()});
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out.contains(u"Sheet1"_s) && r.out.contains(u"(空白工作表)"_s), qPrintable(r.out));
    r = runCli({u"workbook"_s, u"cells"_s, tree.file(u"通讯录.xlsx"_s), u"--sheet"_s, u"1"_s});
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out.contains(u"张三"_s) && r.out.contains(u"13800"_s), qPrintable(r.out));
    r = runCli({u"workbook"_s, u"cells"_s, tree.file(u"missing.xlsx"_s), u"--sheet"_s, u"1"_s});
    QVERIFY(r.exitCode != 0);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
