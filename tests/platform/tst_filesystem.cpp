#include "FileSizeLimit.h"
#include "TempTree.h"
#include "platform/FileAttributes.h"
#include "platform/FileSystem.h"
#include "platform/SingleInstance.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;
using namespace Platform;

class TestFileSystem : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pathExists_data();
    void pathExists();
    void renameNeverReplaces();
    void renameMovesFilesAndFolders();
    void listingOrderAndFilters_data();
    void listingOrderAndFilters();
    void listingLeavesOutHiddenAndFolders();
    void listingOfUnreadableFolder();
    void attributesRoundTrip_data();
    void attributesRoundTrip();
    void attributesReadStoredForms_data();
    void attributesReadStoredForms();
    void attributesRefuseWhatCannotBeStored();
    void copyWithAndWithoutReplacing();
    void atomicWriteKeepsOriginalOnFailure();
    void atomicWriteOnFullDisk_data();
    void atomicWriteOnFullDisk();
    void singleInstance();
};

void TestFileSystem::pathExists_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("create");
    QTest::addColumn<bool>("expected");
    QTest::newRow("folder") << u"sub"_s << true << true;
    QTest::newRow("file") << u"a.txt"_s << true << true;
    QTest::newRow("missing") << u"nothing.txt"_s << false << false;
}

void TestFileSystem::pathExists()
{
    QFETCH(QString, relative);
    QFETCH(bool, create);
    QFETCH(bool, expected);
    TempTree tree;
    if (create) {
        if (relative.contains(u'.'))
            tree.write(relative, "x");
        else
            tree.mkdir(relative);
    }
    QCOMPARE(PathExists(tree.file(relative)), expected);
    QVERIFY(!PathExists(QString()));
    QVERIFY(!PathExists(tree.file(u"a\0b"_s)));
}

void TestFileSystem::renameNeverReplaces()
{
    TempTree tree;
    tree.write(u"old.txt"_s, "old content");
    tree.write(u"taken.txt"_s, "precious");
    tree.mkdir(u"folder"_s);

    QCOMPARE(renameNoReplace(tree.file(u"old.txt"_s), tree.file(u"taken.txt"_s)), RenameResult::TargetExists);
    QCOMPARE(tree.read(u"taken.txt"_s), QByteArray("precious"));
    QCOMPARE(tree.read(u"old.txt"_s), QByteArray("old content"));

    QCOMPARE(renameNoReplace(tree.file(u"old.txt"_s), tree.file(u"folder"_s)), RenameResult::TargetExists);
    QVERIFY(tree.exists(u"old.txt"_s));

    QCOMPARE(renameNoReplace(tree.file(u"gone.txt"_s), tree.file(u"new.txt"_s)), RenameResult::SourceMissing);
    QCOMPARE(renameNoReplace(tree.file(u"old.txt"_s), QString()), RenameResult::Failed);
}

void TestFileSystem::renameMovesFilesAndFolders()
{
    TempTree tree;
    tree.write(u"a.txt"_s, "A");
    tree.write(u"dir/inner.txt"_s, "I");
    QCOMPARE(renameNoReplace(tree.file(u"a.txt"_s), tree.file(u"张三.txt"_s)), RenameResult::Renamed);
    QCOMPARE(tree.read(u"张三.txt"_s), QByteArray("A"));
    QVERIFY(!tree.exists(u"a.txt"_s));
    QCOMPARE(renameNoReplace(tree.file(u"dir"_s), tree.file(u"dir2"_s)), RenameResult::Renamed);
    QCOMPARE(tree.read(u"dir2/inner.txt"_s), QByteArray("I"));
}

void TestFileSystem::listingOrderAndFilters_data()
{
    QTest::addColumn<QString>("patterns");
    QTest::addColumn<QStringList>("expected");
    const QStringList all{u"a.TXT"_s, u"B.doc"_s, u"b.docx"_s, u"c"_s, u"photo.JPG"_s, u"Z.txt"_s};
    QTest::newRow("all") << u"*.*"_s << all;
    QTest::newRow("word") << u"*.doc;*.docx"_s << QStringList{u"B.doc"_s, u"b.docx"_s};
    QTest::newRow("word and text") << u"*.doc;*.docx;*.txt"_s
                                   << QStringList{u"a.TXT"_s, u"B.doc"_s, u"b.docx"_s, u"Z.txt"_s};
    QTest::newRow("case of extension") << u"*.jpg"_s << QStringList{u"photo.JPG"_s};
    QTest::newRow("question mark") << u"?.txt"_s << QStringList{u"a.TXT"_s, u"Z.txt"_s};
    QTest::newRow("empty pattern") << QString() << QStringList{};
}

void TestFileSystem::listingOrderAndFilters()
{
    QFETCH(QString, patterns);
    QFETCH(QStringList, expected);
    TempTree tree;
    for (const QString& name : {u"Z.txt"_s, u"a.TXT"_s, u"b.docx"_s, u"B.doc"_s, u"c"_s, u"photo.JPG"_s})
        tree.write(name);
    bool ok = false;
    QCOMPARE(listFiles(tree.path(), patterns, &ok), expected);
    QVERIFY(ok);
}

void TestFileSystem::listingLeavesOutHiddenAndFolders()
{
    TempTree tree;
    tree.write(u"visible.txt"_s);
    tree.write(u".profile"_s);
    tree.mkdir(u"sub.txt"_s);
    tree.mkdir(u"another"_s);
    const QString hidden = tree.write(u"hidden.txt"_s);
    const QString system = tree.write(u"system.txt"_s);
    tree.write(u"b.txt"_s);
    tree.write(u"B.txt"_s);
    if (!writeAttributes(hidden, AttrHidden) || !writeAttributes(system, AttrSystem))
        QSKIP("this file system stores no extended attributes");
    QCOMPARE(listFiles(tree.path(), u"*.*"_s), (QStringList{u"B.txt"_s, u"b.txt"_s, u"visible.txt"_s}));
    QCOMPARE(listSubfolders(tree.path()), (QStringList{u"another"_s, u"sub.txt"_s}));
}

void TestFileSystem::listingOfUnreadableFolder()
{
    TempTree tree;
    bool ok = true;
    QVERIFY(listFiles(tree.file(u"missing"_s), u"*.*"_s, &ok).isEmpty());
    QVERIFY(!ok);
}

void TestFileSystem::attributesRoundTrip_data()
{
    QTest::addColumn<int>("value");
    QTest::newRow("normal") << 0;
    QTest::newRow("read-only") << 1;
    QTest::newRow("hidden") << 2;
    QTest::newRow("archive") << 32;
    QTest::newRow("read-only archive") << 33;
    QTest::newRow("read-only hidden archive") << 35;
}

void TestFileSystem::attributesRoundTrip()
{
    QFETCH(int, value);
    TempTree tree;
    const QString path = tree.write(u"f.txt"_s, "x");
    QCOMPARE(readAttributes(path), 0);
    if (!writeAttributes(path, value))
        QSKIP("this file system stores no extended attributes");
    QCOMPARE(readAttributes(path), value);
    struct stat st;
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
    QCOMPARE((st.st_mode & 0222) == 0, bool(value & AttrReadOnly));
    // Back to a plain file: writable again, nothing stored beyond it.
    QVERIFY(writeAttributes(path, 0));
    QCOMPARE(readAttributes(path), 0);
    QVERIFY(QFile::permissions(path) & QFile::WriteOwner);
}

void TestFileSystem::attributesReadStoredForms_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("expected");
    QTest::newRow("legacy text") << QByteArray("0x20") << 32;
    QTest::newRow("legacy text with NUL") << QByteArray("0x22", 5) << 34;
    // Samba's binary form: the hexadecimal text, NUL, version 5 and its structure.
    QTest::newRow("samba v5") << QByteArray("0x20\0\x05\0\x05\0\x01\0\0\0\x20\0\0\0\0\0\0\0\0\0\0\0", 25)
                              << 32;
    QTest::newRow("garbage") << QByteArray("hello") << 0;
    // Read-only comes from the permission, not from what is stored.
    QTest::newRow("stored read-only bit") << QByteArray("0x21") << 32;
}

void TestFileSystem::attributesReadStoredForms()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, expected);
    TempTree tree;
    const QString path = tree.write(u"f.txt"_s, "x");
    if (::setxattr(QFile::encodeName(path).constData(), "user.DOSATTRIB", stored.constData(),
                   size_t(stored.size()), 0) != 0)
        QSKIP("this file system stores no extended attributes");
    QCOMPARE(readAttributes(path), expected);
}

void TestFileSystem::attributesRefuseWhatCannotBeStored()
{
    TempTree tree;
    const QString dotFile = tree.write(u".hidden"_s, "x");
    QCOMPARE(readAttributes(dotFile), int(AttrHidden));
    QVERIFY(!writeAttributes(dotFile, 0)); // the dot keeps it hidden
    const QString folder = tree.mkdir(u"dir"_s);
    QCOMPARE(readAttributes(folder), int(AttrDirectory));
    QVERIFY(!writeAttributes(tree.file(u"missing.txt"_s), 0));
    QCOMPARE(readAttributes(tree.file(u"missing.txt"_s)), -1);
}

void TestFileSystem::copyWithAndWithoutReplacing()
{
    TempTree tree;
    const QString source = tree.write(u"source.txt"_s, "new");
    const QString target = tree.write(u"target.txt"_s, "old");
    QVERIFY(!copyFile(source, target, false));
    QCOMPARE(tree.read(u"target.txt"_s), QByteArray("old"));
    QVERIFY(copyFile(source, target, true));
    QCOMPARE(tree.read(u"target.txt"_s), QByteArray("new"));
    QVERIFY(copyFile(source, tree.file(u"fresh.txt"_s), false));
    QCOMPARE(tree.read(u"fresh.txt"_s), QByteArray("new"));
    QVERIFY(!copyFile(tree.file(u"missing"_s), tree.file(u"x"_s), false));
    QVERIFY(!tree.exists(u"x"_s));
}

void TestFileSystem::atomicWriteKeepsOriginalOnFailure()
{
    TempTree tree;
    const QString path = tree.write(u"doc.txt"_s, "original");
    QVERIFY(writeFileAtomically(path, "replaced"));
    QCOMPARE(tree.read(u"doc.txt"_s), QByteArray("replaced"));
    // A folder that does not exist: nothing written, an error given.
    QString error;
    QVERIFY(!writeFileAtomically(tree.file(u"missing/doc.txt"_s), "x", &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(tree.entries(), QStringList{u"doc.txt"_s});
}

void TestFileSystem::atomicWriteOnFullDisk_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("copy");
    // Smaller than a stream's buffer (the failure shows only at the flush) and larger.
    QTest::newRow("buffered write") << 10000 << false;
    QTest::newRow("large write") << 300000 << false;
    QTest::newRow("copy over a file") << 10000 << true;
}

void TestFileSystem::atomicWriteOnFullDisk()
{
    QFETCH(int, size);
    QFETCH(bool, copy);
    TempTree tree;
    const QString path = tree.write(u"doc.txt"_s, "original");
    const QString source = tree.write(u"source.bin"_s, QByteArray(size, 'x'));
    QString error;
    bool written;
    {
        const FileSizeLimit full(4096);
        written = copy ? copyFile(source, path, true, &error)
                       : writeFileAtomically(path, QByteArray(size, 'x'), &error);
    }
    QVERIFY(!written);
    QVERIFY(error.contains(path));
    QCOMPARE(tree.read(u"doc.txt"_s), QByteArray("original"));
    QCOMPARE(tree.entries(), (QStringList{u"doc.txt"_s, u"source.bin"_s}));
}

void TestFileSystem::singleInstance()
{
    TempTree tree;
    const QString exe = u"/opt/tarnwick/bin/tarnwick"_s;
    {
        SingleInstance first(exe, tree.path());
        QVERIFY(first.acquire());
        SingleInstance second(exe, tree.path());
        QVERIFY(!second.acquire());
        SingleInstance other(u"/elsewhere/tarnwick"_s, tree.path());
        QVERIFY(other.acquire());
    }
    // A copy that died holding the lock does not keep the next one out.
    const pid_t child = fork();
    if (child == 0) {
        SingleInstance dying(exe, tree.path());
        _exit(dying.acquire() ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QCOMPARE(WEXITSTATUS(status), 0);
    QVERIFY(QFile::exists(SingleInstance(exe, tree.path()).lockPath()));
    SingleInstance next(exe, tree.path());
    QVERIFY(next.acquire());
}

QTEST_GUILESS_MAIN(TestFileSystem)
#include "tst_filesystem.moc"
