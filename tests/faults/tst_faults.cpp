// The fault suite: a rename or an undo killed at several points, a record
// removed mid-run, a target created mid-run, the undo folder on a file system
// that fills up. Each checks that no file is lost, that every rename that
// happened is recorded and that nothing is recorded that did not happen.

#include "ScriptedDialogs.h"
#include "TempTree.h"

#include "execute/RenameExecution.h"
#include "execute/UndoLog.h"
#include "execute/UndoLogDocument.h"
#include "execute/UndoRename.h"

#include "platform/FileSystem.h"

#include "workbook/Cell.h"
#include "workbook/CellValue.h"
#include "workbook/ExcelHost.h"
#include "workbook/Workbook.h"
#include "workbook/Worksheet.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QSet>
#include <QTest>
#include <QThread>

#include <cerrno>
#include <sys/mount.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QString fileName(int i)
{
    return QString::number(i).rightJustified(5, u'0') + u".txt"_s;
}

// A folder of `count` files whose content is their name, and an undo folder.
struct Scene
{
    TempTree tree;
    QString folder;
    QString undoFolder;
    int count = 0;

    explicit Scene(int files) : count(files)
    {
        folder = tree.mkdir(u"files"_s);
        undoFolder = tree.mkdir(u"undofile"_s);
        for (int i = 0; i < files; ++i)
            tree.write(u"files/"_s + fileName(i), fileName(i).toUtf8());
    }

    QString helper() const { return QCoreApplication::applicationDirPath() + u"/fault_helper"_s; }

    void startRename(QProcess& process, int microsecondsPerRow) const
    {
        process.start(helper(), {u"rename"_s, folder, undoFolder, QString::number(microsecondsPerRow)});
    }

    QStringList records() const
    {
        QStringList paths;
        for (const QString& name : QDir(undoFolder).entryList(QDir::Files))
            paths << undoFolder + u'/' + name;
        return paths;
    }

    qint64 recordedBytes() const
    {
        qint64 size = 0;
        for (const QString& path : records())
            size += QFileInfo(path).size();
        return size;
    }

    // Every entry of every record, as names in the folder (current, old).
    QList<QPair<QString, QString>> entries() const
    {
        QList<QPair<QString, QString>> all;
        for (const QString& path : records()) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QByteArray bytes = file.readAll();
            if (!bytes.isEmpty() && !bytes.endsWith("\"\r\n"))
                qWarning("record %s ends inside an entry", qPrintable(path));
            const Execute::UndoLogDocument document = Execute::UndoLogDocument::parse(bytes);
            for (const auto& e : document.entries())
                all.append({e.currentPath.mid(folder.size() + 1), e.oldPath.mid(folder.size() + 1)});
        }
        return all;
    }

    // No file lost: every original file is there under its old or its new
    // name with its content; every renamed file is recorded; at most
    // `staleAllowed` entries name a rename that did not happen (the one
    // written just before a kill). Returns the number of renamed files.
    int verify(int staleAllowed, const QSet<QString>& intruders = {}) const
    {
        const QStringList listed = Platform::listFiles(folder, u"*.*"_s);
        const QSet<QString> present(listed.cbegin(), listed.cend());
        int renamed = 0;
        QSet<QString> renamedNames;
        for (int i = 0; i < count; ++i) {
            const QString name = fileName(i);
            const bool old = present.contains(name);
            const bool moved = present.contains(u"n_"_s + name) && !intruders.contains(u"n_"_s + name);
            if (old == moved) {
                qWarning("%s: %s", qPrintable(name), old ? "under both names" : "lost");
                return -1;
            }
            const QString now = folder + u'/' + (old ? name : u"n_"_s + name);
            QFile f(now);
            if (!f.open(QIODevice::ReadOnly) || f.readAll() != name.toUtf8()) {
                qWarning("%s: content changed", qPrintable(now));
                return -1;
            }
            if (moved) {
                ++renamed;
                renamedNames.insert(u"n_"_s + name);
            }
        }
        if (present.size() != count + intruders.size()) {
            qWarning("%lld files where %lld were expected", qlonglong(present.size()),
                     qlonglong(count + intruders.size()));
            return -1;
        }
        QSet<QString> recorded;
        int stale = 0;
        for (const auto& [current, old] : entries()) {
            if (current != u"n_"_s + old) {
                qWarning("foreign entry %s", qPrintable(current));
                return -1;
            }
            if (renamedNames.contains(current))
                recorded.insert(current);
            else
                ++stale;
        }
        if (recorded != renamedNames) {
            qWarning("%lld renames, %lld recorded", qlonglong(renamedNames.size()),
                     qlonglong(recorded.size()));
            return -1;
        }
        if (stale > staleAllowed) {
            qWarning("%d entries of renames that did not happen", stale);
            return -1;
        }
        return renamed;
    }

    // Undoes every record in-process; true when every file has its old name
    // again and no missing file was reported.
    bool undoAll(const QSet<QString>& intruders = {}) const
    {
        for (const QString& record : records()) {
            ScriptedDialogs dialogs;
            dialogs.files.enqueue(record);
            dialogs.answers.enqueue(Platform::MessageAnswer::Yes);
            const auto outcome = Execute::UndoRename(dialogs, undoFolder);
            if (outcome.missing != 0 || outcome.refused != 0) {
                qWarning("undo of %s: %d missing, %d refused", qPrintable(record), outcome.missing,
                         outcome.refused);
                return false;
            }
        }
        const QStringList names = Platform::listFiles(folder, u"*.*"_s);
        for (const QString& name : names) {
            if (name.startsWith(u"n_"_s) && !intruders.contains(name)) {
                qWarning("%s still renamed", qPrintable(name));
                return false;
            }
        }
        return names.size() == count + intruders.size() && records().isEmpty();
    }
};

// Waits until `done` is true or the process ends.
template <typename Done> bool waitFor(const QProcess& process, Done done, int timeoutMs = 120000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (process.state() != QProcess::Running || timer.elapsed() > timeoutMs)
            return false;
        QThread::usleep(300);
    }
    return true;
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killDuringRename_data()
    {
        QTest::addColumn<int>("percent");
        QTest::newRow("early") << 3;
        QTest::newRow("halfway") << 50;
        QTest::newRow("near the end") << 95;
    }

    void killDuringRename()
    {
        QFETCH(int, percent);
        constexpr int files = 2000;
        Scene scene(files);
        const qint64 entrySize =
            Execute::undoEntryBytes(scene.folder + u"/n_"_s + fileName(0), scene.folder + u'/' + fileName(0))
                .size();
        QProcess helper;
        scene.startRename(helper, 40);
        QVERIFY(helper.waitForStarted());
        QVERIFY(waitFor(helper, [&] { return scene.recordedBytes() >= entrySize * files * percent / 100; }));
        helper.kill();
        QVERIFY(helper.waitForFinished());
        QCOMPARE(helper.exitStatus(), QProcess::CrashExit);

        const int renamed = scene.verify(1);
        QVERIFY(renamed > 0 && renamed < files);
        QVERIFY(scene.undoAll());
    }

    void killDuringUndo_data()
    {
        QTest::addColumn<int>("percent");
        QTest::newRow("early") << 5;
        QTest::newRow("halfway") << 50;
        QTest::newRow("near the end") << 90;
    }

    // A killed undo leaves the record whole; the next undo finishes the job
    // without reporting the files already back as missing.
    void killDuringUndo()
    {
        QFETCH(int, percent);
        constexpr int files = 6000;
        Scene scene(files);
        Execute::RenameRequest request;
        request.folder = scene.folder;
        request.oldNames = Platform::listFiles(scene.folder, u"*.*"_s);
        for (const QString& name : std::as_const(request.oldNames))
            request.newNames << u"n_"_s + name;
        request.undoFolder = scene.undoFolder;
        QCOMPARE(Execute::ExecuteRename(request).renamed, files);
        const QString record = scene.records().value(0);

        QProcess helper;
        helper.start(scene.helper(), {u"undo"_s, record});
        QVERIFY(helper.waitForStarted());
        // The undo goes from the last entry back: watch a file at the point.
        const QString mark = scene.folder + u'/' + fileName(files - 1 - files * percent / 100);
        waitFor(
            helper, [&] { return QFileInfo::exists(mark); }, 60000);
        helper.kill();
        helper.waitForFinished();
        if (helper.exitStatus() == QProcess::NormalExit)
            qInfo("the undo ended before the kill at %d%%", percent);

        // The record still names the renames undone before the kill.
        QVERIFY(scene.verify(files) >= 0);
        QVERIFY(scene.undoAll());
    }

    void recordRemovedMidRun()
    {
        constexpr int files = 1500;
        Scene scene(files);
        QProcess helper;
        scene.startRename(helper, 60);
        QVERIFY(helper.waitForStarted());
        QVERIFY(waitFor(helper, [&] { return scene.recordedBytes() > 20000; }));
        const QString record = scene.records().value(0);
        QVERIFY(QFile::remove(record));
        QVERIFY(helper.waitForFinished(120000));
        const QString output = QString::fromUtf8(helper.readAllStandardOutput());
        QCOMPARE(helper.exitCode(), 0);
        QVERIFY2(output.contains(u"renamed 1500\n"_s) && output.contains(u"warnings 1\n"_s),
                 qPrintable(output));
        QCOMPARE(scene.records(), QStringList{record});
        QCOMPARE(scene.verify(0), files);
        QVERIFY(scene.undoAll());
    }

    // Another program takes new names the run has not reached yet: those rows
    // fail, the other program's files stay as they are, nothing else changes.
    void targetCreatedMidRun()
    {
        constexpr int files = 1500;
        Scene scene(files);
        QProcess helper;
        scene.startRename(helper, 60);
        QVERIFY(helper.waitForStarted());
        QVERIFY(waitFor(helper, [&] { return scene.recordedBytes() > 20000; }));
        QSet<QString> intruders;
        for (int i = files - 100; i < files; ++i) {
            const QString name = u"n_"_s + fileName(i);
            QVERIFY(Platform::renameNoReplace(scene.tree.write(u"intruder.tmp"_s, fileName(i).toUtf8()),
                                              scene.folder + u'/' + name) == Platform::RenameResult::Renamed);
            intruders.insert(name);
        }
        QVERIFY(helper.waitForFinished(120000));
        QCOMPARE(helper.exitCode(), 0); // every rename that happened is recorded
        const int renamed = scene.verify(0, intruders);
        QCOMPARE(renamed, files - 100);
        QVERIFY(scene.undoAll(intruders));
        for (const QString& name : std::as_const(intruders))
            QVERIFY(QFileInfo::exists(scene.folder + u'/' + name));
    }

    void killDuringWorkbookSave_data()
    {
        QTest::addColumn<int>("saves");
        QTest::addColumn<int>("delayMs");
        QTest::newRow("first save, early") << 0 << 5;
        QTest::newRow("first save, later") << 0 << 60;
        QTest::newRow("after two saves") << 2 << 20;
    }

    // A save killed at any point leaves the old or the new workbook at its
    // path, never a third thing.
    void killDuringWorkbookSave()
    {
        QFETCH(int, saves);
        QFETCH(int, delayMs);
        TempTree tree;
        const QString path = tree.file(u"book.xlsx"_s);
        {
            Xl::ExcelHost host;
            Xl::Workbook* book = host.Add();
            QVERIFY(book);
            for (int row = 1; row <= 20000; ++row)
                book->Worksheets(1)->Cells(row, 1).setValue(Xl::CellValue::number(0));
            QVERIFY(book->SaveAs(path));
        }
        QProcess helper;
        helper.start(QCoreApplication::applicationDirPath() + u"/fault_helper"_s, {u"save"_s, path});
        QVERIFY(helper.waitForStarted());
        QByteArray output;
        QVERIFY(waitFor(helper, [&] {
            helper.waitForReadyRead(10);
            output += helper.readAllStandardOutput();
            return output.count("saved") >= saves;
        }));
        QThread::msleep(quint64(delayMs));
        helper.kill();
        QVERIFY(helper.waitForFinished());
        output += helper.readAllStandardOutput();
        const int done = int(output.count("saved"));

        Xl::ExcelHost host;
        Xl::WorkbookError error;
        Xl::Workbook* book = host.Open(path, &error);
        QVERIFY2(book, qPrintable(error.detail));
        Xl::Worksheet* sheet = book->Worksheets(1);
        const QString first = sheet->Cells(1, 1).Text();
        QVERIFY2(first.toInt() == done || first.toInt() == done + 1, qPrintable(first));
        for (int row = 1; row <= 20000; row += 997)
            QCOMPARE(sheet->Cells(row, 1).Text(), first);
        QCOMPARE(sheet->Cells(20000, 1).Text(), first);
    }

    // The undo folder on a small file system that fills up mid-run: the run
    // stops before the first rename it cannot record.
    void undoFolderFillsUp()
    {
        constexpr int files = 3000;
        Scene scene(files);
        const QByteArray mountPoint = QFile::encodeName(scene.undoFolder);
        if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0) {
            const int error = errno;
            QSKIP(qPrintable(u"a small tmpfs cannot be mounted here (mount: "_s + Platform::errnoText(error) +
                             u"; it needs CAP_SYS_ADMIN)"_s));
        }
        const auto unmount = qScopeGuard([&] { ::umount2(mountPoint.constData(), MNT_DETACH); });
        QProcess helper;
        scene.startRename(helper, 0);
        QVERIFY(helper.waitForStarted());
        QVERIFY(helper.waitForFinished(120000));
        const QString output = QString::fromUtf8(helper.readAllStandardOutput());
        QCOMPARE(helper.exitCode(), 1);
        QVERIFY2(output.contains(u"stopped "_s), qPrintable(output));
        const int renamed = scene.verify(0);
        QVERIFY(renamed > 0 && renamed < files);
        QVERIFY2(output.contains(u"renamed %1\n"_s.arg(renamed)), qPrintable(output));
        QVERIFY(scene.undoAll());
    }
};

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
