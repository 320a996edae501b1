#include "FileSizeLimit.h"
#include "ScriptedDialogs.h"
#include "TempTree.h"

#include "execute/RenameExecution.h"
#include "execute/UndoRename.h"

#include "platform/FixedClock.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using Platform::MessageAnswer;
using Platform::MessageButtons;
using Platform::MessageIcon;
using Fate = Execute::UndoOutcome::DocumentFate;
using Result = Execute::UndoOutcome::Result;

// The undo played back on real files, with its dialog, question and messages.
class TestUndoRename : public QObject
{
    Q_OBJECT

private:
    struct Fixture
    {
        TempTree tree;
        QString folder;
        QString undoFolder;
        Platform::FixedClock clock{QDateTime(QDate(2013, 10, 17), QTime(9, 5, 30))};
        ScriptedDialogs dialogs;

        explicit Fixture(const QStringList& files = {})
        {
            folder = tree.mkdir(u"x"_s) + u'/';
            undoFolder = tree.mkdir(u"undofile"_s);
            for (const QString& name : files)
                tree.write(u"x/"_s + name, name.toUtf8());
        }
        // Renames for real and returns the record.
        QString execute(const QStringList& oldNames, const QStringList& newNames)
        {
            Execute::RenameRequest request;
            request.folder = folder;
            request.oldNames = oldNames;
            request.newNames = newNames;
            request.undoFolder = undoFolder;
            request.clock = &clock;
            const auto outcome = Execute::ExecuteRename(request);
            return outcome.undoLogPath;
        }
        QString writeRecord(const QByteArray& bytes) { return tree.write(u"undofile/record.txt"_s, bytes); }
        Execute::UndoOutcome undo(const QString& record, MessageAnswer answer = MessageAnswer::Yes)
        {
            dialogs.files.enqueue(record);
            dialogs.answers.enqueue(answer);
            return Execute::UndoRename(dialogs, undoFolder);
        }
        QStringList files() const { return tree.entries(u"x"_s); }
        QByteArray entry(const QString& current, const QString& old) const
        {
            return "\"" + QFile::encodeName(folder + current) + "\r\n" + QFile::encodeName(folder + old) +
                   "\"\r\n";
        }
    };

    static void verifyPlain(const Platform::MessageRequest& message, const QString& text)
    {
        QCOMPARE(message.text, text);
        QCOMPARE(message.icon, MessageIcon::None);
        QCOMPARE(message.buttons, MessageButtons::Ok);
    }

private Q_SLOTS:
    void undoesEveryEntryAndDeletesTheRecord()
    {
        Fixture f({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s});
        const QString record =
            f.execute({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s}, {u"1.txt"_s, u"2.txt"_s, u"3.txt"_s});
        const auto outcome = f.undo(record);

        QCOMPARE(f.dialogs.fileRequests.size(), 1);
        QCOMPARE(f.dialogs.fileRequests.first().filter, u"文本文档(*.txt)|*.txt"_s);
        QCOMPARE(f.dialogs.fileRequests.first().initialFolder, f.undoFolder);

        QCOMPARE(f.dialogs.messages.size(), 2);
        const Platform::MessageRequest& question = f.dialogs.messages.at(0);
        QCOMPARE(question.text, u"要撤消以下文件夹中所有文件重命名吗？\r\n"_s + f.folder);
        QCOMPARE(question.icon, MessageIcon::Information);
        QCOMPARE(question.buttons, MessageButtons::YesNo);
        QCOMPARE(question.defaultAnswer, MessageAnswer::No);
        verifyPlain(f.dialogs.messages.at(1), u"3 个文件按要求撤消重命名！"_s);

        QCOMPARE(outcome.result, Result::Done);
        QCOMPARE(outcome.undone, 3);
        QCOMPARE(outcome.fate, Fate::Deleted);
        QVERIFY(outcome.documentUpdated);
        QCOMPARE(f.files(), QStringList({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s}));
        QCOMPARE(f.tree.read(u"x/c.txt"_s), QByteArray("c.txt"));
        QVERIFY(!QFileInfo::exists(record));
        QVERIFY(!outcome.undoFolderHasFiles);
    }

    // Entries that are not undone stay in the record, byte for byte.
    void keepsTheEntriesThatWereNotUndone()
    {
        Fixture f({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s, u"d.txt"_s});
        const QString record = f.execute({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s, u"d.txt"_s},
                                         {u"1.txt"_s, u"2.txt"_s, u"3.txt"_s, u"4.txt"_s});
        QVERIFY(QFile::remove(f.folder + u"2.txt"_s)); // missing
        QVERIFY(QFile::remove(f.folder + u"4.txt"_s)); // missing, and last in the record
        f.tree.write(u"x/c.txt"_s, "new c");           // its old name is taken again: refused

        const auto outcome = f.undo(record);
        QCOMPARE(f.dialogs.messages.size(), 3);
        verifyPlain(f.dialogs.messages.at(1), f.folder + u"4.txt\r\n等2文件不存在,不能撤消重命名!"_s);
        verifyPlain(f.dialogs.messages.at(2), u"1 个文件按要求撤消重命名！"_s);
        QCOMPARE(outcome.undone, 1);
        QCOMPARE(outcome.missing, 2);
        QCOMPARE(outcome.refused, 1);
        QCOMPARE(outcome.fate, Fate::Rewritten);
        QCOMPARE(f.files(), QStringList({u"3.txt"_s, u"a.txt"_s, u"c.txt"_s}));
        QCOMPARE(f.tree.read(u"x/c.txt"_s), QByteArray("new c"));
        QCOMPARE(f.tree.read(u"undofile/2013-10-17 9时5分30秒.txt"_s), f.entry(u"2.txt"_s, u"b.txt"_s) +
                                                                           f.entry(u"3.txt"_s, u"c.txt"_s) +
                                                                           f.entry(u"4.txt"_s, u"d.txt"_s));

        // Once the way is free again, the kept entry can still be undone.
        QVERIFY(QFile::remove(f.folder + u"c.txt"_s));
        f.dialogs.clear();
        const auto again = f.undo(record);
        QCOMPARE(again.undone, 1);
        QCOMPARE(again.missing, 2);
        QCOMPARE(f.files(), QStringList({u"a.txt"_s, u"c.txt"_s}));
        QCOMPARE(f.tree.read(u"undofile/2013-10-17 9时5分30秒.txt"_s),
                 f.entry(u"2.txt"_s, u"b.txt"_s) + f.entry(u"4.txt"_s, u"d.txt"_s));
    }

    void allMissingKeepsTheRecordAsItWas()
    {
        Fixture f({u"a.txt"_s});
        const QString record = f.execute({u"a.txt"_s}, {u"1.txt"_s});
        const QByteArray before = f.tree.read(u"undofile/2013-10-17 9时5分30秒.txt"_s);
        QVERIFY(QFile::remove(f.folder + u"1.txt"_s));
        const auto outcome = f.undo(record);
        QCOMPARE(f.dialogs.texts(), QStringList({u"要撤消以下文件夹中所有文件重命名吗？\r\n"_s + f.folder,
                                                 f.folder + u"1.txt\r\n等1文件不存在,不能撤消重命名!"_s}));
        QCOMPARE(outcome.fate, Fate::Untouched);
        QCOMPARE(f.tree.read(u"undofile/2013-10-17 9时5分30秒.txt"_s), before);
    }

    void answeringNoChangesNothing()
    {
        Fixture f({u"a.txt"_s});
        const QString record = f.execute({u"a.txt"_s}, {u"1.txt"_s});
        const auto declined = f.undo(record, MessageAnswer::No);
        QCOMPARE(declined.result, Result::Declined);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.files(), QStringList{u"1.txt"_s});
        QVERIFY(QFileInfo::exists(record));
        QVERIFY(declined.undoFolderHasFiles);

        f.dialogs.clear();
        QCOMPARE(f.undo(record).undone, 1);
        QCOMPARE(f.files(), QStringList{u"a.txt"_s});
        QVERIFY(!QFileInfo::exists(record));
    }

    void cancellingTheDialogAsksNothing()
    {
        Fixture f;
        f.dialogs.files.enqueue(QString());
        QCOMPARE(Execute::UndoRename(f.dialogs, f.undoFolder).result, Result::Cancelled);
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    void anUnreadableRecordIsReported()
    {
        Fixture f;
        f.dialogs.files.enqueue(f.undoFolder + u"/gone.txt"_s);
        QCOMPARE(Execute::UndoRename(f.dialogs, f.undoFolder).result, Result::Unreadable);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages.first().icon, MessageIcon::Warning);
        QVERIFY(f.dialogs.messages.first().text.startsWith(f.undoFolder + u"/gone.txt\r\n"_s));
    }

    void anEmptyRecordIsDeletedWithoutAMessage()
    {
        Fixture f({u"a.txt"_s});
        const QString record = f.execute({u"a.txt"_s}, {u"a.txt"_s}); // nothing renamed
        const auto outcome = f.undo(record);
        QCOMPARE(f.dialogs.texts(), QStringList{u"要撤消以下文件夹中所有文件重命名吗？\r\n"_s});
        QCOMPARE(outcome.fate, Fate::Deleted);
        QVERIFY(!QFileInfo::exists(record));
    }

    // A run that renamed a to c and then b to a: undone from the last entry
    // back, both names return.
    void renamesThatBuildOnEachOtherUnwind()
    {
        Fixture f({u"a.txt"_s, u"b.txt"_s});
        const QString record = f.execute({u"a.txt"_s, u"b.txt"_s}, {u"c.txt"_s, u"a.txt"_s});
        QCOMPARE(f.tree.read(u"x/a.txt"_s), QByteArray("b.txt"));
        const auto outcome = f.undo(record);
        QCOMPARE(outcome.undone, 2);
        QCOMPARE(f.tree.read(u"x/a.txt"_s), QByteArray("a.txt"));
        QCOMPARE(f.tree.read(u"x/b.txt"_s), QByteArray("b.txt"));
    }

    void foldersAreRenamedBackLikeFiles()
    {
        Fixture f;
        f.tree.mkdir(u"x/新文件夹"_s);
        f.tree.write(u"x/新文件夹/inside.txt"_s, "inside");
        const QString record =
            f.writeRecord("\"" + QFile::encodeName(f.folder) + "\xd0\xc2\xce\xc4\xbc\xfe\xbc\xd0\r\n" +
                          QFile::encodeName(f.folder) + "old\"\r\n");
        QCOMPARE(f.undo(record).undone, 1);
        QCOMPARE(f.tree.read(u"x/old/inside.txt"_s), QByteArray("inside"));
    }

    // A document edited or damaged by hand, and one written on Windows: what
    // can be undone is, the rest is counted missing and kept.
    void damagedAndForeignRecords()
    {
        Fixture f({u"1.txt"_s});
        const QByteArray valid = f.entry(u"1.txt"_s, u"a.txt"_s);
        const QByteArray foreign = "\"" + QFile::encodeName(f.folder) + "\x81\x30.txt\r\n" +
                                   QFile::encodeName(f.folder) + "b.txt\"\r\n";
        const QByteArray windows = "\"D:\\x\\2.txt\r\nD:\\x\\b.txt\"\r\n";
        const QString record =
            f.writeRecord("\r\n" + valid + "\r\n\r\n" + foreign + windows + "\"/x/odd.txt\r\n");

        const auto outcome = f.undo(record);
        QCOMPARE(outcome.undone, 1);
        QCOMPARE(outcome.missing, 2);
        QCOMPARE(f.files(), QStringList{u"a.txt"_s});
        QCOMPARE(f.dialogs.texts().at(1), u"D:\\x\\2.txt\r\n等2文件不存在,不能撤消重命名!"_s);
        QCOMPARE(f.tree.read(u"undofile/record.txt"_s), foreign + windows);
    }

    // A current path whose last character was cut off names no file, even
    // when the rest of it is the name of one.
    void aCutOffCharacterNamesNoFile()
    {
        Fixture f({u"a"_s});
        const QString record = f.writeRecord("\"" + QFile::encodeName(f.folder) + "a\xd5\r\n" +
                                             QFile::encodeName(f.folder) + "b\"\r\n");
        const auto outcome = f.undo(record);
        QCOMPARE(outcome.missing, 1);
        QCOMPARE(f.files(), QStringList{u"a"_s});
    }

    void aWindowsRecordOnlyCountsMissing()
    {
        Fixture f;
        const QString record =
            f.writeRecord("\"D:\\\xd5\xd5\xc6\xac\\001.jpg\r\nD:\\\xd5\xd5\xc6\xac\\DSC0001.jpg\"\r\n"
                          "\"D:\\\xd5\xd5\xc6\xac\\002.jpg\r\nD:\\\xd5\xd5\xc6\xac\\DSC0002.jpg\"\r\n");
        const QByteArray before = f.tree.read(u"undofile/record.txt"_s);
        const auto outcome = f.undo(record);
        QCOMPARE(f.dialogs.texts(), QStringList({u"要撤消以下文件夹中所有文件重命名吗？\r\nD:\\照片\\"_s,
                                                 u"D:\\照片\\002.jpg\r\n等2文件不存在,不能撤消重命名!"_s}));
        QCOMPARE(outcome.missing, 2);
        QCOMPARE(f.tree.read(u"undofile/record.txt"_s), before);
    }

    // An undo killed part-way renamed the last entries back but left the
    // record whole: those entries are settled, not missing.
    void aKilledUndoLeavesNoStaleEntries()
    {
        Fixture f({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s});
        const QString record =
            f.execute({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s}, {u"1.txt"_s, u"2.txt"_s, u"3.txt"_s});
        QVERIFY(QFile::rename(f.folder + u"3.txt"_s, f.folder + u"c.txt"_s));
        QVERIFY(QFile::rename(f.folder + u"2.txt"_s, f.folder + u"b.txt"_s));
        const auto outcome = f.undo(record);
        QCOMPARE(f.dialogs.texts(), QStringList({u"要撤消以下文件夹中所有文件重命名吗？\r\n"_s + f.folder,
                                                 u"1 个文件按要求撤消重命名！"_s}));
        QCOMPARE(outcome.undone, 1);
        QCOMPARE(outcome.missing, 0);
        QCOMPARE(outcome.fate, Fate::Deleted);
        QVERIFY(!QFileInfo::exists(record));
        QCOMPARE(f.files(), QStringList({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s}));
    }

    // The rewrite of a record on a full disk fails: the record stays whole
    // (not emptied), a warning names it, and the next undo still works.
    void aFullDiskKeepsTheRecord()
    {
        Fixture f({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s});
        const QString record =
            f.execute({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s}, {u"1.txt"_s, u"2.txt"_s, u"3.txt"_s});
        const QByteArray before = f.tree.read(u"undofile/2013-10-17 9时5分30秒.txt"_s);
        QVERIFY(QFile::remove(f.folder + u"3.txt"_s)); // missing: the record must be rewritten
        Execute::UndoOutcome outcome;
        {
            const FileSizeLimit full(16);
            outcome = f.undo(record);
        }
        QCOMPARE(outcome.undone, 2);
        QCOMPARE(outcome.fate, Fate::Rewritten);
        QVERIFY(!outcome.documentUpdated);
        QCOMPARE(f.tree.read(u"undofile/2013-10-17 9时5分30秒.txt"_s), before);
        QCOMPARE(f.tree.entries(u"undofile"_s), QStringList{u"2013-10-17 9时5分30秒.txt"_s});
        const Platform::MessageRequest& warning = f.dialogs.messages.last();
        QCOMPARE(warning.icon, MessageIcon::Warning);
        QVERIFY(warning.text.startsWith(record + u"\r\n"_s));

        f.dialogs.clear();
        const auto again = f.undo(record);
        QCOMPARE(again.undone, 0);
        QCOMPARE(again.missing, 1);
        QCOMPARE(again.fate, Fate::Rewritten);
        QVERIFY(again.documentUpdated);
        QCOMPARE(f.tree.read(u"undofile/2013-10-17 9时5分30秒.txt"_s), f.entry(u"3.txt"_s, u"c.txt"_s));
    }

    // A record naming one folder must not rename in another: ".." components
    // are refused, and the question names every folder, as its real path.
    void aCraftedRecordRenamesOnlyWhereTheQuestionSays()
    {
        Fixture f({u"1.txt"_s});
        f.tree.write(u"victim/1.txt"_s, "victim");
        f.tree.write(u"y/2.txt"_s, "y");
        const QByteArray x = QFile::encodeName(f.folder);
        const QByteArray root = QFile::encodeName(f.tree.path());
        const QString record = f.writeRecord("\"" + x + "../victim/1.txt\r\n" + x + "../victim/a.txt\"\r\n" +
                                             "\"" + x + "./1.txt\r\n" + x + "./b.txt\"\r\n" + "\"" + root +
                                             "/y/2.txt\r\n" + root + "/y/b.txt\"\r\n");
        const auto outcome = f.undo(record);
        QCOMPARE(f.dialogs.messages.first().text,
                 u"要撤消以下文件夹中所有文件重命名吗？\r\n"_s + f.tree.path() + u"/y/"_s);
        QCOMPARE(outcome.refused, 2);
        QCOMPARE(outcome.undone, 1);
        QCOMPARE(f.tree.entries(u"victim"_s), QStringList{u"1.txt"_s});
        QCOMPARE(f.files(), QStringList{u"1.txt"_s});
        QCOMPARE(f.tree.entries(u"y"_s), QStringList{u"b.txt"_s});
    }

    void theQuestionNamesEveryFolderThroughLinks()
    {
        Fixture f({u"1.txt"_s});
        f.tree.write(u"real/2.txt"_s, "2");
        QVERIFY(QFile::link(f.tree.file(u"real"_s), f.tree.file(u"link"_s)));
        const QString record = f.writeRecord(
            f.entry(u"1.txt"_s, u"a.txt"_s) + "\"" + QFile::encodeName(f.tree.path()) + "/link/2.txt\r\n" +
            QFile::encodeName(f.tree.path()) + "/link/b.txt\"\r\n" + f.entry(u"1.txt"_s, u"a.txt"_s));
        const auto outcome = f.undo(record);
        QCOMPARE(f.dialogs.messages.first().text, u"要撤消以下文件夹中所有文件重命名吗？\r\n"_s + f.folder +
                                                      u"\r\n"_s + f.tree.path() + u"/real/"_s);
        // Folders reached through a link stay undoable.
        QCOMPARE(outcome.undone, 2);
        QCOMPARE(f.tree.entries(u"real"_s), QStringList{u"b.txt"_s});
    }

    void anEntryLeadingOutOfItsFolderIsRefused()
    {
        Fixture f({u"1.txt"_s});
        f.tree.mkdir(u"elsewhere"_s);
        const QString record = f.writeRecord("\"" + QFile::encodeName(f.folder) + "1.txt\r\n" +
                                             QFile::encodeName(f.tree.path()) + "/elsewhere/a.txt\"\r\n");
        const auto outcome = f.undo(record);
        QCOMPARE(outcome.refused, 1);
        QCOMPARE(outcome.undone, 0);
        QCOMPARE(f.files(), QStringList{u"1.txt"_s});
        QVERIFY(f.tree.entries(u"elsewhere"_s).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestUndoRename)
#include "tst_undorename.moc"
