#include "ScriptedDialogs.h"
#include "TempTree.h"

#include "../execute/Immutable.h"
#include "platform/GbkText.h"
#include "textfiles/BlankLineCommands.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;
using TextFiles::BackupPolicy;

namespace {

QByteArray utf16(const QString& text, bool littleEndian)
{
    QByteArray out = littleEndian ? QByteArray("\xFF\xFE", 2) : QByteArray("\xFE\xFF", 2);
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (littleEndian) {
            out.append(char(u & 0xff));
            out.append(char(u >> 8));
        } else {
            out.append(char(u >> 8));
            out.append(char(u & 0xff));
        }
    }
    return out;
}

mode_t modeOf(const QString& path)
{
    struct stat st
    {
    };
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

} // namespace

// Blank-line removal on real files: the byte-exact cleaning, the backups and
// the four commands with their dialogs.
class TestBlankLines : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleansBytes_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<qint64>("removed");

        QTest::newRow("empty, a line of two spaces")
            << QByteArray("a\r\n\r\n  \r\nb\r\n") << QByteArray("a\r\nb\r\n") << qint64(2);
        QTest::newRow("tab-only line kept")
            << QByteArray("a\n\t\nb") << QByteArray("a\r\n\t\r\nb\r\n") << qint64(0);
        QTest::newRow("no blank line: only line ends change")
            << QByteArray("one\ntwo\r\nthree") << QByteArray("one\r\ntwo\r\nthree\r\n") << qint64(0);
        QTest::newRow("kept lines keep their spaces")
            << QByteArray("  x  \r\n   ") << QByteArray("  x  \r\n") << qint64(1);
        QTest::newRow("lone CR ends a line")
            << QByteArray("a\r \rb\r") << QByteArray("a\r\nb\r\n") << qint64(1);
        QTest::newRow("empty file") << QByteArray() << QByteArray() << qint64(0);
        QTest::newRow("only blank lines") << QByteArray("\r\n \n  ") << QByteArray() << qint64(3);
        const QByteArray gbk = Platform::encodeGbk(u"张三 李四\r\n   \r\n王五　\r\n"_s);
        QTest::newRow("GBK") << gbk << Platform::encodeGbk(u"张三 李四\r\n王五　\r\n"_s) << qint64(1);
        QTest::newRow("UTF-8 with BOM, first line blank")
            << QByteArray("\xEF\xBB\xBF  \r\n中文\n\n") << QByteArray("\xEF\xBB\xBF中文\r\n") << qint64(2);
        QTest::newRow("UTF-8 without BOM") << QByteArray("é\n \nü") << QByteArray("é\r\nü\r\n") << qint64(1);
        // U+4E20 holds the byte 0x20, U+200A the bytes 0x0A and 0x20: units, not bytes, decide.
        QTest::newRow("UTF-16 LE") << utf16(u"a\n \n\u4E20\u200A\r\n\r\nb"_s, true)
                                   << utf16(u"a\r\n\u4E20\u200A\r\nb\r\n"_s, true) << qint64(2);
        QTest::newRow("UTF-16 BE") << utf16(u"\u0A20x\n  \n"_s, false) << utf16(u"\u0A20x\r\n"_s, false)
                                   << qint64(1);
        // A cut-off UTF-16 file: its odd last byte stays last, after the line end, so
        // cleaning it again changes nothing.
        QTest::newRow("UTF-16 with an odd last byte")
            << utf16(u"a\r\n \r\nb"_s, true) + QByteArray(1, '\x00')
            << utf16(u"a\r\nb\r\n"_s, true) + QByteArray(1, '\x00') << qint64(1);
        QTest::newRow("UTF-16 with an odd byte after spaces")
            << utf16(u"a\n  "_s, true) + QByteArray(1, 'x') << utf16(u"a\r\n"_s, true) + QByteArray(1, 'x')
            << qint64(1);
    }

    void cleansBytes()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);
        QFETCH(qint64, removed);
        qint64 count = -1;
        QCOMPARE(TextFiles::cleanBlankLines(input, &count), expected);
        QCOMPARE(count, removed);
        // Cleaning is done once and for all.
        QCOMPARE(TextFiles::cleanBlankLines(expected), expected);

        // The streamed file version gives the same bytes and keeps a backup of the original.
        TempTree tree;
        const QString path = tree.write(u"report.txt"_s, input);
        const auto result = TextFiles::RemoveBlankLines(path, BackupPolicy::Keep);
        QVERIFY2(result.cleaned, qPrintable(result.error));
        QCOMPARE(tree.read(u"report.txt"_s), expected);
        QCOMPARE(result.removed, removed);
        QCOMPARE(result.backupPath, tree.file(u"_report.txt"_s));
        QCOMPARE(tree.read(u"_report.txt"_s), input);
    }

    // Line ends and units split across the pieces the file is read in.
    void streamsAcrossPieces_data()
    {
        QTest::addColumn<QByteArray>("input");
        const qsizetype piece = 1 << 20;
        QByteArray crlfSplit(piece - 1, 'x');
        crlfSplit += "\r\n   \r\nend";
        QByteArray spacesSplit(piece - 10, 'y');
        spacesSplit += "\r\n";
        spacesSplit += QByteArray(50, ' ');
        spacesSplit += "\r\nz\r\n";
        QByteArray longLine(3 * piece + 7, 'q');
        longLine += "\n\n";
        QByteArray wide =
            utf16(QString(piece / 2 + 3, u'字') + u"\r\n  \r\n"_s + QString(piece, u'\u2020'), true);
        QTest::newRow("CR LF split") << crlfSplit;
        QTest::newRow("blank line split") << spacesSplit;
        QTest::newRow("line longer than a piece") << longLine;
        QTest::newRow("UTF-16 over several pieces") << wide;
    }

    void streamsAcrossPieces()
    {
        QFETCH(QByteArray, input);
        TempTree tree;
        const QString path = tree.write(u"big.txt"_s, input);
        const auto result = TextFiles::RemoveBlankLines(path, BackupPolicy::Delete);
        QVERIFY(result.cleaned);
        qint64 removed = 0;
        QCOMPARE(tree.read(u"big.txt"_s), TextFiles::cleanBlankLines(input, &removed));
        QCOMPARE(result.removed, removed);
        QVERIFY(!tree.exists(u"_big.txt"_s));
    }

    // An existing "_" name, the user's own or an earlier run's, is never replaced.
    void backupTakesFirstFreeName()
    {
        TempTree tree;
        const QString path = tree.write(u"report.txt"_s, "a\r\n\r\nb\r\n");
        tree.write(u"_report.txt"_s, "mine");
        tree.write(u"_report (2).txt"_s, "earlier");
        ::chmod(QFile::encodeName(path).constData(), 0640);

        const auto kept = TextFiles::RemoveBlankLines(path, BackupPolicy::Keep);
        QVERIFY(kept.cleaned);
        QCOMPARE(kept.backupPath, tree.file(u"_report (3).txt"_s));
        QCOMPARE(tree.read(u"_report.txt"_s), QByteArray("mine"));
        QCOMPARE(tree.read(u"_report (2).txt"_s), QByteArray("earlier"));
        QCOMPARE(tree.read(u"_report (3).txt"_s), QByteArray("a\r\n\r\nb\r\n"));
        QCOMPARE(tree.read(u"report.txt"_s), QByteArray("a\r\nb\r\n"));
        QCOMPARE(modeOf(path), mode_t(0640));

        // Without backup only the one this run made goes.
        tree.write(u"report.txt"_s, "c\n \n");
        const auto dropped = TextFiles::RemoveBlankLines(path, BackupPolicy::Delete);
        QVERIFY(dropped.cleaned);
        QVERIFY(!dropped.backupKept);
        QVERIFY(dropped.backupPath.isEmpty());
        QCOMPARE(tree.entries(), QStringList({u"_report (2).txt"_s, u"_report (3).txt"_s, u"_report.txt"_s,
                                              u"report.txt"_s}));
        QCOMPARE(tree.read(u"report.txt"_s), QByteArray("c\r\n"));
    }

    // A file reached through a symbolic link: the file it names is cleaned and
    // the backup holds its content before.
    void throughSymbolicLink()
    {
        TempTree tree;
        tree.write(u"real/notes.txt"_s, "a\n\nb\n");
        QVERIFY(QFile::link(tree.file(u"real/notes.txt"_s), tree.file(u"notes.txt"_s)));
        const auto result = TextFiles::RemoveBlankLines(tree.file(u"notes.txt"_s), BackupPolicy::Keep);
        QVERIFY2(result.cleaned, qPrintable(result.error));
        QCOMPARE(tree.read(u"real/notes.txt"_s), QByteArray("a\r\nb\r\n"));
        QVERIFY(QFileInfo(tree.file(u"notes.txt"_s)).isSymLink());
        QCOMPARE(tree.read(u"_notes.txt"_s), QByteArray("a\n\nb\n"));
    }

    void readOnlyBackup_data()
    {
        QTest::addColumn<bool>("allFiles");
        QTest::addColumn<bool>("backupStays");
        QTest::newRow("single file: not forced") << false << true;
        QTest::newRow("all files: forced") << true << false;
    }

    void readOnlyBackup()
    {
        QFETCH(bool, allFiles);
        QFETCH(bool, backupStays);
        TempTree tree;
        const QString path = tree.write(u"ro.txt"_s, "x\n\ny\n");
        ::chmod(QFile::encodeName(path).constData(), 0444);
        const auto result = TextFiles::RemoveBlankLines(path, allFiles ? BackupPolicy::Delete
                                                                       : BackupPolicy::DeleteUnlessReadOnly);
        QVERIFY(result.cleaned);
        QCOMPARE(tree.exists(u"_ro.txt"_s), backupStays);
        QCOMPARE(result.backupKept, backupStays);
        QCOMPARE(tree.read(u"ro.txt"_s), QByteArray("x\r\ny\r\n"));
        QCOMPARE(modeOf(path), mode_t(0444));
    }

    // A folder where nothing can be created: the file stays as it was and the message says so.
    void refusedFolderChangesNothing()
    {
        TempTree tree;
        const QString path = tree.write(u"d/report.txt"_s, "a\n\nb");
        Immutable guard(tree.file(u"d"_s));
        REQUIRE_IMMUTABLE(guard);
        ScriptedDialogs dialogs;
        dialogs.files.enqueue(path);
        const auto run = TextFiles::DelBlankLine(dialogs, tree.file(u"d"_s), true);
        QCOMPARE(run.failed(), 1);
        QCOMPARE(tree.read(u"d/report.txt"_s), QByteArray("a\n\nb"));
        QCOMPARE(tree.entries(u"d"_s), QStringList{u"report.txt"_s});
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages.at(0).icon, Platform::MessageIcon::Warning);
        QVERIFY(dialogs.messages.at(0).text.startsWith(u"文档空行未能删除，原文档未作改动："_s + path +
                                                       u"\r\n"_s));
    }

    void singleFileCommands()
    {
        TempTree tree;
        const QString path = tree.write(u"report.txt"_s, "a\n\n");
        ScriptedDialogs dialogs;
        dialogs.files.enqueue(u"  "_s + path + u" "_s);
        TextFiles::DelBlankLine(dialogs, tree.path(), true);
        QCOMPARE(dialogs.fileRequests.at(0).filter, u"*.txt"_s);
        QCOMPARE(dialogs.fileRequests.at(0).initialFolder, tree.path());
        QCOMPARE(dialogs.texts(),
                 QStringList{u"文档空行已经删除,原文档备份在:\r\n"_s + tree.file(u"_report.txt"_s)});
        QCOMPARE(dialogs.messages.at(0).icon, Platform::MessageIcon::None);

        dialogs.clear();
        dialogs.files.enqueue(path);
        TextFiles::DelBlankLine(dialogs, tree.path(), false);
        QCOMPARE(dialogs.fileRequests.at(0).filter, u"文本文档(*.txt)|*.txt"_s);
        QCOMPARE(dialogs.texts(), QStringList{path + u"\r\n文档空行已经全部删除!"_s});
        // The earlier run's backup stays; this run's "(2)" is gone.
        QCOMPARE(tree.entries(), (QStringList{u"_report.txt"_s, u"report.txt"_s}));

        dialogs.clear();
        dialogs.files.enqueue(QString());
        QVERIFY(TextFiles::DelBlankLine(dialogs, tree.path(), false).paths.isEmpty());
        QVERIFY(dialogs.messages.isEmpty());
    }

    void allFilesCommands()
    {
        TempTree tree;
        tree.write(u"a.txt"_s, "1\n\n");
        tree.write(u"b.TXT"_s, "2\n \n");
        tree.write(u"c.csv"_s, "3\n\n");
        ScriptedDialogs dialogs;
        auto run = TextFiles::DelAllBlankLine(dialogs, tree.path(), true);
        QCOMPARE(run.paths.size(), 2);
        QCOMPARE(dialogs.texts(), QStringList{u"已完成文档空行删除操作，请查看"_s});
        QCOMPARE(dialogs.messages.at(0).icon, Platform::MessageIcon::Information);
        QCOMPARE(tree.read(u"c.csv"_s), QByteArray("3\n\n"));
        QCOMPARE(tree.read(u"_a.txt"_s), QByteArray("1\n\n"));

        // A second run takes the first run's backups as ordinary files.
        run = TextFiles::DelAllBlankLine(dialogs, tree.path(), true);
        QCOMPARE(run.paths.size(), 4);
        QCOMPARE(tree.read(u"_a.txt"_s), QByteArray("1\r\n"));
        QCOMPARE(tree.read(u"__a.txt"_s), QByteArray("1\n\n"));

        // Without backups nothing "_" is added.
        TempTree other;
        other.write(u"x.txt"_s, " \nx");
        dialogs.clear();
        TextFiles::DelAllBlankLine(dialogs, other.path(), false);
        QCOMPARE(other.entries(), QStringList{u"x.txt"_s});
        QCOMPARE(other.read(u"x.txt"_s), QByteArray("x\r\n"));
    }

    void readTxtMessages()
    {
        TempTree tree;
        tree.write(u"only.doc"_s, "x");
        ScriptedDialogs dialogs;
        qsizetype count = 7;
        QStringList list;
        QVERIFY(!TextFiles::Read_Txt(dialogs, tree.path(), count, list));
        QCOMPARE(count, 7);
        QCOMPARE(dialogs.texts(), QStringList{u"所选文件夹中没有文本文件，请重新选择！"_s});
        QCOMPARE(dialogs.messages.at(0).icon, Platform::MessageIcon::None);
        QCOMPARE(tree.entries(), QStringList{u"only.doc"_s});

        dialogs.clear();
        QVERIFY(!TextFiles::Read_Txt(dialogs, QString(), count, list));
        QCOMPARE(dialogs.texts(), QStringList{u"请在左侧树状目录中选择文件夹"_s});
        QCOMPARE(dialogs.messages.at(0).icon, Platform::MessageIcon::Information);
    }
};

QTEST_GUILESS_MAIN(TestBlankLines)
#include "tst_blanklines.moc"
