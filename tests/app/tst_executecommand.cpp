#include "ScriptedDialogs.h"
#include "TempTree.h"
#include "app/ExecuteCommand.h"
#include "app/HiddenFileList.h"
#include "app/ToolbarState.h"
#include "execute/UndoLogCleanup.h"
#include "execute/UndoRename.h"
#include "platform/FileAttributes.h"
#include "platform/FixedClock.h"

#include <QDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using App::ToolbarChange;
using App::ToolbarStep;
using Ran = App::ExecuteCommandResult::Ran;

Q_DECLARE_METATYPE(App::ToolbarChange)
Q_DECLARE_METATYPE(App::ToolbarStep)

namespace {

// A toolbar change written as four letters, one per button ShowName, execute,
// Undo, DeleteDocs: "+" enabled, "-" disabled, "." left alone.
ToolbarChange change(const char* buttons)
{
    const auto state = [](char c) -> std::optional<bool> {
        if (c == '.')
            return std::nullopt;
        return c == '+';
    };
    return {state(buttons[0]), state(buttons[1]), state(buttons[2]), state(buttons[3])};
}

// A folder of listed files and an undo folder, with what the window would gather.
struct Fixture
{
    explicit Fixture(const QStringList& names)
    {
        for (const QString& name : names)
            tree.write(u"files/"_s + name, name.toUtf8());
        undoFolder = tree.mkdir(u"undofile"_s);
        file1.setPath(tree.file(u"files"_s) + u'/');
        request.folder = file1.path();
        request.oldNames = file1.names();
        request.undoFolder = undoFolder;
        request.clock = &clock;
        request.file1 = &file1;
        request.toolbar = [this](const ToolbarChange& c) { toolbar.append(c); };
    }

    TempTree tree;
    QString undoFolder;
    App::HiddenFileList file1;
    Platform::FixedClock clock{QDateTime(QDate(2013, 10, 17), QTime(9, 5, 30))};
    ScriptedDialogs dialogs;
    App::ExecuteCommandRequest request;
    QList<ToolbarChange> toolbar;
};

} // namespace

class TestExecuteCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void toolbarRules_data();
    void toolbarRules();
    void toolbarAfterUndoAndClearing();
    void workbookTabDoesNothing();
    void attributesAskNothing();
    void declinedChangesNothing();
    void renameNamesRecordAtTheCommandAndReReadsTheList();
    void missingUndoFolderIsMadeAgain();
};

void TestExecuteCommand::toolbarRules_data()
{
    QTest::addColumn<ToolbarStep>("step");
    QTest::addColumn<int>("method");
    QTest::addColumn<bool>("undoFolderHasFiles");
    QTest::addColumn<ToolbarChange>("expected");
    QTest::newRow("start-up, records") << ToolbarStep::StartUp << 9 << true << change("--++");
    QTest::newRow("start-up, no record") << ToolbarStep::StartUp << 9 << false << change("----");
    QTest::newRow("tab 0") << ToolbarStep::TabSelected << 0 << false << change("+...");
    QTest::newRow("tab 7") << ToolbarStep::TabSelected << 7 << false << change("+...");
    QTest::newRow("tab 8") << ToolbarStep::TabSelected << 8 << false << change("-+..");
    QTest::newRow("tab 9") << ToolbarStep::TabSelected << 9 << false << change("-...");
    QTest::newRow("folder on tab 3") << ToolbarStep::FolderSelected << 3 << false << change("+...");
    QTest::newRow("folder on tab 8") << ToolbarStep::FolderSelected << 8 << false << change("+...");
    QTest::newRow("folder on tab 9") << ToolbarStep::FolderSelected << 9 << false << change("....");
    QTest::newRow("option changed") << ToolbarStep::OptionChanged << 2 << false << change("+...");
    QTest::newRow("previewed") << ToolbarStep::Previewed << 2 << false << change("-+..");
    QTest::newRow("attributes applied") << ToolbarStep::AttributesApplied << 8 << true << change(".-..");
    QTest::newRow("asking, no record") << ToolbarStep::AboutToAsk << 0 << false << change("..-.");
    QTest::newRow("asking, records") << ToolbarStep::AboutToAsk << 0 << true << change("....");
    QTest::newRow("renamed") << ToolbarStep::Renamed << 0 << false << change(".-++");
    QTest::newRow("folder tool recorded") << ToolbarStep::FolderToolRecorded << 9 << false << change("..+.");
}

void TestExecuteCommand::toolbarRules()
{
    QFETCH(ToolbarStep, step);
    QFETCH(int, method);
    QFETCH(bool, undoFolderHasFiles);
    QFETCH(ToolbarChange, expected);
    QVERIFY(App::toolbarChange(step, {method, undoFolderHasFiles}) == expected);
}

void TestExecuteCommand::toolbarAfterUndoAndClearing()
{
    Execute::UndoOutcome undo;
    undo.result = Execute::UndoOutcome::Result::Done;
    undo.undoFolderHasFiles = false;
    QVERIFY(App::toolbarChange(undo) == change(".-.."));
    undo.undoFolderHasFiles = true;
    QVERIFY(App::toolbarChange(undo) == change("...."));
    undo.result = Execute::UndoOutcome::Result::Declined;
    undo.undoFolderHasFiles = false;
    QVERIFY(App::toolbarChange(undo) == change("...."));

    Execute::ClearOutcome cleared;
    cleared.disableUndoButtons = true;
    QVERIFY(App::toolbarChange(cleared) == change("..--"));
    cleared.disableUndoButtons = false;
    cleared.disableMenuEntry = true; // from the menu the toolbar keeps its state
    QVERIFY(App::toolbarChange(cleared) == change("...."));
}

void TestExecuteCommand::workbookTabDoesNothing()
{
    Fixture f({u"a.txt"_s});
    f.request.method = Rename::RenameMethod::Workbook;
    f.request.newNames = {u"b.txt"_s};
    const App::ExecuteCommandResult result = App::RunExecuteCommand(f.request, f.dialogs);
    QCOMPARE(result.ran, Ran::Nothing);
    QVERIFY(f.dialogs.messages.isEmpty());
    QVERIFY(f.toolbar.isEmpty());
    QCOMPARE(f.tree.entries(u"files"_s), QStringList{u"a.txt"_s});
}

void TestExecuteCommand::attributesAskNothing()
{
    Fixture f({u"a.txt"_s, u"b.txt"_s});
    if (!Platform::writeAttributes(f.tree.file(u"files/a.txt"_s), Platform::AttrArchive))
        QSKIP("this file system stores no extended attributes");
    f.request.method = Rename::RenameMethod::Attributes;
    f.request.attributes.ChkSX = {true, true, true, false}; // 常规 adds nothing
    const App::ExecuteCommandResult result = App::RunExecuteCommand(f.request, f.dialogs);
    QCOMPARE(result.ran, Ran::Attributes);
    QCOMPARE(result.options, (QStringList{u"成功设置"_s, u"成功设置"_s}));
    QCOMPARE(Platform::readAttributes(f.tree.file(u"files/a.txt"_s)),
             Platform::AttrReadOnly | Platform::AttrHidden);
    QCOMPARE(Platform::readAttributes(f.tree.file(u"files/b.txt"_s)),
             Platform::AttrReadOnly | Platform::AttrHidden);
    QVERIFY(f.dialogs.messages.isEmpty());
    QCOMPARE(f.toolbar, QList<ToolbarChange>{change(".-..")});
    QVERIFY(f.tree.entries(u"undofile"_s).isEmpty());
    for (const QString& name : {u"files/a.txt"_s, u"files/b.txt"_s})
        Platform::writeAttributes(f.tree.file(name), 0);
}

void TestExecuteCommand::declinedChangesNothing()
{
    Fixture f({u"a.txt"_s});
    f.request.method = Rename::RenameMethod::PrefixSuffix;
    f.request.newNames = {u"x_a.txt"_s};
    QStringList order;
    f.request.aboutToAsk = [&] { order.append(u"rows"_s); };
    f.dialogs.onMessage = [&](const Platform::MessageRequest& asked) { order.append(asked.text); };
    f.dialogs.answers.enqueue(Platform::MessageAnswer::No);
    const App::ExecuteCommandResult result = App::RunExecuteCommand(f.request, f.dialogs);
    QCOMPARE(result.ran, Ran::Declined);
    QCOMPARE(order, (QStringList{u"rows"_s, u"是否重命名这些文件?"_s}));
    QCOMPARE(f.dialogs.messages.first().defaultAnswer, Platform::MessageAnswer::No);
    QCOMPARE(f.tree.entries(u"files"_s), QStringList{u"a.txt"_s});
    QVERIFY(f.tree.entries(u"undofile"_s).isEmpty());
    // With no record in the undo folder, "撤消重命名" goes off before the question.
    QCOMPARE(f.toolbar, QList<ToolbarChange>{change("..-.")});
}

void TestExecuteCommand::renameNamesRecordAtTheCommandAndReReadsTheList()
{
    Fixture f({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s});
    f.file1.setPattern(u"*.txt"_s);
    f.request.method = Rename::RenameMethod::Extension;
    f.request.oldNames = f.file1.names();
    f.request.newNames = {u"z.txt"_s, u"b.doc"_s, u"c.txt"_s};
    // The user answers a minute after the click.
    f.dialogs.onMessage = [&](const Platform::MessageRequest&) {
        f.clock.set(QDateTime(QDate(2013, 10, 17), QTime(9, 6, 30)));
    };
    f.dialogs.answers.enqueue(Platform::MessageAnswer::Yes);
    const App::ExecuteCommandResult result = App::RunExecuteCommand(f.request, f.dialogs);
    QCOMPARE(result.ran, Ran::Renamed);
    QCOMPARE(result.options, (QStringList{u"操作成功"_s, u"操作成功"_s, u"操作失败"_s}));
    QCOMPARE(result.outcome.undoLogPath, f.undoFolder + u"/2013-10-17 9时5分30秒.txt"_s);
    QCOMPARE(f.tree.entries(u"undofile"_s), QStringList{u"2013-10-17 9时5分30秒.txt"_s});
    // File1 is read again with its pattern; b.doc no longer matches, so the
    // last of the three rows is empty.
    QCOMPARE(f.file1.names(), (QStringList{u"c.txt"_s, u"z.txt"_s}));
    QCOMPARE(result.oldNames, (QStringList{u"c.txt"_s, u"z.txt"_s, QString()}));
    QCOMPARE(f.toolbar, (QList<ToolbarChange>{change("..-."), change(".-++")}));
    // The only message: the question (the closing one is the window's).
    QCOMPARE(f.dialogs.texts(), QStringList{u"是否重命名这些文件?"_s});
}

// A folder the user removed after start-up is made again, so the renames are
// recorded and can be undone.
void TestExecuteCommand::missingUndoFolderIsMadeAgain()
{
    Fixture f({u"a.txt"_s});
    QVERIFY(QDir(f.undoFolder).removeRecursively());
    f.request.method = Rename::RenameMethod::Numbering;
    f.request.newNames = {u"001.txt"_s};
    f.dialogs.answers.enqueue(Platform::MessageAnswer::Yes);
    const App::ExecuteCommandResult result = App::RunExecuteCommand(f.request, f.dialogs);
    QCOMPARE(result.ran, Ran::Renamed);
    QVERIFY(result.outcome.recorded);
    QCOMPARE(f.dialogs.texts(), QStringList{u"是否重命名这些文件?"_s});
    QCOMPARE(f.tree.entries(u"undofile"_s), QStringList{u"2013-10-17 9时5分30秒.txt"_s});
    QCOMPARE(f.tree.entries(u"files"_s), QStringList{u"001.txt"_s});
}

QTEST_GUILESS_MAIN(TestExecuteCommand)
#include "tst_executecommand.moc"
