// The whole cycle in the real window, offscreen: list, preview, execute, undo,
// clear the records, and the File and Help menus, with every question answered
// through scripted dialogs and every message text checked.

#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "TempTree.h"
#include "app/MainWindow.h"
#include "execute/InfoWindow.h"
#include "platform/FileAttributes.h"
#include "platform/FixedClock.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace App;
using Platform::MessageAnswer;
using Platform::MessageButtons;
using Platform::MessageIcon;

namespace {

struct Fixture
{
    TempTree app;
    TempTree data;
    TempTree folder;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    Platform::FixedClock clock{QDateTime(QDate(2013, 10, 17), QTime(9, 5, 30))};
    std::unique_ptr<MainWindow> window;

    explicit Fixture(const QStringList& files = {u"a.txt"_s, u"b.txt"_s, u"c.txt"_s})
    {
        for (const QString& name : files)
            folder.write(name, name.toUtf8());
        MainWindowServices services;
        services.paths = Platform::AppPaths(app.path(), data.file(u"user"_s));
        services.dialogs = &dialogs;
        services.shell = &shell;
        services.clock = &clock;
        services.executablePath = u"/opt/tarnwick/bin/tarnwick"_s;
        window = std::make_unique<MainWindow>(services);
        window->startUp();
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qFatal("window not exposed");
    }

    MainWindow& w() { return *window; }
    QString undoFolder() const { return app.file(u"undofile"_s); }
    QString column(int row, FileRow::Column c) const { return window->fileListModel()->cell(row, c); }
    bool enabled(MainWindow::ToolbarButton b) const { return window->toolbarAction(b)->isEnabled(); }
};

} // namespace

class TestRoundTrip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void noFileChosenGuardsEveryButtonButUndo_data();
    void noFileChosenGuardsEveryButtonButUndo();
    void previewExecuteUndo();
    void answeringNoChangesNothing();
    void deleteMessageComesOnAnyButton();
    void documentWarningOnlyWhenNamesAreUsed();
    void toolbarKeys();
    void attributesTab();
    void clearRecordsFromToolbarAndMenu();
    void fileMenu();
    void helpMenu();
};

void TestRoundTrip::noFileChosenGuardsEveryButtonButUndo_data()
{
    QTest::addColumn<int>("button");
    for (auto b : {MainWindow::ShowName, MainWindow::execute, MainWindow::Usage, MainWindow::Help,
                   MainWindow::DeleteDocs})
        QTest::newRow(qPrintable(QString::number(b))) << int(b);
}

void TestRoundTrip::noFileChosenGuardsEveryButtonButUndo()
{
    QFETCH(int, button);
    Fixture f(QStringList{});
    f.w().RunToolbarCommand(MainWindow::ToolbarButton(button));
    QCOMPARE(f.dialogs.texts(), QStringList{u"没有选择文件！"_s});
    QCOMPARE(f.dialogs.messages[0].icon, MessageIcon::Information);
    QVERIFY(f.shell.help.isEmpty());
    QVERIFY(f.dialogs.fileRequests.isEmpty());
}

void TestRoundTrip::previewExecuteUndo()
{
    Fixture f;
    MainWindow& w = f.w();
    w.selectTab(0); // numbering with its design values: 360430 + 001, 002, 003
    w.folderSelected(f.folder.path());
    QVERIFY(f.enabled(MainWindow::ShowName));
    w.RunToolbarCommand(MainWindow::ShowName);
    QCOMPARE(f.column(0, FileRow::NewName), u"360430001.txt"_s);
    QCOMPARE(f.column(2, FileRow::NewName), u"360430003.txt"_s);
    QVERIFY(f.enabled(MainWindow::execute));
    QVERIFY(!f.enabled(MainWindow::ShowName));
    QVERIFY(f.dialogs.messages.isEmpty());

    f.dialogs.answers.enqueue(MessageAnswer::Yes);
    // The user takes a while to answer: the record still carries the time of the click.
    f.dialogs.onMessage = [&f](const Platform::MessageRequest&) {
        f.clock.set(QDateTime(QDate(2013, 10, 17), QTime(9, 6, 2)));
    };
    w.RunToolbarCommand(MainWindow::execute);
    f.dialogs.onMessage = nullptr;
    QCOMPARE(f.dialogs.messages.size(), 2);
    const Platform::MessageRequest question = f.dialogs.messages[0];
    QCOMPARE(question.text, u"是否重命名这些文件?"_s);
    QCOMPARE(question.buttons, MessageButtons::YesNo);
    QCOMPARE(question.icon, MessageIcon::Information);
    QCOMPARE(question.defaultAnswer, MessageAnswer::No);
    QCOMPARE(f.dialogs.messages[1].text, u"操作完成！"_s);
    QCOMPARE(f.dialogs.messages[1].icon, MessageIcon::Information);
    for (int row = 0; row < 3; ++row)
        QCOMPARE(f.column(row, FileRow::option), u"操作成功"_s);
    QCOMPARE(f.column(0, FileRow::OldName), u"360430001.txt"_s);
    QCOMPARE(f.folder.entries(), (QStringList{u"360430001.txt"_s, u"360430002.txt"_s, u"360430003.txt"_s}));
    QVERIFY(!f.enabled(MainWindow::execute));
    QVERIFY(f.enabled(MainWindow::Undo));
    QVERIFY(f.enabled(MainWindow::DeleteDocs));

    const QString record = f.undoFolder() + u"/2013-10-17 9时5分30秒.txt"_s;
    const QByteArray folder = f.folder.path().toUtf8();
    QCOMPARE(f.app.read(u"undofile/2013-10-17 9时5分30秒.txt"_s),
             "\"" + folder + "/360430001.txt\r\n" + folder + "/a.txt\"\r\n" + "\"" + folder +
                 "/360430002.txt\r\n" + folder + "/b.txt\"\r\n" + "\"" + folder + "/360430003.txt\r\n" +
                 folder + "/c.txt\"\r\n");

    // Undo: the file dialog opens in the undo folder; the question names the folder.
    f.dialogs.clear();
    f.dialogs.files.enqueue(record);
    f.dialogs.answers.enqueue(MessageAnswer::Yes);
    w.RunToolbarCommand(MainWindow::Undo);
    QCOMPARE(f.dialogs.fileRequests.size(), 1);
    QCOMPARE(f.dialogs.fileRequests[0].filter, u"文本文档(*.txt)|*.txt"_s);
    QCOMPARE(f.dialogs.fileRequests[0].initialFolder, f.undoFolder());
    QCOMPARE(f.dialogs.texts(),
             (QStringList{u"要撤消以下文件夹中所有文件重命名吗？\r\n"_s + f.folder.path() + u'/',
                          u"3 个文件按要求撤消重命名！"_s}));
    QCOMPARE(f.dialogs.messages[0].defaultAnswer, MessageAnswer::No);
    QCOMPARE(f.dialogs.messages[1].icon, MessageIcon::None);
    QCOMPARE(f.folder.entries(), (QStringList{u"a.txt"_s, u"b.txt"_s, u"c.txt"_s}));
    QVERIFY(f.app.entries(u"undofile"_s).isEmpty());
    // The record is gone, so "执行重命名" is disabled; the list is not refreshed.
    QVERIFY(!f.enabled(MainWindow::execute));
    QCOMPARE(f.column(0, FileRow::OldName), u"360430001.txt"_s);
}

void TestRoundTrip::answeringNoChangesNothing()
{
    Fixture f;
    MainWindow& w = f.w();
    w.selectTab(0);
    w.folderSelected(f.folder.path());
    w.RunToolbarCommand(MainWindow::ShowName);
    f.dialogs.answers.enqueue(MessageAnswer::No);
    w.RunToolbarCommand(MainWindow::execute);
    QCOMPARE(f.dialogs.texts(), QStringList{u"是否重命名这些文件?"_s});
    QCOMPARE(f.folder.entries(), (QStringList{u"a.txt"_s, u"b.txt"_s, u"c.txt"_s}));
    QVERIFY(f.app.entries(u"undofile"_s).isEmpty());
    QVERIFY(f.column(0, FileRow::option).isEmpty());
    QVERIFY(!f.enabled(MainWindow::Undo)); // the undo folder was empty
    QVERIFY(f.enabled(MainWindow::execute));
}

void TestRoundTrip::deleteMessageComesOnAnyButton()
{
    Fixture f({u"ab.txt"_s, u"cd.txt"_s});
    MainWindow& w = f.w();
    w.selectTab(1);
    w.folderSelected(f.folder.path());
    auto* count = w.findChild<QLineEdit*>(u"TxtNumDel_0"_s);
    QVERIFY(count);
    count->setText(u"2"_s);
    w.RunToolbarCommand(MainWindow::Help);
    // One message for both files, then the help.
    QCOMPARE(f.dialogs.texts(),
             QStringList{u"文件名ab少于或等于2位\r\n不能删除文件名中的字符！\r\n文件将保留原文件名！"_s});
    QCOMPARE(f.dialogs.messages[0].icon, MessageIcon::None);
    QCOMPARE(f.shell.help.size(), 1);
    QCOMPARE(f.w().LstOld(), (QStringList{u"ab.txt"_s, u"cd.txt"_s}));
}

// The reference document is read on every button, but only the commands that
// use the names warn that it cannot be read.
void TestRoundTrip::documentWarningOnlyWhenNamesAreUsed()
{
    Fixture f;
    MainWindow& w = f.w();
    w.selectTab(6);
    w.folderSelected(f.folder.path());
    const QString document = f.data.write(u"names.txt"_s, "x\r\n");
    f.dialogs.files.enqueue(document);
    auto* custom = w.findChild<QRadioButton*>(u"OptFile_1"_s);
    QVERIFY(custom);
    custom->click();
    QFile::remove(document);
    f.dialogs.clear();
    w.RunToolbarCommand(MainWindow::Help);
    w.RunToolbarCommand(MainWindow::Undo); // cancelled: no record chosen
    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.texts().join(u'|')));
    QCOMPARE(f.shell.help.size(), 1);
    w.RunToolbarCommand(MainWindow::ShowName);
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages[0].text.startsWith(u"无法读取引用文档："_s + document));
}

// Preview, execute, undo and help have keys, named in their tooltips.
void TestRoundTrip::toolbarKeys()
{
    Fixture f;
    MainWindow& w = f.w();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_F1); // no folder chosen yet: the help opens all the same
    QCOMPARE(f.shell.help.size(), 1);
    w.selectTab(0);
    w.folderSelected(f.folder.path());
    QCOMPARE(w.toolbarAction(MainWindow::ShowName)->toolTip(), u"预览新文件名 (F5)"_s);
    QCOMPARE(w.toolbarAction(MainWindow::execute)->toolTip(), u"执行重命名 (Ctrl+R)"_s);
    QCOMPARE(w.toolbarAction(MainWindow::Undo)->toolTip(), u"撤消重命名 (Ctrl+Shift+Z)"_s);
    QCOMPARE(w.helpMenuAction(0)->shortcut(), QKeySequence(Qt::Key_F1));
    QTest::keyClick(&w, Qt::Key_F5);
    QCOMPARE(f.column(0, FileRow::NewName), u"360430001.txt"_s);
    f.dialogs.answers.enqueue(MessageAnswer::No);
    QTest::keyClick(&w, Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(f.dialogs.texts(), QStringList{u"是否重命名这些文件?"_s});
}

void TestRoundTrip::attributesTab()
{
    Fixture f({u"a.txt"_s, u"b.txt"_s});
    MainWindow& w = f.w();
    if (!Platform::writeAttributes(f.folder.file(u"a.txt"_s), Platform::AttrArchive))
        QSKIP("this file system stores no extended attributes");
    w.folderSelected(f.folder.path());
    w.selectTab(8);
    QVERIFY(f.enabled(MainWindow::execute));
    QVERIFY(!f.enabled(MainWindow::ShowName));
    w.findChild<QCheckBox*>(u"ChkSX_1"_s)->click(); // read-only
    w.RunToolbarCommand(MainWindow::execute);
    QVERIFY(f.dialogs.messages.isEmpty()); // no question, no message
    QCOMPARE(f.column(0, FileRow::option), u"成功设置"_s);
    QCOMPARE(f.column(1, FileRow::option), u"成功设置"_s);
    QCOMPARE(Platform::readAttributes(f.folder.file(u"a.txt"_s)), int(Platform::AttrReadOnly));
    QVERIFY(!f.enabled(MainWindow::execute));
    QVERIFY(f.app.entries(u"undofile"_s).isEmpty());
    Platform::writeAttributes(f.folder.file(u"a.txt"_s), 0);
    Platform::writeAttributes(f.folder.file(u"b.txt"_s), 0);
}

void TestRoundTrip::clearRecordsFromToolbarAndMenu()
{
    Fixture f;
    f.app.write(u"undofile/r1.txt"_s, "x");
    f.app.write(u"undofile/r2.txt"_s, "y");
    MainWindow& w = f.w();
    w.folderSelected(f.folder.path());
    // Keep the first record, trash the second.
    f.dialogs.answers.enqueue(MessageAnswer::No);
    f.dialogs.answers.enqueue(MessageAnswer::Yes);
    w.RunToolbarCommand(MainWindow::DeleteDocs);
    QCOMPARE(f.dialogs.messages.size(), 2);
    QCOMPARE(f.dialogs.messages[0].buttons, MessageButtons::YesNo);
    QVERIFY(f.dialogs.messages[0].text.contains(u"r1.txt"_s));
    QCOMPARE(f.app.entries(u"undofile"_s), QStringList{u"r1.txt"_s});
    const QString trash = qEnvironmentVariable("XDG_DATA_HOME") + u"/Trash"_s;
    QVERIFY(QFile::exists(trash + u"/files/r2.txt"_s) ||
            QFile::exists(QDir::homePath() + u"/.local/share/Trash/files/r2.txt"_s));

    // From the menu: the folder becomes empty and the entry itself is disabled.
    f.dialogs.clear();
    const bool undoBefore = f.enabled(MainWindow::Undo);
    const bool deleteBefore = f.enabled(MainWindow::DeleteDocs);
    w.fileMenuAction(2)->trigger();
    QVERIFY(f.app.entries(u"undofile"_s).isEmpty());
    QVERIFY(!w.fileMenuAction(2)->isEnabled());
    // The toolbar keeps its state.
    QCOMPARE(f.enabled(MainWindow::Undo), undoBefore);
    QCOMPARE(f.enabled(MainWindow::DeleteDocs), deleteBefore);
    // From the toolbar, an emptied folder disables its two buttons.
    f.app.write(u"undofile/r3.txt"_s, "z");
    w.RunToolbarCommand(MainWindow::DeleteDocs);
    QVERIFY(f.app.entries(u"undofile"_s).isEmpty());
    QVERIFY(!f.enabled(MainWindow::Undo));
    QVERIFY(!f.enabled(MainWindow::DeleteDocs));
}

void TestRoundTrip::fileMenu()
{
    Fixture f;
    MainWindow& w = f.w();
    w.fileMenuAction(0)->trigger();
    QCOMPARE(f.dialogs.texts(), QStringList{u"请在树状目录列表中单击选择文件夹! "_s});
    QCOMPARE(f.dialogs.messages[0].icon, MessageIcon::Information);
    QVERIFY(f.shell.properties.isEmpty());
    w.folderSelected(f.folder.path());
    f.dialogs.clear();
    w.fileMenuAction(0)->trigger();
    QCOMPARE(f.shell.properties, QStringList{f.folder.path()});
    QVERIFY(f.dialogs.messages.isEmpty());

    // Start-up put the program's files in place; the repair finds nothing missing.
    w.fileMenuAction(1)->trigger();
    QCOMPARE(f.dialogs.texts(), QStringList{u"没有控件错误，\r\n不需任何修复！"_s});
    QVERIFY(QFile::remove(f.app.file(u"HanZi.txt"_s)));
    f.dialogs.clear();
    w.fileMenuAction(1)->trigger();
    QCOMPARE(f.dialogs.texts(), QStringList{u"控件错误修复成功！"_s});
    QVERIFY(f.app.read(u"HanZi.txt"_s).startsWith("=E4=B8=80\xD2\xBB\r\n"));
}

void TestRoundTrip::helpMenu()
{
    Fixture f;
    MainWindow& w = f.w();
    w.helpMenuAction(0)->trigger();
    QCOMPARE(f.shell.help, QStringList{f.app.file(u"FileHelp.html"_s)});
    QVERIFY(f.dialogs.messages.isEmpty());

    w.helpMenuAction(3)->trigger();
    QCOMPARE(f.dialogs.texts(), QStringList{u"tarnwick已是最高版本！"_s});

    w.helpMenuAction(2)->trigger();
    auto* info = w.findChild<Execute::InfoWindow*>();
    QVERIFY(info);
    QTRY_VERIFY(info->isVisible());
    QVERIFY(info->isModal());
    QCOMPARE(info->currentPage(), Execute::InfoWindow::Page::Usage);
    info->close();
    QTRY_VERIFY(!w.findChild<Execute::InfoWindow*>());
    w.helpMenuAction(1)->trigger();
    info = w.findChild<Execute::InfoWindow*>();
    QVERIFY(info);
    QCOMPARE(info->currentPage(), Execute::InfoWindow::Page::Contact);
    info->close();

    // A help window that cannot be opened runs the repair instead.
    f.shell.succeed = false;
    f.dialogs.clear();
    w.helpMenuAction(0)->trigger();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages[0].text.contains(u"修复"_s));
}

QTEST_MAIN(TestRoundTrip)
#include "tst_roundtrip.moc"
