#include "FileSizeLimit.h"
#include "Immutable.h"
#include "ScriptedDialogs.h"
#include "TempTree.h"

#include "execute/RenameExecution.h"
#include "execute/UndoLog.h"

#include "platform/FileAttributes.h"
#include "platform/FileSystem.h"
#include "platform/FixedClock.h"
#include "platform/GbkText.h"

#include "execute/UndoRename.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;
using Execute::RowStatus;

// The execution of methods 0 to 7 and 8 on real folders.
class TestExecuteRename : public QObject
{
    Q_OBJECT

private:
    // A folder "照片" with files, and an undo folder beside it.
    struct Fixture
    {
        TempTree tree;
        QString folder;
        QString undoFolder;
        Platform::FixedClock clock{QDateTime(QDate(2013, 10, 17), QTime(9, 5, 30))};

        explicit Fixture(const QStringList& files)
        {
            folder = tree.mkdir(u"照片"_s) + u'/';
            undoFolder = tree.mkdir(u"undofile"_s);
            for (const QString& name : files)
                tree.write(u"照片/"_s + name, name.toUtf8());
        }
        Execute::RenameRequest request(const QStringList& oldNames, const QStringList& newNames) const
        {
            Execute::RenameRequest r;
            r.folder = folder;
            r.oldNames = oldNames;
            r.newNames = newNames;
            r.undoFolder = undoFolder;
            r.clock = &clock;
            return r;
        }
        QString logPath() const { return undoFolder + u"/2013-10-17 9时5分30秒.txt"_s; }
        QByteArray log() const { return tree.read(u"undofile/2013-10-17 9时5分30秒.txt"_s); }
        QStringList files() const { return tree.entries(u"照片"_s); }
    };

private Q_SLOTS:
    void renamesEveryRowAndRecordsTheExactBytes()
    {
        Fixture f({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s});
        const auto outcome = Execute::ExecuteRename(
            f.request({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s}, {u"1.txt"_s, u"2.txt"_s, u"新.txt"_s}));

        QCOMPARE(outcome.options, QStringList({u"操作成功"_s, u"操作成功"_s, u"操作成功"_s}));
        QCOMPARE(outcome.renamed, 3);
        QVERIFY(outcome.recorded);
        QCOMPARE(outcome.undoLogPath, f.logPath());
        QCOMPARE(f.files(), QStringList({u"1.txt"_s, u"2.txt"_s, u"新.txt"_s}));
        QCOMPARE(f.tree.read(u"照片/新.txt"_s), QByteArray("c.txt"));

        // GBK, CR LF, the quote opening line 1 and closing line 2 of each entry.
        const QByteArray root = QFile::encodeName(f.tree.path());
        const QByteArray expected = "\"" + root + "/\xd5\xd5\xc6\xac/1.txt\r\n" + root +
                                    "/\xd5\xd5\xc6\xac/a.txt\"\r\n"
                                    "\"" +
                                    root + "/\xd5\xd5\xc6\xac/2.txt\r\n" + root +
                                    "/\xd5\xd5\xc6\xac/b.txt\"\r\n"
                                    "\"" +
                                    root + "/\xd5\xd5\xc6\xac/\xd0\xc2.txt\r\n" + root +
                                    "/\xd5\xd5\xc6\xac/c.txt\"\r\n";
        QCOMPARE(f.log(), expected);
    }

    void aSecondRunInTheSameSecondAppends()
    {
        Fixture f({u"a.txt"_s, u"b.txt"_s});
        QVERIFY(Execute::ExecuteRename(f.request({u"a.txt"_s}, {u"x.txt"_s})).recorded);
        const QByteArray first = f.log();
        QVERIFY(Execute::ExecuteRename(f.request({u"b.txt"_s}, {u"y.txt"_s})).recorded);
        const QByteArray root = Platform::encodeGbk(f.folder);
        QCOMPARE(f.log(), first + "\"" + root + "y.txt\r\n" + root + "b.txt\"\r\n");
        QCOMPARE(f.tree.entries(u"undofile"_s).size(), 1);
    }

    void aRunWithoutRenamesLeavesAnEmptyDocument()
    {
        Fixture f({u"a.txt"_s, u"b.txt"_s});
        const auto outcome =
            Execute::ExecuteRename(f.request({u"a.txt"_s, u"b.txt"_s}, {u"a.txt"_s, u"b.txt"_s}));
        QCOMPARE(outcome.options, QStringList({u"操作失败"_s, u"操作失败"_s}));
        QVERIFY(outcome.recorded);
        QVERIFY(QFileInfo::exists(f.logPath()));
        QCOMPARE(f.log(), QByteArray());
        QVERIFY(Execute::UndoFolderHasFiles(f.undoFolder));
    }

    // Rows that must fail without moving anything; the other rows go on.
    void refusedRowsMoveNothing_data()
    {
        QTest::addColumn<QString>("oldName");
        QTest::addColumn<QString>("newName");
        QTest::addColumn<RowStatus>("status");

        // Faults between preview and execution.
        QTest::newRow("target created meanwhile") << u"a.txt"_s << u"taken.txt"_s << RowStatus::TargetExists;
        QTest::newRow("target is a folder") << u"a.txt"_s << u"sub"_s << RowStatus::TargetExists;
        QTest::newRow("file removed meanwhile") << u"gone.txt"_s << u"x.txt"_s << RowStatus::SourceMissing;
        QTest::newRow("new name equals old") << u"a.txt"_s << u"a.txt"_s << RowStatus::TargetExists;
        // Names that would leave the folder or name no file.
        QTest::newRow("empty new name") << u"a.txt"_s << QString() << RowStatus::InvalidName;
        QTest::newRow("slash") << u"a.txt"_s << u"sub/a.txt"_s << RowStatus::InvalidName;
        QTest::newRow("up and out") << u"a.txt"_s << u"../a.txt"_s << RowStatus::InvalidName;
        QTest::newRow("dot") << u"a.txt"_s << u"."_s << RowStatus::InvalidName;
        QTest::newRow("dot dot") << u"a.txt"_s << u".."_s << RowStatus::InvalidName;
        QTest::newRow("NUL") << u"a.txt"_s << (u"b"_s + QChar(0) + u".txt"_s) << RowStatus::InvalidName;
        QTest::newRow("old name leaves the folder")
            << u"../outside.txt"_s << u"in.txt"_s << RowStatus::InvalidName;
        // Names the undo record could not hold faithfully.
        QTest::newRow("line feed") << u"a.txt"_s << u"b\n.txt"_s << RowStatus::NotRecordable;
        QTest::newRow("carriage return") << u"a.txt"_s << u"b\r.txt"_s << RowStatus::NotRecordable;
        QTest::newRow("trailing space") << u"a.txt"_s << u"b.txt "_s << RowStatus::NotRecordable;
    }

    void refusedRowsMoveNothing()
    {
        QFETCH(QString, oldName);
        QFETCH(QString, newName);
        QFETCH(RowStatus, status);

        Fixture f({u"a.txt"_s, u"taken.txt"_s, u"z.txt"_s, u"😀.txt"_s});
        f.tree.mkdir(u"照片/sub"_s);
        f.tree.write(u"outside.txt"_s, "outside");
        const QStringList before = f.files();
        const QStringList rootBefore = f.tree.entries();

        const auto outcome = Execute::ExecuteRename(f.request({oldName, u"z.txt"_s}, {newName, u"zz.txt"_s}));

        QCOMPARE(outcome.statuses.at(0), status);
        QCOMPARE(outcome.options.at(0), u"操作失败"_s);
        QVERIFY(!outcome.reasons.at(0).isEmpty());
        QCOMPARE(outcome.options.at(1), u"操作成功"_s); // the run goes on
        QStringList expected = before;
        expected.replace(expected.indexOf(u"z.txt"_s), u"zz.txt"_s);
        Platform::sortNames(expected);
        QStringList after = f.files();
        Platform::sortNames(after);
        QCOMPARE(after, expected);
        QCOMPARE(f.tree.entries(), rootBefore);
        QCOMPARE(f.tree.read(u"照片/taken.txt"_s), QByteArray("taken.txt"));
        // Only the renamed row is recorded.
        const QByteArray root = Platform::encodeGbk(f.folder);
        QCOMPARE(f.log(), "\"" + root + "zz.txt\r\n" + root + "z.txt\"\r\n");
    }

    void aFolderTheRecordCannotHoldRenamesNothing_data()
    {
        QTest::addColumn<QString>("folderName");
        QTest::newRow("line break") << u"a\nb"_s;
    }

    // Names GBK cannot hold are renamed like any other; that run's record is
    // UTF-8 with a byte-order mark, and the undo reads it back.
    void namesOutsideGbkAreRecordedAsUtf8_data()
    {
        QTest::addColumn<QString>("folderName");
        QTest::addColumn<QString>("oldName");
        QTest::addColumn<QString>("newName");
        QTest::newRow("umlaut") << u"照片"_s << u"ö.txt"_s << u"o.txt"_s;
        QTest::newRow("emoji new name") << u"照片"_s << u"a.txt"_s << u"emoji😀.txt"_s;
        QTest::newRow("angstrom") << u"照片"_s << u"Ångström.txt"_s << u"新.txt"_s;
        QTest::newRow("folder outside GBK") << u"Ördner😀"_s << u"a.txt"_s << u"b.txt"_s;
    }

    void namesOutsideGbkAreRecordedAsUtf8()
    {
        QFETCH(QString, folderName);
        QFETCH(QString, oldName);
        QFETCH(QString, newName);
        TempTree tree;
        const QString folder = tree.mkdir(folderName) + u'/';
        tree.write(folderName + u'/' + oldName, "content");
        tree.write(folderName + u"/plain.txt"_s, "plain");
        const QString undoFolder = tree.mkdir(u"undofile"_s);
        Execute::RenameRequest request;
        request.folder = folder;
        request.oldNames = {oldName, u"plain.txt"_s};
        request.newNames = {newName, u"plain2.txt"_s};
        request.undoFolder = undoFolder;
        const auto outcome = Execute::ExecuteRename(request);
        QCOMPARE(outcome.options, QStringList({u"操作成功"_s, u"操作成功"_s}));
        QVERIFY(outcome.recorded);
        QCOMPARE(tree.read(folderName + u'/' + newName), QByteArray("content"));

        QFile record(outcome.undoLogPath);
        QVERIFY(record.open(QIODevice::ReadOnly));
        const QByteArray expected = "\xEF\xBB\xBF\"" + (folder + newName).toUtf8() + "\r\n" +
                                    (folder + oldName).toUtf8() + "\"\r\n\"" +
                                    (folder + u"plain2.txt"_s).toUtf8() + "\r\n" +
                                    (folder + u"plain.txt"_s).toUtf8() + "\"\r\n";
        QCOMPARE(record.readAll(), expected);
        record.close();

        ScriptedDialogs dialogs;
        dialogs.files.enqueue(outcome.undoLogPath);
        dialogs.answers.enqueue(Platform::MessageAnswer::Yes);
        const auto undo = Execute::UndoRename(dialogs, undoFolder);
        QCOMPARE(undo.undone, 2);
        QCOMPARE(tree.read(folderName + u'/' + oldName), QByteArray("content"));
        QCOMPARE(tree.read(folderName + u"/plain.txt"_s), QByteArray("plain"));
        QVERIFY(!QFileInfo::exists(outcome.undoLogPath));
    }

    // Two runs in the same second share a document: a GBK document that must
    // take an entry GBK lacks is rewritten as UTF-8 first, so it stays one encoding.
    void aGbkRecordTakingAUtf8EntryBecomesUtf8()
    {
        Fixture f({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s});
        QVERIFY(Execute::ExecuteRename(f.request({u"a.txt"_s}, {u"甲.txt"_s})).recorded);
        QVERIFY(f.log().startsWith(QByteArray("\"" + Platform::encodeGbk(f.folder))));
        QVERIFY(Execute::ExecuteRename(f.request({u"b.txt"_s}, {u"ö.txt"_s})).recorded);
        // A later GBK-only run appends to the UTF-8 document in UTF-8.
        QVERIFY(Execute::ExecuteRename(f.request({u"c.txt"_s}, {u"乙.txt"_s})).recorded);
        const QByteArray root = f.folder.toUtf8();
        QCOMPARE(f.log(), "\xEF\xBB\xBF\"" + root + "甲.txt\r\n" + root + "a.txt\"\r\n\"" + root +
                              "ö.txt\r\n" + root + "b.txt\"\r\n\"" + root + "乙.txt\r\n" + root +
                              "c.txt\"\r\n");
        QCOMPARE(f.tree.entries(u"undofile"_s).size(), 1);
    }

    // A name whose bytes are not UTF-8 is listed with U+FFFD; its row fails with
    // a reason and nothing is renamed to a mangled name.
    void aNameThatIsNotUtf8IsRefused()
    {
        Fixture f({u"a.txt"_s});
        const QByteArray raw = QFile::encodeName(f.folder) + "bad\xFF.txt";
        {
            const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
            QVERIFY(fd >= 0);
            ::close(fd);
        }
        const QStringList listed = Platform::listFiles(f.folder, u"*.*"_s);
        const QString shown = listed.at(0).startsWith(u"bad"_s) ? listed.at(0) : listed.at(1);
        QVERIFY(shown.contains(QChar(0xFFFD)));
        const auto outcome =
            Execute::ExecuteRename(f.request({shown, u"a.txt"_s}, {u"x"_s + shown, u"b.txt"_s}));
        QCOMPARE(outcome.statuses.at(0), RowStatus::InvalidName);
        QVERIFY(outcome.reasons.at(0).contains(u"UTF-8"_s));
        QCOMPARE(outcome.options.at(1), u"操作成功"_s);
        QVERIFY(QFileInfo::exists(QFile::decodeName(raw)) || ::access(raw.constData(), F_OK) == 0);
        // The record stays GBK: the refused row does not decide its encoding.
        QVERIFY(f.log().startsWith('"'));
    }

    void aFolderTheRecordCannotHoldRenamesNothing()
    {
        QFETCH(QString, folderName);
        TempTree tree;
        const QString folder = tree.mkdir(folderName);
        tree.write(folderName + u"/a.txt"_s, "a");
        Execute::RenameRequest request;
        request.folder = folder;
        request.oldNames = {u"a.txt"_s};
        request.newNames = {u"b.txt"_s};
        request.undoFolder = tree.mkdir(u"undofile"_s);
        const auto outcome = Execute::ExecuteRename(request);
        QCOMPARE(outcome.statuses, QList<RowStatus>{RowStatus::NotRecordable});
        QCOMPARE(tree.entries(folderName), QStringList{u"a.txt"_s});
    }

    void twoRowsWithTheSameNewName()
    {
        Fixture f({u"a.txt"_s, u"b.txt"_s});
        const auto outcome =
            Execute::ExecuteRename(f.request({u"a.txt"_s, u"b.txt"_s}, {u"same.txt"_s, u"same.txt"_s}));
        QCOMPARE(outcome.options, QStringList({u"操作成功"_s, u"操作失败"_s}));
        QCOMPARE(outcome.statuses.at(1), RowStatus::TargetExists);
        QCOMPARE(f.files(), QStringList({u"b.txt"_s, u"same.txt"_s}));
        QCOMPARE(f.tree.read(u"照片/same.txt"_s), QByteArray("a.txt"));
        const QByteArray root = Platform::encodeGbk(f.folder);
        QCOMPARE(f.log(), "\"" + root + "same.txt\r\n" + root + "a.txt\"\r\n");
    }

    void aFolderThatCannotChangeRenamesNothing()
    {
        Fixture f({u"a.txt"_s, u"b.txt"_s});
        const Immutable locked(f.folder);
        REQUIRE_IMMUTABLE(locked);
        const auto outcome =
            Execute::ExecuteRename(f.request({u"a.txt"_s, u"b.txt"_s}, {u"1.txt"_s, u"2.txt"_s}));
        QCOMPARE(outcome.options, QStringList({u"操作失败"_s, u"操作失败"_s}));
        QCOMPARE(outcome.statuses.at(0), RowStatus::Refused);
        QCOMPARE(f.files(), QStringList({u"a.txt"_s, u"b.txt"_s}));
        QCOMPARE(f.log(), QByteArray()); // entries written ahead were taken back
    }

    void renamesHappenWhenTheRecordCannotBeWritten_data()
    {
        QTest::addColumn<QString>("undoFolder");
        QTest::newRow("missing undo folder") << u"missing"_s;
        QTest::newRow("read-only undo folder") << u"read-only"_s;
        QTest::newRow("no undo folder given") << QString();
    }

    void renamesHappenWhenTheRecordCannotBeWritten()
    {
        QFETCH(QString, undoFolder);
        Fixture f({u"a.txt"_s, u"b.txt"_s});
        std::optional<Immutable> locked;
        auto request = f.request({u"a.txt"_s, u"b.txt"_s}, {u"1.txt"_s, u"2.txt"_s});
        if (undoFolder == u"missing"_s) {
            QVERIFY(QDir(f.undoFolder).removeRecursively());
        } else if (undoFolder == u"read-only"_s) {
            locked.emplace(f.undoFolder);
            REQUIRE_IMMUTABLE(*locked);
        } else {
            request.undoFolder.clear();
        }
        // The warning comes before the first rename.
        QStringList filesWhenWarned;
        request.warn = [&](const QString&) { filesWhenWarned = f.files(); };
        const auto outcome = Execute::ExecuteRename(request);
        QCOMPARE(outcome.options, QStringList({u"操作成功"_s, u"操作成功"_s}));
        QVERIFY(!outcome.recorded);
        QCOMPARE(f.files(), QStringList({u"1.txt"_s, u"2.txt"_s}));
        QVERIFY(!Platform::PathExists(outcome.undoLogPath));
        if (request.undoFolder.isEmpty()) {
            QVERIFY(outcome.warnings.isEmpty());
        } else {
            QCOMPARE(outcome.warnings.size(), 1);
            QVERIFY(outcome.warnings.first().contains(outcome.undoLogPath));
            QCOMPARE(filesWhenWarned, QStringList({u"a.txt"_s, u"b.txt"_s}));
        }
    }

    // A full disk mid-run: the run stops before the first rename whose entry
    // cannot be written, so every rename that happened is recorded.
    void aFullDiskStopsTheRunBeforeAnUnrecordedRename()
    {
        QStringList oldNames;
        QStringList newNames;
        for (int i = 0; i < 10; ++i) {
            oldNames << u"f%1.txt"_s.arg(i);
            newNames << u"g%1.txt"_s.arg(i);
        }
        Fixture f(oldNames);
        const QByteArray entry0 = Execute::undoEntryBytes(f.folder + u"g0.txt"_s, f.folder + u"f0.txt"_s);
        Execute::RenameOutcome outcome;
        {
            const FileSizeLimit full(rlim_t(3 * entry0.size() + 5));
            outcome = Execute::ExecuteRename(f.request(oldNames, newNames));
        }
        QCOMPARE(outcome.renamed, 3);
        QVERIFY(!outcome.recorded);
        QVERIFY(!outcome.stopReason.isEmpty());
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(outcome.options.at(i), i < 3 ? u"操作成功"_s : u"操作失败"_s);
            QCOMPARE(outcome.statuses.at(i), i < 3 ? RowStatus::Renamed : RowStatus::Stopped);
        }
        QByteArray expected;
        for (int i = 0; i < 3; ++i)
            expected += Execute::undoEntryBytes(f.folder + newNames[i], f.folder + oldNames[i]);
        QCOMPARE(f.log(), expected);
        QCOMPARE(f.files().size(), 10);
        QVERIFY(f.files().contains(u"f3.txt"_s));
    }

    // The record removed or replaced while a run appends to it: every entry
    // of the run is written to a new record, with a warning.
    void aRecordRemovedMidRunIsWrittenAnew_data()
    {
        QTest::addColumn<int>("afterRow");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("removed early") << 5 << false;
        QTest::newRow("removed after the last check") << 598 << false;
        QTest::newRow("replaced") << 5 << true;
    }

    void aRecordRemovedMidRunIsWrittenAnew()
    {
        QFETCH(int, afterRow);
        QFETCH(bool, replaced);
        QStringList oldNames;
        QStringList newNames;
        for (int i = 0; i < 600; ++i) {
            oldNames << u"f%1"_s.arg(i);
            newNames << u"g%1"_s.arg(i);
        }
        Fixture f(oldNames);
        auto request = f.request(oldNames, newNames);
        request.progress = [&](qsizetype done, qsizetype) {
            if (done != afterRow)
                return;
            QFile::remove(f.logPath());
            if (replaced)
                f.tree.write(u"undofile/2013-10-17 9时5分30秒.txt"_s, "someone else's");
        };
        const auto outcome = Execute::ExecuteRename(request);
        QCOMPARE(outcome.renamed, 600);
        QVERIFY(outcome.recorded);
        QCOMPARE(outcome.warnings.size(), 1);
        const QString expectedPath =
            replaced ? f.undoFolder + u"/2013-10-17 9时5分30秒 (2).txt"_s : f.logPath();
        QCOMPARE(outcome.undoLogPath, expectedPath);
        QVERIFY(outcome.warnings.first().contains(expectedPath));
        QByteArray expected;
        for (int i = 0; i < 600; ++i)
            expected += Execute::undoEntryBytes(f.folder + newNames[i], f.folder + oldNames[i]);
        QFile record(expectedPath);
        QVERIFY(record.open(QIODevice::ReadOnly));
        QCOMPARE(record.readAll(), expected);
        if (replaced)
            QCOMPARE(f.log(), QByteArray("someone else's"));
    }

    void reportsProgressAfterEachRow()
    {
        Fixture f({u"a.txt"_s, u"b.txt"_s});
        auto request = f.request({u"a.txt"_s, u"b.txt"_s}, {u"1.txt"_s});
        QList<QPair<qsizetype, qsizetype>> calls;
        request.progress = [&calls](qsizetype done, qsizetype total) { calls.append({done, total}); };
        const auto outcome = Execute::ExecuteRename(request);
        QCOMPARE(outcome.options, QStringList({u"操作成功"_s, u"操作失败"_s})); // no new name for row 2
        QCOMPARE(calls, (QList<QPair<qsizetype, qsizetype>>{{1, 2}, {2, 2}}));
    }

    void questionBeforeTheRun_data()
    {
        QTest::addColumn<Platform::MessageAnswer>("answer");
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("yes") << Platform::MessageAnswer::Yes << true;
        QTest::newRow("no") << Platform::MessageAnswer::No << false;
    }

    void questionBeforeTheRun()
    {
        QFETCH(Platform::MessageAnswer, answer);
        QFETCH(bool, confirmed);
        ScriptedDialogs dialogs;
        dialogs.answers.enqueue(answer);
        QCOMPARE(Execute::ConfirmRename(dialogs), confirmed);
        QCOMPARE(dialogs.messages.size(), 1);
        const Platform::MessageRequest& asked = dialogs.messages.first();
        QCOMPARE(asked.text, u"是否重命名这些文件?"_s);
        QCOMPARE(asked.icon, Platform::MessageIcon::Information);
        QCOMPARE(asked.buttons, Platform::MessageButtons::YesNo);
        QCOMPARE(asked.defaultAnswer, Platform::MessageAnswer::No);
    }

    void oldNamesAreReReadInListingOrder()
    {
        Fixture f({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s});
        const QStringList old{u"a.txt"_s, u"b.txt"_s, u"c.txt"_s};
        Execute::ExecuteRename(f.request(old, {u"z.txt"_s, u"b.doc"_s, u"c.txt"_s}));
        QCOMPARE(Execute::RefreshOldNames(Platform::listFiles(f.folder, u"*.*"_s), old),
                 QStringList({u"b.doc"_s, u"c.txt"_s, u"z.txt"_s}));
        // A renamed file that no longer matches the pattern leaves the last row empty.
        QCOMPARE(Execute::RefreshOldNames(Platform::listFiles(f.folder, u"*.txt"_s), old),
                 QStringList({u"c.txt"_s, u"z.txt"_s, QString()}));
        // Only as many rows as there were: FileCount stays.
        QCOMPARE(Execute::RefreshOldNames({u"a"_s, u"b"_s, u"c"_s, u"d"_s}, {u"x"_s, u"y"_s}),
                 QStringList({u"a"_s, u"b"_s}));
    }

    void attributesAreSetOnEveryListedFile()
    {
        Fixture f({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s});
        const Immutable locked(f.folder + u"c.txt"_s);
        const bool immutable = locked.isSet();
        const QStringList options = Execute::ApplyAttributes(
            f.folder, {u"a.txt"_s, u"b.txt"_s, u"c.txt"_s, u"gone.txt"_s}, Platform::AttrReadOnly);
        QCOMPARE(options.mid(0, 2), QStringList({u"成功设置"_s, u"成功设置"_s}));
        QCOMPARE(Platform::readAttributes(f.folder + u"a.txt"_s), int(Platform::AttrReadOnly));
        QCOMPARE(Platform::readAttributes(f.folder + u"b.txt"_s), int(Platform::AttrReadOnly));
        // A file whose attributes cannot be set says so instead of "成功设置".
        if (immutable)
            QCOMPARE(options.at(2), u"操作失败"_s);
        QCOMPARE(options.at(3), u"操作失败"_s);
        QVERIFY(f.tree.entries(u"undofile"_s).isEmpty());

        // The whole value is replaced: a mask of 0 clears read-only again.
        QCOMPARE(Execute::ApplyAttributes(f.folder, {u"a.txt"_s}, 0), QStringList{u"成功设置"_s});
        QCOMPARE(Platform::readAttributes(f.folder + u"a.txt"_s), 0);
    }
};

QTEST_GUILESS_MAIN(TestExecuteRename)
#include "tst_executerename.moc"
