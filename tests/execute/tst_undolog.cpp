#include "TempTree.h"

#include "execute/UndoLog.h"
#include "execute/UndoLogDocument.h"
#include "execute/UndoLogWriter.h"

#include "platform/FileAttributes.h"
#include "platform/FileSystem.h"
#include "platform/GbkText.h"

#include <QLocale>
#include <QTest>

#include <thread>

using namespace Qt::Literals::StringLiterals;

// The undo record document: its name, its bytes, reading it back, and the writer.
class TestUndoLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void documentName_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("name");
        QTest::newRow("no leading zeros")
            << QDateTime(QDate(2013, 10, 17), QTime(9, 5, 30)) << u"2013-10-17 9时5分30秒.txt"_s;
        QTest::newRow("midnight") << QDateTime(QDate(2024, 1, 2), QTime(0, 0, 0))
                                  << u"2024-01-02 0时0分0秒.txt"_s;
        QTest::newRow("last second") << QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59))
                                     << u"1999-12-31 23时59分59秒.txt"_s;
    }

    void documentName()
    {
        QFETCH(QDateTime, now);
        QFETCH(QString, name);
        // A Chinese locale's short date holds "/", which cannot be in a file name.
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
        const QString built = Execute::UndoLogName(now);
        QLocale::setDefault(previous);
        QCOMPARE(built, name);
    }

    void undoFolderHasFiles_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<bool>("hasFiles");
        QTest::newRow("missing folder") << u"missing"_s << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("dot file only") << u".hidden"_s << false;
        QTest::newRow("hidden attribute only") << u"hidden-attribute"_s << false;
        QTest::newRow("sub-folder only") << u"folder"_s << false;
        QTest::newRow("one document") << u"2013-10-17 9时5分30秒.txt"_s << true;
        QTest::newRow("any name") << u"notes"_s << true;
    }

    void undoFolderHasFiles()
    {
        QFETCH(QString, content);
        QFETCH(bool, hasFiles);
        TempTree tree;
        const QString folder = tree.mkdir(u"undofile"_s);
        QString checked = folder;
        if (content == u"missing"_s) {
            checked = tree.file(u"nothing"_s);
        } else if (content == u"folder"_s) {
            tree.mkdir(u"undofile/old"_s);
        } else if (content == u"hidden-attribute"_s) {
            const QString path = tree.write(u"undofile/h.txt"_s, "x");
            if (!Platform::writeAttributes(path, Platform::AttrHidden))
                QSKIP("extended attributes are not available here");
        } else if (!content.isEmpty()) {
            tree.write(u"undofile/"_s + content, "x");
        }
        QCOMPARE(Execute::UndoFolderHasFiles(checked), hasFiles);
    }

    void entryBytes()
    {
        QCOMPARE(Execute::undoEntryBytes(u"/d/照片/001.jpg"_s, u"/d/照片/DSC0001.jpg"_s),
                 QByteArray("\"/d/\xd5\xd5\xc6\xac/001.jpg\r\n/d/\xd5\xd5\xc6\xac/DSC0001.jpg\"\r\n"));
        QVERIFY(Execute::unrecordableReason(u"/d/a.txt"_s, true).isEmpty());
        QVERIFY(Execute::unrecordableReason(u"/d/a.txt "_s, false).isEmpty()); // kept by its closing quote
        QVERIFY(!Execute::unrecordableReason(u"/d/a.txt "_s, true).isEmpty());
        QVERIFY(!Execute::unrecordableReason(u"/d/a\nb"_s, false).isEmpty());
        QVERIFY(Execute::unrecordableReason(u"/d/😀"_s, false).isEmpty()); // the document becomes UTF-8
        QCOMPARE(Execute::undoEntryBytes(u"/d/ö/1.txt"_s, u"/d/ö/a.txt"_s, Execute::UndoLogEncoding::Utf8),
                 QByteArray("\"/d/\xC3\xB6/1.txt\r\n/d/\xC3\xB6/a.txt\"\r\n"));
        // The form the execution writes: the folder, encoded once, before each name.
        QCOMPARE(Execute::encodedUndoEntry("/d/", "001.jpg", "DSC0001.jpg"),
                 QByteArray("\"/d/001.jpg\r\n/d/DSC0001.jpg\"\r\n"));
        QCOMPARE(Execute::neededEncoding({u"/d/照片/a"_s, u"/d/b"_s}), Execute::UndoLogEncoding::Gbk);
        QCOMPARE(Execute::neededEncoding({u"/d/照片/a"_s, u"/d/ö"_s}), Execute::UndoLogEncoding::Utf8);
    }

    void readingBack_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("paths"); // current, old, current, old, ...
        QTest::addColumn<QString>("folder");

        QTest::newRow("two entries") << QByteArray("\"/x/1.txt\r\n/x/a.txt\"\r\n\"/x/2.txt\r\n/x/b.txt\"\r\n")
                                     << QStringList{u"/x/1.txt"_s, u"/x/a.txt"_s, u"/x/2.txt"_s,
                                                    u"/x/b.txt"_s}
                                     << u"/x/"_s;
        QTest::newRow("GBK names") << QByteArray("\"/\xd5\xd5\xc6\xac/1.jpg\r\n/\xd5\xd5\xc6\xac/a.jpg\"\r\n")
                                   << QStringList{u"/照片/1.jpg"_s, u"/照片/a.jpg"_s} << u"/照片/"_s;
        QTest::newRow("odd number of lines") << QByteArray("\"/x/1.txt\r\n/x/a.txt\"\r\n\"/x/2.txt\r\n")
                                             << QStringList{u"/x/1.txt"_s, u"/x/a.txt"_s} << u"/x/"_s;
        QTest::newRow("empty lines") << QByteArray("\r\n\"/x/1.txt\r\n\r\n  \r\n/x/a.txt\"\r\n\r\n")
                                     << QStringList{u"/x/1.txt"_s, u"/x/a.txt"_s} << u"/x/"_s;
        QTest::newRow("spaces around lines") << QByteArray("  \"/x/1.txt  \r\n /x/a b.txt\"  \r\n")
                                             << QStringList{u"/x/1.txt"_s, u"/x/a b.txt"_s} << u"/x/"_s;
        QTest::newRow("old path ends with a space")
            << QByteArray("\"/x/1.txt\r\n/x/a \"\r\n") << QStringList{u"/x/1.txt"_s, u"/x/a "_s} << u"/x/"_s;
        QTest::newRow("lone CR and LF")
            << QByteArray("\"/x/1.txt\r/x/a.txt\"\n\"/x/2.txt\n/x/b.txt\"")
            << QStringList{u"/x/1.txt"_s, u"/x/a.txt"_s, u"/x/2.txt"_s, u"/x/b.txt"_s} << u"/x/"_s;
        QTest::newRow("stray line") << QByteArray("/x/broken.txt\"\r\n\"/x/1.txt\r\n/x/a.txt\"\r\n")
                                    << QStringList{u"/x/1.txt"_s, u"/x/a.txt"_s} << u"/x/"_s;
        QTest::newRow("not GBK") << QByteArray("\"/x/\x81\x30.txt\r\n/x/a.txt\"\r\n")
                                 << QStringList{u"/x/\uFFFD0.txt"_s, u"/x/a.txt"_s} << u"/x/"_s;
        // The converter would silently drop a lead byte cut off at the end of a line.
        QTest::newRow("cut-off character") << QByteArray("\"/x/a\xd5\r\n/x/b.txt\"\r\n")
                                           << QStringList{u"/x/a\uFFFD"_s, u"/x/b.txt"_s} << u"/x/"_s;
        QTest::newRow("written on Windows")
            << QByteArray("\"D:\\x\\1.txt\r\nD:\\x\\a.txt\"\r\n")
            << QStringList{u"D:\\x\\1.txt"_s, u"D:\\x\\a.txt"_s} << u"D:\\x\\"_s;
        QTest::newRow("no folder in the path")
            << QByteArray("\"1.txt\r\na.txt\"\r\n") << QStringList{u"1.txt"_s, u"a.txt"_s} << u"1.txt"_s;
        QTest::newRow("empty") << QByteArray() << QStringList{} << QString();
        // A byte-order mark makes the whole document UTF-8; without one it is GBK.
        QTest::newRow("UTF-8 with BOM")
            << QByteArray("\xEF\xBB\xBF\"/\xC3\xB6/1.txt\r\n/\xC3\xB6/\xF0\x9F\x98\x80.txt\"\r\n")
            << QStringList{u"/ö/1.txt"_s, u"/ö/😀.txt"_s} << u"/ö/"_s;
        QTest::newRow("UTF-8 bytes without BOM read as GBK")
            << QByteArray("\"/\xC3\xB6/1.txt\r\n/x/a.txt\"\r\n") << QStringList{u"/枚/1.txt"_s, u"/x/a.txt"_s}
            << u"/枚/"_s;
    }

    void readingBack()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, paths);
        QFETCH(QString, folder);
        const Execute::UndoLogDocument document = Execute::UndoLogDocument::parse(bytes);
        QStringList read;
        for (const Execute::UndoEntry& entry : document.entries())
            read << entry.currentPath << entry.oldPath;
        QCOMPARE(read, paths);
        QCOMPARE(document.folderText(), folder);
        QCOMPARE(document.isBlank(), bytes.isEmpty());
    }

    void gbkDecoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << QByteArray("a\xd5\xc5") << u"a张"_s;
        QTest::newRow("cut off at the end") << QByteArray("a\xd5") << u"a\uFFFD"_s;
        QTest::newRow("bad trail byte") << QByteArray("\x81\x30") << u"\uFFFD0"_s;
        QTest::newRow("bad trail then cut off") << QByteArray("\x81\x30\xd5") << u"\uFFFD0\uFFFD"_s;
    }

    void gbkDecoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(Platform::decodeGbk(bytes), text);
    }

    void rewritingKeepsTheBytesOfTheEntries()
    {
        const QByteArray bytes("\"/x/\x80\xff.txt\r\n/x/a.txt\"\r\n\"D:\\x\\2.txt\r\nD:\\x\\b.txt\"\r\n");
        const auto document = Execute::UndoLogDocument::parse(bytes);
        QCOMPARE(Execute::UndoLogDocument::serialize(document.entries()), bytes);
        QCOMPARE(Execute::UndoLogDocument::serialize({document.entries().at(1)}),
                 QByteArray("\"D:\\x\\2.txt\r\nD:\\x\\b.txt\"\r\n"));
        const QByteArray utf8("\xEF\xBB\xBF\"/\xC3\xB6/1\r\n/\xC3\xB6/a\"\r\n\"/x/2\r\n/x/b\"\r\n");
        const auto utf8Document = Execute::UndoLogDocument::parse(utf8);
        QVERIFY(utf8Document.isUtf8());
        QCOMPARE(Execute::UndoLogDocument::serialize(utf8Document.entries(), true), utf8);
    }

    void entriesThatCannotBePlayedBack_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("old");
        QTest::addColumn<bool>("valid");
        QTest::newRow("same folder") << u"/x/1.txt"_s << u"/x/a.txt"_s << true;
        QTest::newRow("folder entry") << u"/x/新"_s << u"/x/old"_s << true;
        QTest::newRow("relative") << u"x/1.txt"_s << u"x/a.txt"_s << false;
        QTest::newRow("Windows") << u"D:\\x\\1.txt"_s << u"D:\\x\\a.txt"_s << false;
        QTest::newRow("another folder") << u"/x/1.txt"_s << u"/y/a.txt"_s << false;
        QTest::newRow("dot dot") << u"/x/1.txt"_s << u"/x/.."_s << false;
        QTest::newRow("empty name") << u"/x/1.txt"_s << u"/x/"_s << false;
    }

    void entriesThatCannotBePlayedBack()
    {
        QFETCH(QString, current);
        QFETCH(QString, old);
        QFETCH(bool, valid);
        Execute::UndoEntry entry;
        entry.currentPath = current;
        entry.oldPath = old;
        QCOMPARE(Execute::UndoLogDocument::entryProblem(entry).isEmpty(), valid);
    }

    void writerTakesBackAnEntry()
    {
        TempTree tree;
        const QString path = tree.file(u"log.txt"_s);
        Execute::UndoLogWriter writer;
        QVERIFY(writer.open(path));
        QVERIFY(writer.append("\"/x/1\r\n/x/a\"\r\n"));
        QVERIFY(writer.append("\"/x/2\r\n/x/b\"\r\n"));
        writer.retract();
        QCOMPARE(tree.read(u"log.txt"_s), QByteArray("\"/x/1\r\n/x/a\"\r\n")); // on disk before close
        QVERIFY(writer.append("\"/x/3\r\n/x/c\"\r\n"));
        QVERIFY(writer.close());
        QCOMPARE(tree.read(u"log.txt"_s), QByteArray("\"/x/1\r\n/x/a\"\r\n\"/x/3\r\n/x/c\"\r\n"));
        QVERIFY(!Execute::UndoLogWriter().open(tree.file(u"missing/log.txt"_s)));
    }

    // A writer waiting for a document that is replaced meanwhile (the undo
    // rewrites it) appends to the new document, not to the replaced one.
    void writerFollowsAReplacedDocument()
    {
        TempTree tree;
        const QString path = tree.write(u"log.txt"_s, "\"/x/1\r\n/x/a\"\r\n");
        auto first = std::make_unique<Execute::UndoLogWriter>();
        QVERIFY(first->open(path)); // holds the lock

        bool opened = false;
        bool appended = false;
        std::thread second([&] {
            Execute::UndoLogWriter writer;
            opened = writer.open(path);
            appended = writer.append("\"/x/2\r\n/x/b\"\r\n");
            writer.close();
        });
        QTest::qWait(100); // the second writer now waits for the lock
        QVERIFY(Platform::writeFileAtomically(path, "\"/x/9\r\n/x/z\"\r\n"));
        first.reset(); // releases the lock
        second.join();
        QVERIFY(opened);
        QVERIFY(appended);
        QCOMPARE(tree.read(u"log.txt"_s), QByteArray("\"/x/9\r\n/x/z\"\r\n\"/x/2\r\n/x/b\"\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestUndoLog)
#include "tst_undolog.moc"
