#include "ScriptedDialogs.h"
#include "TempTree.h"

#include "execute/UndoRename.h"
#include "folders/FolderPaths.h"
#include "folders/FolderPreview.h"
#include "folders/FolderRename.h"
#include "platform/FixedClock.h"
#include "platform/GbkText.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using Folders::ToolMode;
using Platform::MessageAnswer;
using Platform::MessageIcon;
using Rename::RenameMethod;
using Result = Folders::ToolRunOutcome::Result;

Q_DECLARE_METATYPE(Rename::RenameOptions)

// The folder tool's scan, preview and execution on real folder trees.
class TestFolderTool : public QObject
{
    Q_OBJECT

private:
    struct Fixture
    {
        TempTree tree;
        QString picked;
        QString undoFolder;
        Folders::ToolLists lists;
        Platform::FixedClock clock{QDateTime(QDate(2013, 10, 17), QTime(9, 5, 30))};
        ScriptedDialogs dialogs;

        explicit Fixture(const QStringList& files, const QString& pickedName = u"x"_s)
        {
            undoFolder = tree.mkdir(u"undofile"_s);
            picked = tree.mkdir(pickedName) + u'/';
            for (const QString& file : files) {
                if (file.endsWith(u'/'))
                    tree.mkdir(pickedName + u'/' + file);
                else
                    tree.write(pickedName + u'/' + file, file.toUtf8());
            }
            pick();
        }
        void pick()
        {
            lists = Folders::scanToolFolder(picked);
            Folders::ScanToolFiles(lists);
        }
        QStringList preview(ToolMode mode, RenameMethod method = RenameMethod::Numbering,
                            const Rename::RenameOptions& options = {})
        {
            Folders::PreviewRequest request;
            request.toolFolder = Folders::toolFolderOf(lists);
            request.mode = mode;
            request.lists = &lists;
            request.method = method;
            request.options = options;
            const auto result = Folders::PreviewToolNames(dialogs, request);
            itemCount = result.itemCount;
            return result.LstNew;
        }
        Folders::ToolRunOutcome run(ToolMode mode, const QStringList& newNames, bool copy = false,
                                    MessageAnswer answer = MessageAnswer::Yes)
        {
            Folders::ToolRunRequest request;
            request.toolFolder = Folders::toolFolderOf(lists);
            request.mode = mode;
            request.copy = copy;
            request.itemCount = itemCount;
            request.LstFolderA = lists.LstFolderA;
            request.LstFileA = lists.LstFileA;
            request.LstNew = newNames;
            request.undoFolder = undoFolder;
            request.clock = &clock;
            dialogs.answers.enqueue(answer);
            return Folders::ExecuteToolRename(dialogs, request);
        }
        qsizetype itemCount = 0;
    };

private Q_SLOTS:
    void paths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QString>("last");
        QTest::newRow("trailing separator") << u"/a/b/"_s << u"/a/b"_s << QString();
        QTest::newRow("no trailing separator") << u"/a/b"_s << u"/a"_s << u"b"_s;
        QTest::newRow("root") << u"/"_s << QString() << QString();
        QTest::newRow("top folder") << u"/a"_s << QString() << u"a"_s;
        QTest::newRow("no separator") << u"a"_s << QString() << QString();
        QTest::newRow("empty") << QString() << QString() << QString();
    }

    void paths()
    {
        QFETCH(QString, path);
        QFETCH(QString, parent);
        QFETCH(QString, last);
        QCOMPARE(Folders::ParentPath(path), parent);
        QCOMPARE(Folders::LastPathPart(path), last);
    }

    // Three sub-folders with 2, 0 and 4 files; hidden folders and files, and the
    // picked folder's own files, are left out; order ignores case.
    void scansSubfoldersAndTheirFiles()
    {
        Fixture f({u"b/2.txt"_s, u"b/1.txt"_s, u"A/x.jpg"_s, u"A/y.jpg"_s, u"A/.hidden"_s, u"c/"_s,
                   u".git/config"_s, u"top.txt"_s, u"A/inner/deep.txt"_s});
        QCOMPARE(f.lists.LstFolder, (QStringList{u"A"_s, u"b"_s, u"c"_s}));
        QCOMPARE(f.lists.LstFolderA, (QStringList{f.picked + u"A"_s, f.picked + u"b"_s, f.picked + u"c"_s}));
        QCOMPARE(f.lists.LstFile, (QStringList{u"x.jpg"_s, u"y.jpg"_s, u"1.txt"_s, u"2.txt"_s}));
        QCOMPARE(f.lists.LstFileA.at(2), f.picked + u"b/1.txt"_s);
        QCOMPARE(Folders::toolFolderOf(f.lists), f.picked);
        QCOMPARE(Folders::folderCountText(f.lists.LstFolder.size()), u"共有 3 个文件夹！"_s);

        Fixture empty({u"only.txt"_s});
        QVERIFY(empty.lists.LstFolder.isEmpty());
        QVERIFY(Folders::toolFolderOf(empty.lists).isEmpty());
    }

    void previewsNames_data()
    {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("method");
        QTest::addColumn<Rename::RenameOptions>("options");
        QTest::addColumn<QStringList>("expected");

        const QStringList months{u"Jan/"_s, u"Feb/"_s, u"Mar/"_s};
        Rename::RenameOptions numbering; // prefix 360430 ticked, 3 digits, start 1, increment 1
        QTest::newRow("numbering") << months << 0 << 0 << numbering
                                   << QStringList{u"360430001"_s, u"360430002"_s, u"360430003"_s};
        Rename::RenameOptions after = numbering;
        after.numbering.ChkBF = true;
        after.numbering.OptBF = 1;
        // Listed in alphabetical order: Feb, Jan, Mar.
        QTest::newRow("numbering, name after")
            << months << 0 << 0 << after
            << QStringList{u"360430001Feb"_s, u"360430002Jan"_s, u"360430003Mar"_s};
        Rename::RenameOptions prefix;
        prefix.prefixSuffix.TxtFB = {u"new_"_s, u"x"_s};
        QTest::newRow("prefix") << months << 0 << 2 << prefix
                                << QStringList{u"new_Feb"_s, u"new_Jan"_s, u"new_Mar"_s};
        QTest::newRow("prefix, dotted folder name whole")
            << QStringList{u"v1.2/"_s} << 0 << 2 << prefix << QStringList{u"new_v1.2"_s};
        Rename::RenameOptions dropName = prefix;
        dropName.prefixSuffix.ChkDelName = true;
        QTest::newRow("prefix, name dropped")
            << months << 0 << 2 << dropName << QStringList{u"new_"_s, u"new_"_s, u"new_"_s};
        Rename::RenameOptions lower;
        QTest::newRow("lower case") << QStringList{u"Photos.ABC/"_s} << 0 << 7 << lower
                                    << QStringList{u"photos.abc"_s};
        Rename::RenameOptions pinyin;
        pinyin.letterCase.ChkPY = true;
        pinyin.letterCase.PinyinStripSpaces = true;
        QTest::newRow("pinyin") << QStringList{u"张三/"_s} << 0 << 7 << pinyin << QStringList{u"zhangsan"_s};
        const QStringList album{u"春游/IMG_01.JPG"_s, u"资料/README"_s};
        QTest::newRow("folder first")
            << album << 1 << 3 << numbering << QStringList{u"春游IMG_01.JPG"_s, u"资料README"_s};
        QTest::newRow("folder last") << album << 2 << 3 << numbering
                                     << QStringList{u"IMG_01春游.jpg"_s, u"README资料"_s};
    }

    void previewsNames()
    {
        QFETCH(QStringList, folders);
        QFETCH(int, mode);
        QFETCH(int, method);
        QFETCH(Rename::RenameOptions, options);
        QFETCH(QStringList, expected);
        Fixture f(folders);
        QCOMPARE(f.preview(ToolMode(mode), RenameMethod(method), options), expected);
        QCOMPARE(f.itemCount, expected.size());
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    void previewMessages()
    {
        Fixture f({u"Jan/"_s, u"Feb/"_s});
        QVERIFY(f.preview(ToolMode::FoldersOnly, RenameMethod::Extension).isEmpty());
        QCOMPARE(f.itemCount, 2);
        QCOMPARE(f.dialogs.texts(), QStringList{u"文件夹重命名只支持：\r\n    自动编号\r\n    添加前后缀\r\n"
                                                u"    汉字转拼音 \r\n请重新选择！"_s});
        QCOMPARE(f.dialogs.messages.at(0).icon, MessageIcon::None);

        f.dialogs.clear();
        Folders::PreviewRequest none;
        QVERIFY(!Folders::PreviewToolNames(f.dialogs, none).ran);
        QCOMPARE(f.dialogs.texts(), QStringList{u"请选择文件夹！"_s});
        QCOMPARE(f.dialogs.messages.at(0).title, u"   文件夹重命名"_s);
        QCOMPARE(f.dialogs.messages.at(0).icon, MessageIcon::Information);
    }

    // Mode 0 writes the main window's record; the main window's undo plays it back.
    void renamesFoldersAndUndoes()
    {
        Fixture f({u"Jan/a.txt"_s, u"Feb/"_s, u"Mar/"_s});
        const QStringList names = f.preview(ToolMode::FoldersOnly);
        const auto outcome = f.run(ToolMode::FoldersOnly, names);
        QCOMPARE(outcome.result, Result::Done);
        QCOMPARE(outcome.done, 3);
        QCOMPARE(f.tree.entries(u"x"_s), (QStringList{u"360430001"_s, u"360430002"_s, u"360430003"_s}));
        QCOMPARE(f.tree.read(u"x/360430002/a.txt"_s), QByteArray("Jan/a.txt"));
        QCOMPARE(f.dialogs.messages.at(0).text, u"是否重命名这些文件夹?"_s);
        QCOMPARE(f.dialogs.messages.at(0).defaultAnswer, MessageAnswer::No);
        QCOMPARE(f.dialogs.messages.at(1).text, u"文件夹已全部按要求重命名！"_s);
        QCOMPARE(f.dialogs.messages.at(1).title, u"   文件夹重命名"_s);
        QCOMPARE(f.dialogs.messages.at(1).icon, MessageIcon::None);

        QVERIFY(outcome.recorded);
        QCOMPARE(outcome.undoLogPath, f.undoFolder + u"/2013-10-17 9时5分30秒.txt"_s);
        const QStringList lines = Platform::readGbkLines(outcome.undoLogPath);
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines.at(0), u"\""_s + f.picked + u"360430001"_s);
        QCOMPARE(lines.at(1), f.picked + u"Feb\""_s);

        f.dialogs.clear();
        f.dialogs.files.enqueue(outcome.undoLogPath);
        f.dialogs.answers.enqueue(MessageAnswer::Yes);
        const auto undone = Execute::UndoRename(f.dialogs, f.undoFolder);
        QCOMPARE(undone.undone, 3);
        QCOMPARE(f.tree.entries(u"x"_s), (QStringList{u"Feb"_s, u"Jan"_s, u"Mar"_s}));
        QCOMPARE(f.tree.read(u"x/Jan/a.txt"_s), QByteArray("Jan/a.txt"));
    }

    // Two folders given one name: the first is renamed, the second skipped and not recorded.
    void sameNewNameSkipsSecond()
    {
        Fixture f({u"a/"_s, u"b/"_s});
        const auto outcome = f.run(ToolMode::FoldersOnly, {u"same"_s, u"same"_s});
        QCOMPARE(f.itemCount, 0);
        QCOMPARE(outcome.result, Result::NoItems);

        f.dialogs.clear();
        f.preview(ToolMode::FoldersOnly);
        const auto second = f.run(ToolMode::FoldersOnly, {u"same"_s, u"same"_s});
        QCOMPARE(second.options, (QStringList{u"操作成功"_s, u"操作失败"_s}));
        QCOMPARE(f.tree.entries(u"x"_s), (QStringList{u"b"_s, u"same"_s}));
        const QStringList lines = Platform::readGbkLines(second.undoLogPath);
        QCOMPARE(lines, (QStringList{u"\""_s + f.picked + u"same"_s, f.picked + u"a\""_s}));
        QCOMPARE(
            f.dialogs.messages.last().text,
            u"文件夹已全部按要求重命名！\r\n其中 1 项未能完成（新名称已存在、无效或原文件不存在），已跳过。"_s);
    }

    void noPreviewOrDeclined()
    {
        Fixture f({u"a/1.txt"_s});
        auto outcome = f.run(ToolMode::FolderFirst, {u"a1.txt"_s});
        QCOMPARE(outcome.result, Result::NoItems);
        QCOMPARE(f.dialogs.texts(), QStringList{u"请选择文件夹！"_s});
        QCOMPARE(f.dialogs.messages.at(0).title, u"   文件夹重命名"_s);

        f.dialogs.clear();
        f.dialogs.answers.clear();
        f.preview(ToolMode::FolderFirst);
        outcome = f.run(ToolMode::FolderFirst, {u"a1.txt"_s}, false, MessageAnswer::No);
        QCOMPARE(outcome.result, Result::Declined);
        QCOMPARE(f.dialogs.texts(), QStringList{u"是否重命名这些文件?\r\n执行操作后不能撤消恢复！"_s});
        QCOMPARE(f.tree.entries(u"x/a"_s), QStringList{u"1.txt"_s});
    }

    // Renaming in place: nothing recorded; after a mode switch without a new
    // preview every item is skipped and the closing message still comes.
    void renamesFilesInPlace()
    {
        Fixture f({u"春游/IMG_01.JPG"_s, u"春游/b.txt"_s});
        const QStringList names = f.preview(ToolMode::FolderLast);
        const auto outcome = f.run(ToolMode::FolderLast, names);
        QCOMPARE(outcome.done, 2);
        QCOMPARE(f.tree.entries(u"x/春游"_s), (QStringList{u"IMG_01春游.jpg"_s, u"b春游.txt"_s}));
        QCOMPARE(f.tree.entries(u"undofile"_s), QStringList());
        QCOMPARE(f.dialogs.messages.last().text, u"文件已全部按要求重命名！"_s);

        f.dialogs.clear();
        const auto again = f.run(ToolMode::FolderLast, {});
        QCOMPARE(again.skipped, 2);
        QCOMPARE(f.tree.entries(u"x/春游"_s), (QStringList{u"IMG_01春游.jpg"_s, u"b春游.txt"_s}));
        QVERIFY(f.dialogs.messages.last().text.startsWith(u"文件已全部按要求重命名！\r\n其中 2 项"_s));
    }

    void renameInPlaceNeverReplaces()
    {
        Fixture f({u"a/1.txt"_s, u"a/a1.txt"_s});
        const auto outcome = f.run(ToolMode::FolderFirst, f.preview(ToolMode::FolderFirst));
        // "1.txt" would become "a1.txt", which exists.
        QCOMPARE(outcome.options, (QStringList{u"操作失败"_s, u"操作成功"_s}));
        QCOMPARE(f.tree.entries(u"x/a"_s), (QStringList{u"1.txt"_s, u"aa1.txt"_s}));
        QCOMPARE(f.tree.read(u"x/a/1.txt"_s), QByteArray("a/1.txt"));
        QCOMPARE(f.tree.read(u"x/a/aa1.txt"_s), QByteArray("a/a1.txt"));
    }

    void copiesIntoSibling()
    {
        Fixture f({u"春游/IMG_01.JPG"_s, u"a/bc.txt"_s, u"ab/c.txt"_s}, u"相册"_s);
        const QStringList names = f.preview(ToolMode::FolderFirst);
        QCOMPARE(names, (QStringList{u"abc.txt"_s, u"abc.txt"_s, u"春游IMG_01.JPG"_s}));
        auto outcome = f.run(ToolMode::FolderFirst, names, true);
        const QString copyFolder = f.tree.file(u"_相册/"_s);
        QCOMPARE(outcome.copyFolder, copyFolder);
        QCOMPARE(f.dialogs.messages.at(0).text, u"是否将文件复制到新建文件夹?"_s);
        QCOMPARE(f.dialogs.messages.at(1).text,
                 u"文件已全部按要求复制到：\r\n"_s + copyFolder +
                     u"\r\n其中 1 项未能完成（新名称已存在、无效或原文件不存在），已跳过。"_s);
        // The second "abc.txt" of the same run does not replace the first.
        QCOMPARE(f.tree.read(u"_相册/abc.txt"_s), QByteArray("a/bc.txt"));
        QCOMPARE(f.tree.read(u"_相册/春游IMG_01.JPG"_s), QByteArray("春游/IMG_01.JPG"));
        QCOMPARE(f.tree.read(u"相册/春游/IMG_01.JPG"_s), QByteArray("春游/IMG_01.JPG"));

        // A copy is a file of its own with its source's permissions.
        QCOMPARE(QFileInfo(f.tree.file(u"_相册/abc.txt"_s)).permissions(),
                 QFileInfo(f.tree.file(u"相册/a/bc.txt"_s)).permissions());
        f.tree.write(u"_相册/abc.txt"_s, "edited");
        QCOMPARE(f.tree.read(u"相册/a/bc.txt"_s), QByteArray("a/bc.txt"));

        // A second run replaces the copies of the first.
        f.tree.write(u"相册/春游/IMG_01.JPG"_s, "changed");
        f.dialogs.clear();
        outcome = f.run(ToolMode::FolderFirst, names, true);
        QCOMPARE(outcome.done, 2);
        QCOMPARE(f.tree.read(u"_相册/春游IMG_01.JPG"_s), QByteArray("changed"));
        QCOMPARE(f.tree.entries(u"_相册"_s), (QStringList{u"abc.txt"_s, u"春游IMG_01.JPG"_s}));
    }

    void copyFolderOfRoot()
    {
        QCOMPARE(Folders::copyFolderOf(u"/photos/相册/"_s), u"/photos/_相册/"_s);
        QCOMPARE(Folders::copyFolderOf(u"/相册/"_s), u"/_相册/"_s);
        QCOMPARE(Folders::copyFolderOf(u"/"_s), QString());

        ScriptedDialogs dialogs;
        Folders::ToolRunRequest request;
        request.toolFolder = u"/"_s;
        request.mode = ToolMode::FolderFirst;
        request.copy = true;
        request.itemCount = 1;
        request.LstFileA = {u"/nonexistent-folder/x"_s};
        request.LstNew = {u"nonexistent-folderx"_s};
        const auto outcome = Folders::ExecuteToolRename(dialogs, request);
        QCOMPARE(outcome.result, Result::Refused);
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages.at(0).text.startsWith(u"所选文件夹是根目录"_s));
    }
};

QTEST_GUILESS_MAIN(TestFolderTool)
#include "tst_foldertool.moc"
