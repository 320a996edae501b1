#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "FocusWalk.h"
#include "TempTree.h"

#include "app/MainWindow.h"
#include "folders/FrmFolder.h"
#include "platform/FixedClock.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using App::MainWindow;
using Folders::FrmFolder;

namespace {

// The application's active window is `window` (a tool window shares activation
// with its owner, so QWidget::isActiveWindow() cannot tell).
bool becameActive(QWidget* window)
{
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, 5000);
}

// The main window over temporary folders, with the folder tool opened from its menu.
struct Fixture
{
    TempTree app;
    TempTree data;
    TempTree work;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    Platform::FixedClock clock{QDateTime(QDate(2013, 10, 17), QTime(9, 5, 30))};
    std::unique_ptr<MainWindow> main;

    Fixture()
    {
        App::MainWindowServices services;
        services.paths = Platform::AppPaths(app.path(), data.file(u"user"_s));
        services.dialogs = &dialogs;
        services.shell = &shell;
        services.clock = &clock;
        services.executablePath = u"/opt/tarnwick/bin/tarnwick"_s;
        services.anotherCopyRuns = [] { return false; };
        main = std::make_unique<MainWindow>(services);
        if (!main->startUp())
            qFatal("start-up refused");
        main->show();
        if (!QTest::qWaitForWindowExposed(main.get()))
            qFatal("main window not exposed");
    }

    QAction* menuEntry(const QString& name) const { return main->findChild<QAction*>(name); }

    FrmFolder* openTool()
    {
        menuEntry(u"mfolder"_s)->trigger();
        auto* tool = main->findChild<FrmFolder*>();
        if (tool && !becameActive(tool))
            qWarning("tool window not active");
        return tool;
    }

    // Makes the main window active, then the tool again, as a user switching windows.
    void reactivate(FrmFolder* tool)
    {
        main->activateWindow();
        if (!becameActive(main.get()))
            qWarning("main window not active");
        tool->activateWindow();
        if (!becameActive(tool))
            qWarning("tool window not active");
    }

    // A picked folder with three sub-folders holding 2, 0 and 4 files.
    QString makeTree()
    {
        for (const QString& file :
             {u"Jan/1.txt"_s, u"Jan/2.txt"_s, u"Mar/a.JPG"_s, u"Mar/b.JPG"_s, u"Mar/c.JPG"_s, u"Mar/d.JPG"_s})
            work.write(u"pick/"_s + file, file.toUtf8());
        work.mkdir(u"pick/Feb"_s);
        return work.file(u"pick"_s);
    }
};

template <typename T> T* control(FrmFolder* tool, const QString& name)
{
    return tool->findChild<T*>(name);
}

QStringList entries(QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->item(i)->text());
    return out;
}

} // namespace

// The folder tool window, driven offscreen from the main window's Tools menu.
class TestFrmFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every control is reached by Tab and has a name a screen reader reads.
    void keyboardAndScreenReaderWalk()
    {
        Fixture f;
        FrmFolder* tool = f.openTool();
        QVERIFY(tool);
        const FocusWalk walk = walkFocusChain(tool);
        QVERIFY2(walk.problems.isEmpty(), qPrintable(walk.problems.join(u"; "_s)));
        QVERIFY(walk.visited.contains(control<QListWidget>(tool, u"LstNew"_s)));
    }

    void opensOwnedAndPlaced()
    {
        Fixture f;
        QVERIFY(f.menuEntry(u"mfolder"_s)->isEnabled());
        FrmFolder* tool = f.openTool();
        QVERIFY(tool);
        QCOMPARE(tool->parentWidget(), f.main.get());
        QVERIFY(tool->isWindow());
        QCOMPARE(tool->windowModality(), Qt::NonModal);
        QCOMPARE(tool->windowTitle(), u"文件夹重命名"_s);
        const App::ToolWindowRect rect = f.main->toolWindowRect();
        QCOMPARE(tool->frameGeometry().topLeft(),
                 f.main->frameGeometry().topLeft() + QPoint(rect.left / 15, rect.top / 15));
        QCOMPARE(tool->frameGeometry().width(), rect.width / 15);
        // The lists take their places in proportion to the placed size.
        auto* list = control<QListWidget>(tool, u"LstFolder"_s);
        QCOMPARE(list->width(), qRound(285.0 * tool->width() / FrmFolder::DesignWidth));
        QCOMPARE(control<QListWidget>(tool, u"LstFile"_s)->geometry(), list->geometry());

        // The same window comes back while it is open; a closed one starts afresh.
        QCOMPARE(f.openTool(), tool);
        tool->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        FrmFolder* again = f.openTool();
        QVERIFY(again);
        QCOMPARE(again->toolMode(), Folders::ToolMode::FoldersOnly);
        QVERIFY(again->ToolFolder().isEmpty());
    }

    // The function text follows the main window's tab each time the tool becomes active.
    void functionTextFollowsMainWindow()
    {
        Fixture f;
        FrmFolder* tool = f.openTool();
        QCOMPARE(tool->statusPanel(1), u"选项不支持文件夹重命名，请重新选择！"_s);
        f.main->selectTab(0);
        f.reactivate(tool);
        QCOMPARE(tool->statusPanel(1), u"功能：仅重命名文件夹+自动编号"_s);

        tool->OptFile_Click(1);
        QCOMPARE(tool->statusPanel(1), u"功能：文件夹名+文件名"_s);
        control<QCheckBox>(tool, u"ChkCopy"_s)->click();
        QCOMPARE(tool->statusPanel(1), u"功能：文件夹名+文件名(复制到新文件夹)"_s);
        f.main->selectTab(3);
        f.reactivate(tool);
        QCOMPARE(tool->statusPanel(1), u"选项不支持文件夹重命名，请重新选择！"_s);
        f.main->selectTab(2);
        f.reactivate(tool);
        QCOMPARE(tool->statusPanel(1), u"功能：文件夹名+文件名(复制到新文件夹)"_s);

        control<QRadioButton>(tool, u"OptFile_0"_s)->click();
        QCOMPARE(tool->statusPanel(1), u"功能：添加前后缀+仅重命名文件夹"_s);
        QVERIFY(!control<QCheckBox>(tool, u"ChkCopy"_s)->isChecked());
        QVERIFY(!control<QCheckBox>(tool, u"ChkCopy"_s)->isEnabled());
        f.main->selectTab(3);
        control<QRadioButton>(tool, u"OptFile_0"_s)->click();
        QCOMPARE(tool->statusPanel(1), u"选项不支持文件夹重命名，请重新选择！"_s);
    }

    void browsesAndSwitchesModes()
    {
        Fixture f;
        FrmFolder* tool = f.openTool();
        auto* folders = control<QListWidget>(tool, u"LstFolder"_s);
        auto* files = control<QListWidget>(tool, u"LstFile"_s);
        const QString picked = f.makeTree();
        f.dialogs.folders.enqueue(picked);
        control<QPushButton>(tool, u"CmdOpen"_s)->click();
        QCOMPARE(entries(folders), (QStringList{u"Feb"_s, u"Jan"_s, u"Mar"_s}));
        QCOMPARE(folders->toolTip(), u"共有 3 个文件夹！"_s);
        QCOMPARE(files->count(), 6);
        QCOMPARE(files->toolTip(), u"共有 6 个文件！"_s);
        QVERIFY(!files->isVisible());
        QCOMPARE(control<QLineEdit>(tool, u"TxtAdress"_s)->text(), picked + u'/');
        QCOMPARE(tool->ToolFolder(), picked + u'/');

        control<QRadioButton>(tool, u"OptFile_1"_s)->click();
        QVERIFY(!folders->isVisible());
        QVERIFY(files->isVisible());
        QVERIFY(control<QCheckBox>(tool, u"ChkCopy"_s)->isEnabled());

        // Cancelling keeps what was picked before, but the folder list is cleared.
        f.dialogs.folders.enqueue(QString());
        control<QPushButton>(tool, u"CmdOpen"_s)->click();
        QCOMPARE(f.dialogs.texts(), QStringList{u"所选文件夹内没有子文件夹！"_s});
        QCOMPARE(folders->count(), 0);
        QCOMPARE(tool->ToolFolder(), picked + u'/');
        QCOMPARE(files->count(), 6);
    }

    // Preview and execution of mode 0 with the main window's numbering; the
    // main window's undo button comes on, and the selection follows between lists.
    void previewsAndRenamesFolders()
    {
        Fixture f;
        FrmFolder* tool = f.openTool();
        control<QPushButton>(tool, u"Cmdview"_s)->click();
        QCOMPARE(f.dialogs.texts(), QStringList{u"请选择文件夹！"_s});
        QCOMPARE(f.dialogs.messages.at(0).title, u"   文件夹重命名"_s);

        const QString picked = f.makeTree();
        f.dialogs.clear();
        f.dialogs.folders.enqueue(picked);
        control<QPushButton>(tool, u"CmdOpen"_s)->click();
        f.main->selectTab(4);
        control<QPushButton>(tool, u"Cmdview"_s)->click();
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY(f.dialogs.messages.at(0).text.startsWith(u"文件夹重命名只支持："_s));
        QCOMPARE(control<QListWidget>(tool, u"LstNew"_s)->count(), 0);

        f.main->selectTab(0);
        f.dialogs.clear();
        control<QPushButton>(tool, u"Cmdview"_s)->click();
        auto* fresh = control<QListWidget>(tool, u"LstNew"_s);
        QCOMPARE(entries(fresh), (QStringList{u"360430001"_s, u"360430002"_s, u"360430003"_s}));
        QCOMPARE(fresh->toolTip(), u"共有 3 个文件！"_s);
        QCOMPARE(tool->statusPanel(2), u"共有 3 个文件(夹)！"_s);
        QCOMPARE(tool->ToolItemCount(), 3);

        fresh->setCurrentRow(2);
        QCOMPARE(control<QListWidget>(tool, u"LstFolder"_s)->currentRow(), 2);
        control<QListWidget>(tool, u"LstFolder"_s)->setCurrentRow(1);
        QCOMPARE(fresh->currentRow(), 1);

        QVERIFY(!f.main->toolbarAction(MainWindow::Undo)->isEnabled());
        f.dialogs.answers.enqueue(Platform::MessageAnswer::Yes);
        control<QPushButton>(tool, u"CmdOK"_s)->click();
        QCOMPARE(f.dialogs.texts(),
                 (QStringList{u"是否重命名这些文件夹?"_s, u"文件夹已全部按要求重命名！"_s}));
        QCOMPARE(f.work.entries(u"pick"_s), (QStringList{u"360430001"_s, u"360430002"_s, u"360430003"_s}));
        QVERIFY(f.main->toolbarAction(MainWindow::Undo)->isEnabled());
        QCOMPARE(f.app.entries(u"undofile"_s), QStringList{u"2013-10-17 9时5分30秒.txt"_s});
        // The lists still show the names from before the run.
        QCOMPARE(entries(control<QListWidget>(tool, u"LstFolder"_s)),
                 (QStringList{u"Feb"_s, u"Jan"_s, u"Mar"_s}));

        // The main window's "撤消重命名" plays the record back.
        f.dialogs.clear();
        f.dialogs.files.enqueue(f.app.file(u"undofile/2013-10-17 9时5分30秒.txt"_s));
        f.dialogs.answers.enqueue(Platform::MessageAnswer::Yes);
        f.main->RunToolbarCommand(MainWindow::Undo);
        QCOMPARE(f.work.entries(u"pick"_s), (QStringList{u"Feb"_s, u"Jan"_s, u"Mar"_s}));
        QCOMPARE(f.work.read(u"pick/Jan/2.txt"_s), QByteArray("Jan/2.txt"));
        QCOMPARE(f.dialogs.texts().last(), u"3 个文件按要求撤消重命名！"_s);
    }

    void blankLineMenuEntries()
    {
        Fixture f;
        for (int i = 0; i < 4; ++i)
            QVERIFY(f.menuEntry(u"mDelLine_"_s + QString::number(i))->isEnabled());
        f.menuEntry(u"mDelLine_2"_s)->trigger();
        QCOMPARE(f.dialogs.texts(), QStringList{u"请在左侧树状目录中选择文件夹"_s});

        f.work.write(u"t/a.txt"_s, "a\n\nb");
        f.main->folderSelected(f.work.file(u"t"_s));
        f.dialogs.clear();
        f.menuEntry(u"mDelLine_3"_s)->trigger();
        QCOMPARE(f.dialogs.texts(), QStringList{u"已完成文档空行删除操作，请查看"_s});
        QCOMPARE(f.work.read(u"t/a.txt"_s), QByteArray("a\r\nb\r\n"));
        QCOMPARE(f.work.entries(u"t"_s), QStringList{u"a.txt"_s});

        f.work.write(u"t/a.txt"_s, "c\n \n");
        f.dialogs.clear();
        f.dialogs.files.enqueue(f.work.file(u"t/a.txt"_s));
        f.menuEntry(u"mDelLine_0"_s)->trigger();
        QCOMPARE(f.dialogs.fileRequests.at(0).initialFolder, f.main->CurrentFolder());
        QCOMPARE(f.dialogs.texts(),
                 QStringList{u"文档空行已经删除,原文档备份在:\r\n"_s + f.work.file(u"t/_a.txt"_s)});
        QCOMPARE(f.work.read(u"t/_a.txt"_s), QByteArray("c\n \n"));
    }

    void screenshots()
    {
        Fixture f;
        FrmFolder* tool = f.openTool();
        f.dialogs.folders.enqueue(f.makeTree());
        control<QPushButton>(tool, u"CmdOpen"_s)->click();
        f.main->selectTab(0);
        f.reactivate(tool);
        control<QPushButton>(tool, u"Cmdview"_s)->click();
        QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
        const QString mode0 = QStringLiteral(SCREENSHOT_DIR) + u"/frmfolder-mode0.png"_s;
        QVERIFY(tool->grab().save(mode0));
        tool->OptFile_Click(2);
        control<QPushButton>(tool, u"Cmdview"_s)->click();
        const QString mode2 = QStringLiteral(SCREENSHOT_DIR) + u"/frmfolder-mode2.png"_s;
        QVERIFY(tool->grab().save(mode2));
        QVERIFY(QFileInfo(mode2).size() > 0);
    }
};

QTEST_MAIN(TestFrmFolder)
#include "tst_frmfolder.moc"
