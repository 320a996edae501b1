#include "TempTree.h"
#include "platform/Trash.h"

#include <QDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace Platform;

class TestTrash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void movesIntoHomeTrashWithInfo();
    void sameNameTwiceKeepsBoth();
    void missingFileFails();
};

void TestTrash::movesIntoHomeTrashWithInfo()
{
    TempTree home;
    TempTree work;
    // The trash folder does not exist yet: it is created.
    Trash trash(home.file(u"data"_s));
    const QString path = work.write(u"记录 1.txt"_s, "record");
    const QDateTime when(QDate(2026, 12, 10), QTime(12, 30, 5));
    QString error;
    QVERIFY2(trash.moveToTrash(path, &error, when), qPrintable(error));
    QVERIFY(!work.exists(u"记录 1.txt"_s));
    QCOMPARE(home.read(u"data/Trash/files/记录 1.txt"_s), QByteArray("record"));
    const QByteArray info = home.read(u"data/Trash/info/记录 1.txt.trashinfo"_s);
    const QByteArray encoded = QUrl::toPercentEncoding(path, "/");
    QVERIFY(encoded.contains("%E8%AE%B0%E5%BD%95%201.txt"));
    QCOMPARE(info, "[Trash Info]\nPath=" + encoded + "\nDeletionDate=2026-12-10T12:30:05\n");
}

void TestTrash::sameNameTwiceKeepsBoth()
{
    TempTree home;
    TempTree work;
    Trash trash(home.path());
    QVERIFY(trash.moveToTrash(work.write(u"a.txt"_s, "first")));
    QVERIFY(trash.moveToTrash(work.write(u"a.txt"_s, "second")));
    QCOMPARE(home.read(u"Trash/files/a.txt"_s), QByteArray("first"));
    QCOMPARE(home.read(u"Trash/files/a.2.txt"_s), QByteArray("second"));
    QCOMPARE(home.entries(u"Trash/info"_s), (QStringList{u"a.2.txt.trashinfo"_s, u"a.txt.trashinfo"_s}));
}

void TestTrash::missingFileFails()
{
    TempTree home;
    Trash trash(home.path());
    QString error;
    QVERIFY(!trash.moveToTrash(home.file(u"nothing.txt"_s), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!home.exists(u"Trash/info/nothing.txt.trashinfo"_s));
}

QTEST_GUILESS_MAIN(TestTrash)
#include "tst_trash.moc"
