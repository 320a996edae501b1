#include "TempTree.h"
#include "app/FileRow.h"
#include "app/FilterMenu.h"
#include "app/HiddenFileList.h"
#include "app/ToolWindowRect.h"
#include "platform/FileAttributes.h"

#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;
using namespace App;

class TestFileRow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sizeTexts_data();
    void sizeTexts();
    void attributeTexts_data();
    void attributeTexts();
    void rowOfRealFile();
    void nameThatIsNotUtf8();
    void filterPatterns_data();
    void filterPatterns();
    void hiddenFileListKeepsItsNamesWhenFolderVanishes();
    void toolWindowRectRoundsHalfToEven();
};

void TestFileRow::sizeTexts_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << qint64(0) << u"0B"_s;
    QTest::newRow("1024") << qint64(1024) << u"1024B"_s;
    QTest::newRow("1025") << qint64(1025) << u"1KB"_s;
    QTest::newRow("1280 half to even") << qint64(1280) << u"1.2KB"_s;
    QTest::newRow("1536") << qint64(1536) << u"1.5KB"_s;
    QTest::newRow("2048") << qint64(2048) << u"2KB"_s;
    QTest::newRow("1331 half up to odd") << qint64(1331) << u"1.3KB"_s;
    QTest::newRow("1048576") << qint64(1048576) << u"1024KB"_s;
    QTest::newRow("1048577") << qint64(1048577) << u"1MB"_s;
    QTest::newRow("1179648 half to even") << qint64(1179648) << u"1.12MB"_s;
    QTest::newRow("1190134 rounds up") << qint64(1190134) << u"1.14MB"_s;
    QTest::newRow("5 GiB") << qint64(5) * 1073741824 << u"5120MB"_s;
    QTest::newRow("unreadable") << qint64(-1) << QString();
}

void TestFileRow::sizeTexts()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(sizeText(bytes), text);
}

void TestFileRow::attributeTexts_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("normal") << 0 << u"常规"_s;
    QTest::newRow("read-only") << 1 << u"只读"_s;
    QTest::newRow("hidden") << 2 << u"隐藏"_s;
    QTest::newRow("system") << 4 << u"系统"_s;
    QTest::newRow("folder") << 16 << u"目录或文件夹"_s;
    QTest::newRow("archive") << 32 << u"存档"_s;
    QTest::newRow("link") << 64 << u"链接或快捷方式"_s;
    QTest::newRow("compressed") << 128 << u"压缩"_s;
    QTest::newRow("read-only archive") << 33 << u"未知"_s;
    QTest::newRow("unreadable") << -1 << QString();
}

void TestFileRow::attributeTexts()
{
    QFETCH(int, value);
    QFETCH(QString, text);
    QCOMPARE(AttributeText(value), text);
}

void TestFileRow::rowOfRealFile()
{
    TempTree tree;
    const QString path = tree.write(u"报告.txt"_s, QByteArray(1536, 'x'));
    if (!Platform::writeAttributes(path, Platform::AttrReadOnly | Platform::AttrArchive))
        QSKIP("this file system stores no extended attributes");
    const FileRow row = FileRow::read(7, tree.path() + u'/', u"报告.txt"_s, QLocale(u"zh_CN"_s));
    QCOMPARE(row.cells[FileRow::FileId], u"7"_s);
    QCOMPARE(row.cells[FileRow::OldName], u"报告.txt"_s);
    QCOMPARE(row.cells[FileRow::fileDX], u"1.5KB"_s);
    QCOMPARE(row.cells[FileRow::fileSX], u"未知"_s);
    QVERIFY(row.cells[FileRow::NewName].isEmpty());
    QVERIFY(row.cells[FileRow::option].isEmpty());
    QVERIFY(!row.cells[FileRow::fileLX].isEmpty());
    QVERIFY(row.cells[FileRow::ETime].startsWith(
        QLocale(u"zh_CN"_s).toString(QDate::currentDate(), QLocale::ShortFormat)));
    QVERIFY(row.ticked);

    // A file that vanished between listing and reading: empty cells, no failure.
    const FileRow gone = FileRow::read(8, tree.path() + u'/', u"gone.txt"_s);
    QCOMPARE(gone.cells[FileRow::OldName], u"gone.txt"_s);
    QVERIFY(gone.cells[FileRow::fileDX].isEmpty());
    QVERIFY(gone.cells[FileRow::fileSX].isEmpty());
    QVERIFY(gone.cells[FileRow::ETime].isEmpty());
}

void TestFileRow::nameThatIsNotUtf8()
{
    TempTree tree;
    // A name in another encoding (GBK bytes of 张三): listed, its row filled as far as it can be.
    const QByteArray folder = QFile::encodeName(tree.path());
    const QByteArray gbkName = folder + "/\xD5\xC5\xC8\xFD.txt";
    int fd = ::open(gbkName.constData(), O_CREAT | O_WRONLY, 0644);
    QVERIFY(fd >= 0);
    ::close(fd);
    tree.write(u"plain.txt"_s, "x");
    HiddenFileList list;
    list.setPath(tree.path());
    QCOMPARE(list.count(), 2);
    for (int k = 0; k < list.count(); ++k) {
        const FileRow row = FileRow::read(k + 1, tree.path() + u'/', list.name(k));
        QCOMPARE(row.cells[FileRow::OldName], list.name(k));
    }
    QCOMPARE(list.name(0), u"plain.txt"_s);
    QCOMPARE(FileRow::read(1, tree.path() + u'/', list.name(0)).cells[FileRow::fileDX], u"1B"_s);
    // The other name cannot be spelt back into its bytes: its properties stay empty.
    QVERIFY(FileRow::read(2, tree.path() + u'/', list.name(1)).cells[FileRow::fileDX].isEmpty());
}

void TestFileRow::filterPatterns_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("start") << QList<int>{} << u"*.*"_s;
    QTest::newRow("word while all ticked") << QList<int>{3} << u"*.*"_s;
    QTest::newRow("word alone") << QList<int>{3, 1} << u"*.doc;*.docx"_s;
    QTest::newRow("word and text") << QList<int>{3, 1, 6} << u"*.doc;*.docx;*.txt"_s;
    QTest::newRow("item order, not click order") << QList<int>{1, 6, 3} << u"*.doc;*.docx;*.txt"_s;
    QTest::newRow("music and video")
        << QList<int>{1, 9, 10}
        << u"*.mp3;*.wav;*.wma;*.rm;*.avi;*.mpg;*.mpeg;*.rm;*.dat;*.mov;*.flv;*.asf;*.rvmb;*.mkv;*.wmv"_s;
    QTest::newRow("nothing ticked") << QList<int>{1} << QString();
}

void TestFileRow::filterPatterns()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QString, pattern);
    FilterMenu menu;
    for (int item : clicks)
        menu.toggle(item);
    QCOMPARE(menu.pattern(), pattern);
}

void TestFileRow::hiddenFileListKeepsItsNamesWhenFolderVanishes()
{
    TempTree tree;
    tree.write(u"sub/b.txt"_s);
    tree.write(u"sub/A.txt"_s);
    HiddenFileList list;
    list.setPath(tree.file(u"sub"_s));
    QCOMPARE(list.names(), (QStringList{u"A.txt"_s, u"b.txt"_s}));
    QVERIFY(QDir(tree.file(u"sub"_s)).removeRecursively());
    list.refresh();
    QCOMPARE(list.count(), 2);
    QCOMPARE(list.name(5), QString());
}

void TestFileRow::toolWindowRectRoundsHalfToEven()
{
    // 9000 − 6495 − 1.35 × 270 = 2140.5 → 2140; 2364 + 30 = 2394.
    const ToolWindowRect r = ToolWindowRect::compute(9000, 2364, 6495, 270, 9372.5, 6495.5);
    QCOMPARE(r.top, 2140);
    QCOMPARE(r.left, 2394);
    QCOMPARE(r.width, 9372);
    QCOMPARE(r.height, 6496);
}

QTEST_GUILESS_MAIN(TestFileRow)
#include "tst_filerow.moc"
