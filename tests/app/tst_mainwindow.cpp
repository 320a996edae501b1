#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "TempTree.h"
#include "app/FolderTree.h"
#include "app/MainWindow.h"
#include "platform/FixedClock.h"
#include "workbook/WorkbookTab.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFileSystemModel>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

using namespace Qt::Literals::StringLiterals;
using namespace App;
using Platform::MessageIcon;

namespace {

// A main window over a temporary application folder.
struct Fixture
{
    TempTree app;
    TempTree data;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    Platform::FixedClock clock{QDateTime(QDate(2013, 10, 17), QTime(9, 5, 30))};
    bool anotherCopy = false;
    QString startFolder;
    bool runningCopyTakesFolder = false;
    QStringList handedOver;
    std::unique_ptr<MainWindow> window;

    MainWindow& make()
    {
        MainWindowServices services;
        services.paths = Platform::AppPaths(app.path(), data.file(u"user"_s));
        services.dialogs = &dialogs;
        services.shell = &shell;
        services.clock = &clock;
        services.executablePath = u"/opt/tarnwick/bin/tarnwick"_s;
        services.anotherCopyRuns = [this] { return anotherCopy; };
        services.startFolder = startFolder;
        services.handFolderToRunningCopy = [this](const QString& folder) {
            handedOver.append(folder);
            return runningCopyTakesFolder;
        };
        window = std::make_unique<MainWindow>(services);
        return *window;
    }

    MainWindow& started()
    {
        MainWindow& w = make();
        if (!w.startUp())
            qFatal("start-up refused");
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            qFatal("window not exposed");
        return w;
    }
};

bool enabled(const MainWindow& w, MainWindow::ToolbarButton button)
{
    return w.toolbarAction(button)->isEnabled();
}

bool chattr(const QString& flag, const QString& path)
{
    return QProcess::execute(u"chattr"_s, {flag, path}) == 0;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstStart();
    void startWithUndoFolder_data();
    void startWithUndoFolder();
    void readOnlyApplicationFolder();
    void secondCopyIsRefused();
    void folderGivenAtStartUp();
    void handOverWaitsForModalWindow();
    void secondCopyWithFolder_data();
    void secondCopyWithFolder();
    void clockPanels();
    void folderTreeListsOnlyWhatIsChosen();
    void listsTheChosenFolder();
    void emptyFolderAndGuard();
    void unreadableFolderLeavesTheListing();
    void executeWarnsWhenTheRecordCannotBeCreated();
    void filterMenu();
    void tabSelection_data();
    void tabSelection();
    void resizeScalesEveryControl();
    void tabCaptionsWholeAtDesignSize_data();
    void tabCaptionsWholeAtDesignSize();
    void screenshots();
    void workbookTab();
};

void TestMainWindow::firstStart()
{
    Fixture f;
    MainWindow& w = f.started();
    QCOMPARE(w.windowTitle(), u"Tarnwick4.20"_s);
    // The program's own icon, built in for a run from the build folder.
    const QImage builtIn(u":/tarnwick/icon/icon-48.png"_s);
    QCOMPARE(builtIn.size(), QSize(48, 48));
    const auto premultiplied = QImage::Format_ARGB32_Premultiplied;
    QCOMPARE(w.windowIcon().pixmap(QSize(48, 48)).toImage().convertToFormat(premultiplied),
             builtIn.convertToFormat(premultiplied));
    QVERIFY(QFileInfo(f.app.file(u"undofile"_s)).isDir());
    for (auto button : {MainWindow::ShowName, MainWindow::execute, MainWindow::Undo, MainWindow::DeleteDocs})
        QVERIFY2(!enabled(w, button), qPrintable(w.toolbarAction(button)->text()));
    QVERIFY(enabled(w, MainWindow::Usage));
    QVERIFY(enabled(w, MainWindow::Help));
    QCOMPARE(w.CurrentMethod(), 9);
    QCOMPARE(w.tabs()->currentIndex(), 9);
    QCOMPARE(w.statusPanel(1), u"状态：合并工作表"_s);
    QVERIFY(w.statusPanel(2).isEmpty());
    QVERIFY(w.CurrentFolder().isEmpty());
    QCOMPARE(w.FileCount(), 0);
    QVERIFY(f.dialogs.messages.isEmpty());

    QStringList menus;
    for (QAction* a : w.menuBar()->actions())
        menus.append(a->text());
    QCOMPARE(menus, (QStringList{u"文件(&F)"_s, u"筛选(&S)"_s, u"工具(&T)"_s, u"帮助(&H)"_s}));
    QStringList captions;
    for (int b = 0; b < MainWindow::ToolbarButtonCount; ++b)
        captions.append(w.toolbarAction(MainWindow::ToolbarButton(b))->text());
    QCOMPARE(captions, (QStringList{u"预览新文件名"_s, u"执行重命名"_s, u"撤消重命名"_s, u"使用说明"_s,
                                    u"帮助"_s, u"删除重命名文档"_s}));
    QCOMPARE(w.toolbarAction(MainWindow::ShowName)->data().toString(), u"ShowName"_s);
    QCOMPARE(w.toolbarAction(MainWindow::execute)->data().toString(), u"execute"_s);
    QStringList tabs;
    for (int i = 0; i < w.tabs()->count(); ++i)
        tabs.append(w.tabs()->tabText(i));
    QCOMPARE(tabs,
             (QStringList{u"自动编号"_s, u"删除字符"_s, u"添加前后缀"_s, u"替换字符"_s, u"修改扩展名"_s,
                          u"分割文件名"_s, u"引用文档"_s, u"汉字转拼音"_s, u"更改属性"_s, u"合并工作表"_s}));
    QCOMPARE(w.tabs()->toolTip(), u"合并工作薄或工作表"_s);
    QVERIFY(!w.findChild<QWidget*>(u"FraVisible"_s)->isVisible());
    QVERIFY(!w.findChild<QWidget*>(u"LstName_Nosee"_s)->isVisible());
    QVERIFY(w.findChild<QWidget*>(u"PicSheet"_s)->isVisible());
    QCOMPARE(w.findChild<QWidget*>(u"ExpTree1"_s)->toolTip(), u"单击选择路径"_s);
}

void TestMainWindow::startWithUndoFolder_data()
{
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<bool>("undoEnabled");
    QTest::newRow("empty folder") << QStringList{} << false;
    QTest::newRow("one record") << QStringList{u"2013-10-17 9时5分30秒.txt"_s} << true;
    QTest::newRow("only a hidden file") << QStringList{u".keep"_s} << false;
}

void TestMainWindow::startWithUndoFolder()
{
    QFETCH(QStringList, records);
    QFETCH(bool, undoEnabled);
    Fixture f;
    f.app.mkdir(u"undofile"_s);
    for (const QString& name : records)
        f.app.write(u"undofile/"_s + name, "\"/x/1.txt\r\n/x/a.txt\"\r\n");
    MainWindow& w = f.started();
    QCOMPARE(enabled(w, MainWindow::Undo), undoEnabled);
    QCOMPARE(enabled(w, MainWindow::DeleteDocs), undoEnabled);
    QVERIFY(!enabled(w, MainWindow::ShowName));
    QVERIFY(!enabled(w, MainWindow::execute));
}

void TestMainWindow::readOnlyApplicationFolder()
{
    Fixture f;
    if (!chattr(u"+i"_s, f.app.path()))
        QSKIP("chattr +i is not available here");
    auto cleanup = qScopeGuard([&] { chattr(u"-i"_s, f.app.path()); });
    MainWindow& w = f.started();
    QVERIFY(f.dialogs.messages.isEmpty());
    QVERIFY(!f.app.exists(u"undofile"_s));
    // The undo records live in the user's data folder instead.
    QVERIFY(QFileInfo(f.data.file(u"user/undofile"_s)).isDir());
    QCOMPARE(w.windowTitle(), u"Tarnwick4.20"_s);
}

void TestMainWindow::secondCopyIsRefused()
{
    Fixture f;
    f.anotherCopy = true;
    MainWindow& w = f.make();
    QVERIFY(!w.startUp());
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages[0].text, u"tarnwick已经运行!"_s);
    QCOMPARE(f.dialogs.messages[0].icon, MessageIcon::Warning);
}

void TestMainWindow::folderGivenAtStartUp()
{
    Fixture f;
    f.app.write(u"photos/b.jpg"_s, "b");
    f.app.write(u"photos/a.jpg"_s, "a");
    f.app.write(u"photos/inner/c.jpg"_s, "c");
    const QString photos = f.app.file(u"photos"_s);
    f.startFolder = photos;
    MainWindow& w = f.started();
    QCOMPARE(w.CurrentFolder(), photos + u'/');
    QCOMPARE(w.FileCount(), 2);
    QCOMPARE(w.fileListModel()->rowCount(), 2);
    QCOMPARE(w.statusPanel(2), u"共有2文件！"_s);
    auto* tree = w.findChild<QTreeView*>(u"ExpTree1"_s);
    auto* model = qobject_cast<QFileSystemModel*>(tree->model());
    QCOMPARE(model->filePath(tree->currentIndex()), photos);
    QVERIFY(tree->selectionModel()->isSelected(tree->currentIndex()));
    QVERIFY(f.handedOver.isEmpty());
    QVERIFY(f.dialogs.messages.isEmpty());

    // A folder handed over later by a second launch; a file stands for its folder;
    // a path that is gone changes nothing.
    QVERIFY(w.openFolder(f.app.file(u"photos/inner/c.jpg"_s)));
    QCOMPARE(w.CurrentFolder(), photos + u"/inner/"_s);
    QCOMPARE(model->filePath(tree->currentIndex()), photos + u"/inner"_s);
    QVERIFY(!w.openFolder(f.app.file(u"gone"_s)));
    QCOMPARE(w.CurrentFolder(), photos + u"/inner/"_s);
    QVERIFY(f.dialogs.messages.isEmpty());
}

void TestMainWindow::handOverWaitsForModalWindow()
{
    // A folder handed over while the question before a rename is open must not
    // change the folder that rename works on.
    Fixture f;
    const QString first = f.app.mkdir(u"first"_s);
    const QString second = f.app.mkdir(u"second"_s);
    f.startFolder = first;
    MainWindow& w = f.started();
    QDialog question(&w);
    question.setModal(true);
    question.show();
    QTRY_VERIFY(QApplication::activeModalWidget() == &question);
    w.folderHandedOver(second);
    QTest::qWait(300);
    QCOMPARE(w.CurrentFolder(), first + u'/');
    question.close();
    QTRY_COMPARE(w.CurrentFolder(), second + u'/');
    auto* tree = w.findChild<QTreeView*>(u"ExpTree1"_s);
    QCOMPARE(qobject_cast<QFileSystemModel*>(tree->model())->filePath(tree->currentIndex()), second);
}

void TestMainWindow::secondCopyWithFolder_data()
{
    QTest::addColumn<bool>("withFolder");
    QTest::addColumn<bool>("takes");
    QTest::addColumn<bool>("warned");
    QTest::newRow("folder taken by the running copy") << true << true << false;
    QTest::newRow("running copy does not answer") << true << false << true;
    QTest::newRow("no folder") << false << true << true;
}

void TestMainWindow::secondCopyWithFolder()
{
    QFETCH(bool, withFolder);
    QFETCH(bool, takes);
    QFETCH(bool, warned);
    Fixture f;
    f.anotherCopy = true;
    f.runningCopyTakesFolder = takes;
    if (withFolder)
        f.startFolder = f.app.mkdir(u"photos"_s);
    MainWindow& w = f.make();
    QVERIFY(!w.startUp());
    QCOMPARE(f.handedOver, withFolder ? QStringList{f.startFolder} : QStringList());
    QCOMPARE(f.dialogs.messages.size(), warned ? 1 : 0);
    if (warned)
        QCOMPARE(f.dialogs.messages[0].text, u"tarnwick已经运行!"_s);
}

void TestMainWindow::clockPanels()
{
    Fixture f;
    MainWindow& w = f.started();
    const QLocale locale;
    QCOMPARE(w.statusPanel(3), locale.toString(QDate(2013, 10, 17), QLocale::ShortFormat));
    QVERIFY(w.statusPanel(4).contains(u"05:30"_s));
    f.clock.set(QDateTime(QDate(2014, 1, 2), QTime(23, 59, 58)));
    QTRY_COMPARE_WITH_TIMEOUT(w.statusPanel(3), locale.toString(QDate(2014, 1, 2), QLocale::ShortFormat),
                              3000);
    QVERIFY(w.statusPanel(4).contains(u"59:58"_s));
}

void TestMainWindow::folderTreeListsOnlyWhatIsChosen()
{
    Fixture f;
    TempTree folder;
    folder.write(u"chosen/a.txt"_s);
    folder.write(u"chosen/b.txt"_s);
    MainWindow& w = f.started();
    auto* tree = w.findChild<QTreeView*>(u"ExpTree1"_s);
    // Focus moving into the tree picks nothing by itself.
    tree->setFocus();
    w.selectTab(2);
    w.selectTab(0);
    QApplication::processEvents();
    QVERIFY(w.CurrentFolder().isEmpty());
    QCOMPARE(w.fileListModel()->rowCount(), 0);

    auto* model = qobject_cast<QFileSystemModel*>(tree->model());
    const QString path = folder.file(u"chosen"_s);
    QModelIndex index;
    QTRY_VERIFY((index = model->index(path)).isValid());
    for (QModelIndex i = index.parent(); i.isValid(); i = i.parent())
        tree->expand(i);
    tree->scrollTo(index);
    QTRY_VERIFY(tree->visualRect(index).isValid());
    // The view moving its own current item chooses nothing.
    tree->setCurrentIndex(index);
    QApplication::processEvents();
    QVERIFY(w.CurrentFolder().isEmpty());
    // Its tooltip is the full path; deep folders scroll sideways instead of being cut.
    auto* folderTree = qobject_cast<FolderTree*>(tree);
    QVERIFY(folderTree);
    QCOMPARE(folderTree->toolTipAt(tree->visualRect(index).center()), path);
    const QString deep = folder.mkdir(u"chosen/"_s + QString(80, u'x'));
    QModelIndex deepIndex;
    QTRY_VERIFY((deepIndex = model->index(deep)).isValid());
    tree->expand(index);
    tree->scrollTo(deepIndex);
    QTRY_VERIFY(tree->horizontalScrollBar()->maximum() > 0);
    QVERIFY(tree->columnWidth(0) > tree->viewport()->width());
    QDir(deep).removeRecursively();
    QTRY_COMPARE(model->rowCount(index), 0);
    tree->horizontalScrollBar()->setValue(0);
    tree->scrollTo(index);
    QTRY_VERIFY(tree->visualRect(index).isValid());
    const QRect rect = tree->visualRect(index);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(rect.left() + 8, rect.center().y()));
    QTRY_COMPARE(w.CurrentFolder(), path + u'/');
    QCOMPARE(w.FileCount(), 2);
    QCOMPARE(w.statusPanel(2), u"共有2文件！"_s);
    // The keyboard chooses too.
    folder.mkdir(u"chosen/inner"_s);
    tree->expand(index);
    QModelIndex inner;
    QTRY_VERIFY((inner = model->index(path + u"/inner"_s)).isValid() && model->rowCount(index) == 1);
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Down);
    QTRY_COMPARE(w.CurrentFolder(), path + u"/inner/"_s);
    QCOMPARE(w.statusPanel(2), u"没有文件！"_s);
}

void TestMainWindow::listsTheChosenFolder()
{
    Fixture f;
    TempTree folder;
    for (int i = 12; i >= 1; --i)
        folder.write(u"file%1.txt"_s.arg(i, 2, 10, QChar(u'0')), QByteArray(i * 100, 'x'));
    folder.write(u".hidden"_s);
    folder.mkdir(u"sub"_s);
    MainWindow& w = f.started();
    w.selectTab(0);
    w.folderSelected(folder.path());
    QCOMPARE(w.CurrentFolder(), folder.path() + u'/');
    QCOMPARE(w.FileCount(), 12);
    QCOMPARE(w.statusPanel(2), u"共有12文件！"_s);
    FileListModel* model = w.fileListModel();
    QCOMPARE(model->rowCount(), 12);
    QCOMPARE(model->columnCount(), 10);
    for (int i = 0; i < 12; ++i) {
        QCOMPARE(model->cell(i, FileRow::FileId), QString::number(i + 1));
        QCOMPARE(model->cell(i, FileRow::OldName), u"file%1.txt"_s.arg(i + 1, 2, 10, QChar(u'0')));
        QCOMPARE(model->data(model->index(i, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    }
    QCOMPARE(model->cell(11, FileRow::fileDX), u"1.2KB"_s);
    QCOMPARE(model->cell(0, FileRow::fileSX), u"常规"_s);
    QVERIFY(enabled(w, MainWindow::ShowName));
    QStringList keys, captions;
    for (int c = 0; c < 10; ++c) {
        keys.append(FileListModel::key(c));
        captions.append(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    }
    QCOMPARE(keys, (QStringList{u"FileId"_s, u"OldName"_s, u"NewName"_s, u"option"_s, u"fileLX"_s,
                                u"fileDX"_s, u"fileSX"_s, u"CTime"_s, u"ETime"_s, u"VTime"_s}));
    QCOMPARE(captions,
             (QStringList{u"文件编号"_s, u"文件名"_s, u"新文件名"_s, u"操作状态"_s, u"文件类型"_s,
                          u"文件大小"_s, u"文件属性"_s, u"创建时间"_s, u"修改时间"_s, u"访问时间"_s}));
    // Unticking a row is allowed and changes nothing else.
    QVERIFY(model->setData(model->index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    QCOMPARE(w.FileCount(), 12);
}

// A folder that cannot be read leaves the folder, the rows and the hidden list
// together as they were; every choice reads the folder again.
void TestMainWindow::unreadableFolderLeavesTheListing()
{
    Fixture f;
    TempTree tree;
    tree.write(u"a/1.txt"_s);
    tree.write(u"a/2.txt"_s);
    tree.write(u"ends with space /x.txt"_s);
    MainWindow& w = f.started();
    w.selectTab(0);
    const QString a = tree.file(u"a"_s);
    w.folderSelected(a);
    QCOMPARE(w.FileCount(), 2);

    const QString later = tree.file(u"later"_s);
    w.folderSelected(later);
    QCOMPARE(w.CurrentFolder(), a + u'/');
    QCOMPARE(w.File1().path(), a);
    QCOMPARE(w.FileCount(), 2);
    QCOMPARE(w.fileListModel()->rowCount(), 2);
    QCOMPARE(w.fileListModel()->cell(0, FileRow::OldName), u"1.txt"_s);
    QVERIFY(w.statusPanel(2).contains(later));

    tree.write(u"later/new.txt"_s);
    w.folderSelected(later);
    QCOMPARE(w.CurrentFolder(), later + u'/');
    QCOMPARE(w.File1().names(), QStringList{u"new.txt"_s});
    QCOMPARE(w.fileListModel()->cell(0, FileRow::OldName), u"new.txt"_s);

    // The same folder chosen again is read again.
    w.folderSelected(a);
    tree.write(u"a/3.txt"_s);
    w.folderSelected(a);
    QCOMPARE(w.FileCount(), 3);
    QCOMPARE(w.statusPanel(2), u"共有3文件！"_s);

    // A trailing space is part of the folder's name.
    const QString spaced = tree.file(u"ends with space "_s);
    w.folderSelected(spaced);
    QCOMPARE(w.CurrentFolder(), spaced + u'/');
    QCOMPARE(w.File1().names(), QStringList{u"x.txt"_s});
}

void TestMainWindow::emptyFolderAndGuard()
{
    Fixture f;
    TempTree folder;
    MainWindow& w = f.started();
    // On the workbook tab, choosing a folder does not offer the preview.
    w.folderSelected(folder.path());
    QVERIFY(!enabled(w, MainWindow::ShowName));
    QCOMPARE(w.statusPanel(2), u"没有文件！"_s);
    QCOMPARE(w.fileListModel()->rowCount(), 0);
    f.dialogs.clear();
    w.RunToolbarCommand(MainWindow::Help);
    QCOMPARE(f.dialogs.texts(), QStringList{u"没有选择文件！"_s});
    QCOMPARE(f.dialogs.messages[0].icon, MessageIcon::Information);
    QVERIFY(f.shell.help.isEmpty());
}

// An undo folder that cannot hold a record: the window warns before the
// renames, which go ahead, then closes as usual.
void TestMainWindow::executeWarnsWhenTheRecordCannotBeCreated()
{
    Fixture f;
    TempTree folder;
    folder.write(u"a.txt"_s);
    folder.write(u"b.txt"_s);
    MainWindow& w = f.started();
    w.selectTab(0);
    w.folderSelected(folder.path());
    const QString undoFolder = Platform::AppPaths(f.app.path(), f.data.file(u"user"_s)).undoFolder();
    QDir(undoFolder).removeRecursively();
    QFile blocker(undoFolder);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    w.RunToolbarCommand(MainWindow::ShowName);
    f.dialogs.clear();
    f.dialogs.answers.enqueue(Platform::MessageAnswer::Yes);
    w.RunToolbarCommand(MainWindow::execute);
    const QStringList texts = f.dialogs.texts();
    QCOMPARE(texts.size(), 3);
    QCOMPARE(texts.at(0), u"是否重命名这些文件?"_s);
    QVERIFY2(texts.at(1).startsWith(u"无法创建重命名记录文档 "_s + undoFolder + u'/'),
             qPrintable(texts.at(1)));
    QCOMPARE(f.dialogs.messages.at(1).icon, MessageIcon::Warning);
    QCOMPARE(texts.at(2), u"操作完成！"_s);
    QVERIFY(folder.entries() != QStringList({u"a.txt"_s, u"b.txt"_s}));
    QCOMPARE(folder.entries().size(), 2);
}

void TestMainWindow::filterMenu()
{
    Fixture f;
    TempTree folder;
    for (const QString& name : {u"a.doc"_s, u"b.DOCX"_s, u"c.txt"_s, u"d.jpg"_s, u"e"_s})
        folder.write(name);
    MainWindow& w = f.started();
    w.folderSelected(folder.path());
    QCOMPARE(w.FileCount(), 5);
    auto names = [&] {
        QStringList list;
        for (int i = 0; i < w.fileListModel()->rowCount(); ++i)
            list.append(w.fileListModel()->cell(i, FileRow::OldName));
        return list;
    };
    QVERIFY(w.filterAction(1)->isChecked());
    w.filterAction(3)->trigger(); // Word while all files are ticked: no change
    QCOMPARE(names().size(), 5);
    w.filterAction(1)->trigger();
    QVERIFY(!w.filterAction(1)->isChecked());
    QCOMPARE(names(), (QStringList{u"a.doc"_s, u"b.DOCX"_s}));
    QCOMPARE(w.statusPanel(2), u"共有2文件！"_s);
    w.filterAction(6)->trigger();
    QCOMPARE(names(), (QStringList{u"a.doc"_s, u"b.DOCX"_s, u"c.txt"_s}));
    QCOMPARE(w.FileCount(), 3);
    w.filterAction(3)->trigger();
    w.filterAction(6)->trigger();
    QCOMPARE(w.FileCount(), 0);
    QCOMPARE(w.statusPanel(2), u"没有文件！"_s);
    QCOMPARE(w.filterAction(2)->isSeparator(), true);
    QCOMPARE(w.filterAction(8)->text(), u"图像文件(*.jpeg;*.jpg等)"_s);
}

void TestMainWindow::tabSelection_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("preview");
    QTest::addColumn<QString>("tooltip");
    QTest::newRow("delete") << 1 << u"状态：删除字符"_s << true << u"删除文件名前面或后面若干个字符"_s;
    QTest::newRow("numbering") << 0 << u"状态：自动编号"_s << true
                               << u"去除原文件名，可按设定规则为文件自动编号"_s;
    QTest::newRow("pinyin") << 7 << u"状态：汉字转拼音"_s << true << u"转换文件名中字母的大小写"_s;
    QTest::newRow("attributes") << 8 << u"状态：更改属性"_s << false << u"更改文件的属性"_s;
}

void TestMainWindow::tabSelection()
{
    QFETCH(int, tab);
    QFETCH(QString, status);
    QFETCH(bool, preview);
    QFETCH(QString, tooltip);
    Fixture f;
    MainWindow& w = f.started();
    w.selectTab(tab);
    QCOMPARE(w.CurrentMethod(), tab);
    QCOMPARE(w.statusPanel(1), status);
    QCOMPARE(enabled(w, MainWindow::ShowName), preview);
    QCOMPARE(w.tabs()->toolTip(), tooltip);
    for (int j = 0; j < MainWindow::MethodCount; ++j)
        QCOMPARE(w.methodPanel(j)->isVisible(), j == tab);
    QVERIFY(!w.findChild<QWidget*>(u"PicSheet"_s)->isVisible());
    QVERIFY(w.findChild<QWidget*>(u"LstMain"_s)->isVisible());
    if (tab == 8)
        QVERIFY(enabled(w, MainWindow::execute));
}

void TestMainWindow::resizeScalesEveryControl()
{
    Fixture f;
    MainWindow& w = f.started();
    w.selectTab(3);
    QCOMPARE(w.CurrentMethod(), 3);
    QWidget* picMain = w.findChild<QWidget*>(u"PicMain"_s);
    QWidget* tree = w.findChild<QWidget*>(u"ExpTree1"_s);
    const QRect designMain = w.designGeometry().designRect(picMain);
    const qreal designFont = w.designGeometry().designPointSize(picMain);
    QCOMPARE(designMain, QRect(160, 88, 625, 433));
    QVERIFY(designFont > 0);

    // What a check box, a radio button and a list row draw their indicators in, at a scale.
    auto* box = w.findChild<QCheckBox*>(u"ChkQH_0"_s);
    auto* radio = w.findChild<QRadioButton*>(u"OptZH_0"_s);
    auto* rows = w.findChild<QTreeView*>(u"LstMain"_s);
    const auto indicators = [box, radio, rows] {
        QStyleOptionButton option;
        option.initFrom(box);
        const QRect boxRect = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        option.initFrom(radio);
        const QRect radioRect =
            radio->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, radio);
        const QSize rowBox(rows->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, rows),
                           rows->style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, rows));
        return QList<QSize>{boxRect.size(), radioRect.size(), rowBox};
    };
    const QList<QSize> designIndicators = indicators();
    for (const QSize& size : designIndicators)
        QVERIFY(!size.isEmpty());

    const int menu = w.height() - w.clientArea()->height();
    w.resize(MainWindow::DesignWidth * 2, MainWindow::DesignHeight * 3 / 2 + menu);
    QTRY_COMPARE(w.clientArea()->size(),
                 QSize(MainWindow::DesignWidth * 2, MainWindow::DesignHeight * 3 / 2));
    QCOMPARE(picMain->geometry(), QRect(320, 132, 1250, 650));
    QCOMPARE(tree->geometry().width(), w.designGeometry().designRect(tree).width() * 2);
    // Fonts grow with the smaller factor.
    QCOMPARE(picMain->font().pointSizeF(), designFont * 1.5);
    // The list's columns follow the width, the toolbar's icons the smaller factor.
    auto* list = w.findChild<QTreeView*>(u"LstMain"_s);
    for (int column = 0; column < FileRow::ColumnCount; ++column)
        QCOMPARE(list->columnWidth(column), FileListModel::designWidth(column) * 2);
    QCOMPARE(w.findChild<QToolBar*>(u"Toolbar1"_s)->iconSize(), QSize(24, 24));
    QWidget* panel = w.findChild<QWidget*>(u"FraSS_3"_s);
    QCOMPARE(panel->font().pointSizeF(), w.designGeometry().designPointSize(panel) * 1.5);
    // So do the boxes and circles of check boxes and radio buttons.
    QCOMPARE(indicators(),
             (QList<QSize>{designIndicators[0] * 1.5, designIndicators[1] * 1.5, designIndicators[2] * 1.5}));
    // Every resize returns to the workbook tab.
    QCOMPARE(w.CurrentMethod(), 9);
    QCOMPARE(w.tabs()->currentIndex(), 9);
    QCOMPARE(w.statusPanel(1), u"状态：合并工作表"_s);
    const ToolWindowRect r = w.toolWindowRect();
    QCOMPARE(r.left, 158 * 2 * 15 + 30);
    QCOMPARE(r.width, 1250 * 15);
    QCOMPARE(r.height, 650 * 15);

    // The window does not shrink below the design size, where fonts would drop
    // below a readable size.
    w.resize(600, 420);
    QTRY_COMPARE(w.clientArea()->size(), QSize(MainWindow::DesignWidth, MainWindow::DesignHeight));
    QCOMPARE(picMain->font().pointSizeF(), designFont);
    QCOMPARE(picMain->geometry(), designMain);
    QCOMPARE(indicators(), designIndicators);
}

void TestMainWindow::tabCaptionsWholeAtDesignSize_data()
{
    QTest::addColumn<qreal>("desktopFont"); // point size; 0: the platform's own
    QTest::newRow("the platform's font") << qreal(0);
    // A GTK desktop's font is larger than the design's ("Sans 10", "Cantarell 11").
    QTest::newRow("10 pt") << qreal(10);
    QTest::newRow("11 pt") << qreal(11);
    QTest::newRow("13 pt") << qreal(13);
}

// Each of the ten captions shows whole at the design size, at the desktop's font.
void TestMainWindow::tabCaptionsWholeAtDesignSize()
{
    QFETCH(qreal, desktopFont);
    const QFont platformFont = QApplication::font();
    const auto restore = qScopeGuard([platformFont] { QApplication::setFont(platformFont); });
    if (desktopFont > 0) {
        QFont font = platformFont;
        font.setPointSizeF(desktopFont);
        QApplication::setFont(font);
    }
    Fixture f;
    MainWindow& w = f.started();
    QCOMPARE(w.clientArea()->size(), QSize(MainWindow::DesignWidth, MainWindow::DesignHeight));
    QTabBar* bar = w.tabs()->tabBar();
    QCOMPARE(bar->count(), MainWindow::MethodCount);
    const QFontMetrics metrics(bar->font());
    for (int i = 0; i < bar->count(); ++i) {
        const QRect tab = bar->tabRect(i);
        QVERIFY2(bar->mapTo(w.tabs(), tab.topRight()).x() < w.tabs()->width(),
                 qPrintable(bar->tabText(i) + u" is cut at the strip's edge"_s));
        QVERIFY2(tab.width() > metrics.horizontalAdvance(bar->tabText(i)),
                 qPrintable(bar->tabText(i) + u" is squeezed"_s));
    }
    QVERIFY(bar->font().pointSizeF() >= 6);
}

void TestMainWindow::screenshots()
{
    Fixture f;
    TempTree folder;
    for (const QString& name : {u"DSC0001.JPG"_s, u"报告 2013.docx"_s, u"张三.txt"_s, u"archive.tar.gz"_s})
        folder.write(name, QByteArray(1300, 'x'));
    MainWindow& w = f.started();
    w.folderSelected(folder.path());
    QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
    for (int tab = 0; tab < MainWindow::MethodCount; ++tab) {
        w.selectTab(tab);
        QApplication::processEvents();
        const QString path = QStringLiteral(SCREENSHOT_DIR) + u"/mainwindow-tab%1.png"_s.arg(tab);
        QVERIFY(w.grab().save(path));
        QVERIFY(QFileInfo(path).size() > 0);
    }
    // Asked for less than the design, the window keeps its design size.
    w.resize(600, 420);
    QTRY_VERIFY(w.clientArea()->width() == MainWindow::DesignWidth);
    QApplication::processEvents();
    QVERIFY(w.grab().save(QStringLiteral(SCREENSHOT_DIR) + u"/mainwindow-600x420.png"_s));
    // Larger than the design: the list's columns keep their cells whole.
    w.resize(1400, 900);
    QTRY_VERIFY(w.clientArea()->width() == 1400);
    w.selectTab(0);
    QApplication::processEvents();
    QVERIFY(w.grab().save(QStringLiteral(SCREENSHOT_DIR) + u"/mainwindow-1400x900.png"_s));
}

void TestMainWindow::workbookTab()
{
    Fixture f;
    MainWindow& w = f.started();
    Xl::WorkbookTab* tab = w.workbookTab();
    // The tab's mode switch sits in the tenth tab's strip, the rest in the workbook area.
    QCOMPARE(tab->OptHB[0]->parentWidget(), w.methodPanel(9));
    QVERIFY(tab->FraExl->isVisible());
    QCOMPARE(tab->intOptHB(), 0);
    // The three workbook entries of the Tools menu are offered.
    for (const QString& name : {u"mDelSheet_0"_s, u"mDelSheet_1"_s, u"mCreateBook"_s})
        QVERIFY2(w.findChild<QAction*>(name)->isEnabled(), qPrintable(name));

    // A folder chosen while the merge-worksheets option is selected is also the storage folder.
    QTest::mouseClick(tab->OptHB[0], Qt::LeftButton);
    TempTree folder;
    w.folderSelected(folder.path());
    QCOMPARE(tab->TxtAdress->text(), folder.path() + u'/');
    QCOMPARE(tab->TxtPath->text(), folder.path() + u'/');
    QCOMPARE(tab->TxtPath->toolTip(), u"工作簿存储路径为："_s + folder.path() + u'/');

    // "创建多个工作簿" from another tab: back to the workbook tab, and created.
    w.selectTab(2);
    tab->Txtsheet->setText(u"2"_s);
    f.dialogs.answers.enqueue(Platform::MessageAnswer::Yes);
    w.findChild<QAction*>(u"mCreateBook"_s)->trigger();
    QCOMPARE(w.tabs()->currentIndex(), 9);
    QCOMPARE(folder.entries(), (QStringList{u"Book01.xls"_s, u"Book02.xls"_s}));
    QCOMPARE(tab->Lblbook->text(), u"2 个工作簿创建完毕！"_s);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
