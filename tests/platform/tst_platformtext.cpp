#include "TempTree.h"
#include "platform/FileDetails.h"
#include "platform/GbkText.h"
#include "platform/TimeText.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace Platform;

class TestPlatformText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void gbkRoundTrip_data();
    void gbkRoundTrip();
    void lineEnds_data();
    void lineEnds();
    void linesAreWrittenWithCrLf();
    void timeTexts_data();
    void timeTexts();
    void fileDetails();
};

void TestPlatformText::gbkRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("张三") << u"张三"_s << QByteArray("\xD5\xC5\xC8\xFD");
    QTest::newRow("亍") << u"亍"_s << QByteArray("\xD8\xA1");
    QTest::newRow("ascii") << u"a.txt"_s << QByteArray("a.txt");
}

void TestPlatformText::gbkRoundTrip()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(encodeGbk(text), bytes);
    QCOMPARE(decodeGbk(bytes), text);
    QVERIFY(gbkCanEncode(text));
    QVERIFY(!gbkCanEncode(text + u"😀"_s));
}

void TestPlatformText::lineEnds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("crlf") << u"Alpha\r\nBeta\r\n"_s << QStringList{u"Alpha"_s, u"Beta"_s};
    QTest::newRow("lone cr") << u"Alpha\rBeta"_s << QStringList{u"Alpha"_s, u"Beta"_s};
    QTest::newRow("lf") << u"Alpha\nBeta\n"_s << QStringList{u"Alpha"_s, u"Beta"_s};
    QTest::newRow("empty and spaced lines")
        << u"\r\n  x \r\n\r\n"_s << QStringList{QString(), u"  x "_s, QString()};
    QTest::newRow("no final end") << u"one"_s << QStringList{u"one"_s};
    QTest::newRow("empty") << QString() << QStringList{};
}

void TestPlatformText::lineEnds()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(splitLines(text), lines);
    TempTree tree;
    const QString path = tree.write(u"doc.txt"_s, encodeGbk(text));
    bool ok = false;
    QCOMPARE(readGbkLines(path, &ok), lines);
    QVERIFY(ok);
}

void TestPlatformText::linesAreWrittenWithCrLf()
{
    QCOMPARE(gbkLinesBytes({u"\"/照片/001.jpg"_s, u"/照片/DSC0001.jpg\""_s}),
             QByteArray("\"/\xD5\xD5\xC6\xAC/001.jpg\r\n/\xD5\xD5\xC6\xAC/DSC0001.jpg\"\r\n"));
    bool ok = true;
    QVERIFY(readGbkLines(u"/nonexistent/doc.txt"_s, &ok).isEmpty());
    QVERIFY(!ok);
}

void TestPlatformText::timeTexts_data()
{
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QString>("expected");
    const QDateTime morning(QDate(2013, 10, 17), QTime(9, 5, 30));
    QTest::newRow("zh_CN") << u"zh_CN"_s << morning << u"2013/10/17 9:05:30"_s;
    QTest::newRow("zh_CN afternoon") << u"zh_CN"_s << QDateTime(QDate(2013, 1, 2), QTime(21, 0, 1))
                                     << u"2013/1/2 21:00:01"_s;
    QTest::newRow("zh_CN midnight") << u"zh_CN"_s << QDateTime(QDate(2013, 10, 17), QTime(0, 0))
                                    << u"2013/10/17"_s;
    QTest::newRow("en_US") << u"en_US"_s << morning << u"10/17/13 9:05:30 AM"_s;
    QTest::newRow("invalid") << u"zh_CN"_s << QDateTime() << QString();
}

void TestPlatformText::timeTexts()
{
    QFETCH(QString, localeName);
    QFETCH(QDateTime, time);
    QFETCH(QString, expected);
    QCOMPARE(dateTimeText(time, QLocale(localeName)), expected);
}

void TestPlatformText::fileDetails()
{
    TempTree tree;
    const QString path = tree.write(u"notes.txt"_s, QByteArray(1280, 'x'));
    const FileDetails details = readFileDetails(path);
    QCOMPARE(details.size, 1280);
    QCOMPARE(details.attributes, 0);
    QVERIFY(!details.typeDescription.isEmpty());
    QVERIFY(details.modified.isValid());
    QVERIFY(details.accessed.isValid());
    QVERIFY(qAbs(details.modified.secsTo(QDateTime::currentDateTime())) < 600);

    const FileDetails missing = readFileDetails(tree.file(u"gone.txt"_s));
    QCOMPARE(missing.size, -1);
    QCOMPARE(missing.attributes, -1);
    QVERIFY(!missing.modified.isValid());
}

QTEST_GUILESS_MAIN(TestPlatformText)
#include "tst_platformtext.moc"
