#include "ScriptedDialogs.h"
#include "TempTree.h"

#include "execute/UndoLogDocument.h"
#include "execute/UndoRename.h"

#include "platform/FileSystem.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QTest>
#include <QThread>

using namespace Qt::Literals::StringLiterals;

// A run killed in the middle leaves every completed rename in its record, and
// that record undoes the run.
class TestKilledRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyCompletedRenameIsRecorded()
    {
        constexpr int files = 5000;
        TempTree tree;
        const QString folder = tree.mkdir(u"files"_s);
        const QString undoFolder = tree.mkdir(u"undofile"_s);
        for (int i = 0; i < files; ++i)
            tree.write(u"files/"_s + QString::number(i).rightJustified(4, u'0') + u".txt"_s, "x");

        QProcess helper;
        helper.start(QCoreApplication::applicationDirPath() + u"/execute_rename_helper"_s,
                     {folder, undoFolder, u"20"_s});
        QVERIFY(helper.waitForStarted());
        QVERIFY(helper.waitForReadyRead(30000));

        // Kill it once a good part of the folder has been renamed.
        QElapsedTimer waited;
        waited.start();
        qint64 size = 0;
        while (size < 1500 * 80 && waited.elapsed() < 60000 && helper.state() == QProcess::Running) {
            QThread::usleep(200);
            const QStringList records = QDir(undoFolder).entryList(QDir::Files);
            if (!records.isEmpty())
                size = QFileInfo(undoFolder + u'/' + records.first()).size();
        }
        helper.kill();
        QVERIFY(helper.waitForFinished());
        QCOMPARE(helper.exitStatus(), QProcess::CrashExit); // killed, not finished

        const QStringList names = Platform::listFiles(folder, u"*.*"_s);
        QCOMPARE(names.size(), files);
        QSet<QString> renamed;
        for (const QString& name : names)
            if (name.startsWith(u"n_"_s))
                renamed.insert(name);
        QVERIFY(renamed.size() > 0);
        QVERIFY2(renamed.size() < files, "the run ended before it was killed");

        const QStringList records = QDir(undoFolder).entryList(QDir::Files);
        QCOMPARE(records.size(), 1);
        const QString record = undoFolder + u'/' + records.first();
        QFile file(record);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.endsWith("\"\r\n")); // no entry cut in half
        const auto entries = Execute::UndoLogDocument::parse(bytes).entries();

        QSet<QString> recorded;
        int notRenamed = 0;
        for (const Execute::UndoEntry& entry : entries) {
            const QString current = entry.currentPath.mid(folder.size() + 1);
            QCOMPARE(entry.oldPath, folder + u'/' + current.mid(2));
            if (renamed.contains(current))
                recorded.insert(current);
            else
                ++notRenamed; // written just before a rename the kill prevented
        }
        QCOMPARE(recorded, renamed);
        QVERIFY(notRenamed <= 1);
        QCOMPARE(entries.size(), renamed.size() + notRenamed);

        // The record undoes exactly what was done.
        ScriptedDialogs dialogs;
        dialogs.files.enqueue(record);
        dialogs.answers.enqueue(Platform::MessageAnswer::Yes);
        const auto outcome = Execute::UndoRename(dialogs, undoFolder);
        QCOMPARE(outcome.undone, renamed.size());
        QCOMPARE(outcome.missing, 0); // the entry of a rename that did not happen is dropped
        for (const QString& name : Platform::listFiles(folder, u"*.*"_s))
            QVERIFY2(!name.startsWith(u"n_"_s), qPrintable(name));
    }
};

QTEST_GUILESS_MAIN(TestKilledRun)
#include "tst_killedrun.moc"
