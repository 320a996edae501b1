#include "Immutable.h"
#include "ScriptedDialogs.h"

#include "execute/UndoLogCleanup.h"

#include "platform/Trash.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;
using Platform::MessageAnswer;

// Clearing the undo records into the desktop's trash, on the real trash layout
// under the test's private data home.
class TestClearUndoLogs : public QObject
{
    Q_OBJECT

private:
    QString m_trash;

    static QByteArray readAll(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The undo folder lives in the private home, on the same volume as its trash.
    struct Fixture
    {
        QTemporaryDir home{QDir::homePath() + u"/app-XXXXXX"_s};
        QString undoFolder;
        ScriptedDialogs dialogs;
        Platform::Trash trash;

        Fixture()
        {
            undoFolder = home.path() + u"/undofile"_s;
            QDir().mkpath(undoFolder);
        }
        void write(const QString& name, const QByteArray& content)
        {
            QFile file(undoFolder + u'/' + name);
            if (file.open(QIODevice::WriteOnly))
                file.write(content);
        }
        QStringList files() const
        {
            return QDir(undoFolder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        }
    };

private Q_SLOTS:
    void initTestCase()
    {
        // Never the user's real trash.
        const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
        QVERIFY2(dataHome.contains(u"test-home"_s), qPrintable(dataHome));
        m_trash = dataHome + u"/Trash"_s;
        QDir(m_trash).removeRecursively();
    }

    void asksForEachFileAndTrashesTheOnesConfirmed()
    {
        Fixture f;
        f.write(u"2013-10-17 9时5分30秒.txt"_s, "\"/x/1.txt\r\n/x/a.txt\"\r\n");
        f.write(u"keep.txt"_s, "kept");
        f.write(u".hidden"_s, "not listed");
        f.dialogs.answers << MessageAnswer::Yes << MessageAnswer::No;

        const auto outcome =
            Execute::ClearUndoLogs(f.dialogs, f.trash, f.undoFolder, Execute::ClearFrom::Toolbar);

        QCOMPARE(f.dialogs.messages.size(), 2);
        const Platform::MessageRequest& asked = f.dialogs.messages.first();
        QCOMPARE(asked.text, u"确实要把此文件放入回收站吗？\r\n2013-10-17 9时5分30秒.txt"_s);
        QCOMPARE(asked.title, u"删除文件"_s);
        QCOMPARE(asked.buttons, Platform::MessageButtons::YesNo);
        QCOMPARE(asked.defaultAnswer, MessageAnswer::Yes);
        QCOMPARE(f.dialogs.messages.at(1).text, u"确实要把此文件放入回收站吗？\r\nkeep.txt"_s);

        QCOMPARE(outcome.trashed, QStringList{u"2013-10-17 9时5分30秒.txt"_s});
        QCOMPARE(outcome.kept, QStringList{u"keep.txt"_s});
        QCOMPARE(f.files(), QStringList({u".hidden"_s, u"keep.txt"_s}));
        QVERIFY(outcome.undoFolderHasFiles);
        QVERIFY(!outcome.disableUndoButtons);
        QVERIFY(!outcome.disableMenuEntry);

        // The trashed record, restorable by the file manager.
        QCOMPARE(readAll(m_trash + u"/files/2013-10-17 9时5分30秒.txt"_s),
                 QByteArray("\"/x/1.txt\r\n/x/a.txt\"\r\n"));
        const QByteArray info = readAll(m_trash + u"/info/2013-10-17 9时5分30秒.txt.trashinfo"_s);
        const QByteArray path = QUrl::toPercentEncoding(f.undoFolder + u"/2013-10-17 9时5分30秒.txt"_s, "/");
        QVERIFY(path.contains("%E6%97%B6")); // 时, percent-encoded UTF-8
        QVERIFY2(info.startsWith(QByteArray("[Trash Info]\nPath=" + path + "\nDeletionDate=")),
                 info.constData());
    }

    void statesAfterClearing_data()
    {
        QTest::addColumn<Execute::ClearFrom>("from");
        QTest::newRow("toolbar") << Execute::ClearFrom::Toolbar;
        QTest::newRow("menu") << Execute::ClearFrom::Menu;
    }

    void statesAfterClearing()
    {
        QFETCH(Execute::ClearFrom, from);
        Fixture f;
        f.write(u"a.txt"_s, "a");
        f.write(u"b.txt"_s, "b");
        const auto outcome = Execute::ClearUndoLogs(f.dialogs, f.trash, f.undoFolder, from); // default: Yes
        QCOMPARE(outcome.trashed.size(), 2);
        QVERIFY(f.files().isEmpty());
        QVERIFY(!outcome.undoFolderHasFiles);
        QCOMPARE(outcome.disableUndoButtons, from == Execute::ClearFrom::Toolbar);
        QCOMPARE(outcome.disableMenuEntry, from == Execute::ClearFrom::Menu);
    }

    void aFileTheTrashCannotTakeStays()
    {
        Fixture f;
        f.write(u"locked.txt"_s, "a");
        const Immutable locked(f.undoFolder);
        REQUIRE_IMMUTABLE(locked);
        const auto outcome =
            Execute::ClearUndoLogs(f.dialogs, f.trash, f.undoFolder, Execute::ClearFrom::Toolbar);
        QCOMPARE(outcome.failed, QStringList{u"locked.txt"_s});
        QCOMPARE(f.dialogs.messages.size(), 2);
        QCOMPARE(f.dialogs.messages.at(1).icon, Platform::MessageIcon::Warning);
        QVERIFY(f.dialogs.messages.at(1).text.startsWith(u"无法把文件放入回收站：locked.txt\r\n"_s));
        QCOMPARE(f.files(), QStringList{u"locked.txt"_s});
        QVERIFY(!outcome.disableUndoButtons);
        QVERIFY(!QFileInfo::exists(m_trash + u"/info/locked.txt.trashinfo"_s));
    }
};

QTEST_GUILESS_MAIN(TestClearUndoLogs)
#include "tst_clearundologs.moc"
