#include "rename/AttributeMask.h"
#include "rename/CaseConvert.h"
#include "rename/NameParts.h"
#include "rename/NumberText.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace Rename;

class TestNameRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitExtension_data();
    void splitExtension();
    void trimSpacesOnlyTrimsSpaces();
    void numericValue_data();
    void numericValue();
    void int16Limits();
    void formatNumber_data();
    void formatNumber();
    void caseConvert_data();
    void caseConvert();
    void attributeMask_data();
    void attributeMask();
};

void TestNameRules::splitExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("ext");
    QTest::newRow("extension lower-cased") << u"a.TXT"_s << u"a"_s << u".txt"_s;
    QTest::newRow("last dot only") << u"archive.tar.gz"_s << u"archive.tar"_s << u".gz"_s;
    QTest::newRow("no dot") << u"README"_s << u"README"_s << QString();
    QTest::newRow("leading only dot") << u".profile"_s << QString() << u".profile"_s;
    QTest::newRow("trailing dot") << u"x."_s << u"x"_s << u"."_s;
    QTest::newRow("base keeps its case") << u"Photo.JPG"_s << u"Photo"_s << u".jpg"_s;
    QTest::newRow("chinese") << u"报告.Doc"_s << u"报告"_s << u".doc"_s;
    QTest::newRow("empty") << QString() << QString() << QString();
}

void TestNameRules::splitExtension()
{
    QFETCH(QString, name);
    QFETCH(QString, base);
    QFETCH(QString, ext);
    const NameParts parts = SplitExtension(name);
    QCOMPARE(parts.base, base);
    QCOMPARE(parts.ext, ext);
}

void TestNameRules::trimSpacesOnlyTrimsSpaces()
{
    QCOMPARE(trimSpaces(u"  b.doc"), u"b.doc"_s);
    QCOMPARE(trimSpaces(u" a b  "), u"a b"_s);
    QCOMPARE(trimSpaces(u"   "), QString());
    // Only U+0020: a tab or an ideographic space is part of the text.
    QCOMPARE(trimSpaces(u"\ta\t"), u"\ta\t"_s);
    QCOMPARE(trimSpaces(u"\u3000a"), u"\u3000a"_s);
}

void TestNameRules::numericValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("value");
    QTest::newRow("empty") << QString() << qint64(0);
    QTest::newRow("digits") << u"360430"_s << qint64(360430);
    QTest::newRow("leading zeros") << u"007"_s << qint64(7);
    QTest::newRow("negative") << u"-8"_s << qint64(-8);
    QTest::newRow("negative padded") << u"-005"_s << qint64(-5);
    QTest::newRow("number then text") << u"12abc"_s << qint64(12);
    QTest::newRow("text first") << u"abc12"_s << qint64(0);
    QTest::newRow("minus alone") << u"-"_s << qint64(0);
    QTest::newRow("plus is not a number") << u"+5"_s << qint64(0);
    QTest::newRow("leading space") << u" 5"_s << qint64(0);
    QTest::newRow("full-width digit") << u"５"_s << qint64(0);
    QTest::newRow("beyond 64 bits") << u"99999999999999999999999"_s << std::numeric_limits<qint64>::max();
    QTest::newRow("beyond 64 bits negative")
        << u"-99999999999999999999999"_s << std::numeric_limits<qint64>::min();
}

void TestNameRules::numericValue()
{
    QFETCH(QString, text);
    QFETCH(qint64, value);
    QCOMPARE(Rename::numericValue(text), value);
}

void TestNameRules::int16Limits()
{
    QCOMPARE(toInt16(32767), 32767);
    QCOMPARE(toInt16(32768), 32767);
    QCOMPARE(toInt16(-32768), -32768);
    QCOMPARE(toInt16(-40000), -32768);
    QCOMPARE(toInt16(std::numeric_limits<qint64>::max()), 32767);
}

void TestNameRules::formatNumber_data()
{
    QTest::addColumn<qint64>("n");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("text");
    QTest::newRow("padded") << qint64(7) << 3 << u"007"_s;
    QTest::newRow("never cut") << qint64(1234) << 3 << u"1234"_s;
    QTest::newRow("negative padded") << qint64(-5) << 3 << u"-005"_s;
    QTest::newRow("zero") << qint64(0) << 3 << u"000"_s;
    QTest::newRow("no pattern") << qint64(42) << 0 << u"42"_s;
    QTest::newRow("no pattern negative") << qint64(-42) << 0 << u"-42"_s;
    QTest::newRow("negative digits no pattern") << qint64(5) << -3 << u"5"_s;
    QTest::newRow("most negative") << std::numeric_limits<qint64>::min() << 0 << u"-9223372036854775808"_s;
}

void TestNameRules::formatNumber()
{
    QFETCH(qint64, n);
    QFETCH(int, digits);
    QFETCH(QString, text);
    QCOMPARE(Rename::formatNumber(n, digits), text);
}

void TestNameRules::caseConvert_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("result");
    QTest::newRow("upper") << u"MyFile"_s << 1 << u"MYFILE"_s;
    QTest::newRow("lower") << u"MyFile"_s << 2 << u"myfile"_s;
    QTest::newRow("words") << u"hello world"_s << 3 << u"Hello World"_s;
    QTest::newRow("rest lowered") << u"HELLO"_s << 3 << u"Hello"_s;
    QTest::newRow("hyphen joins") << u"hello-world"_s << 3 << u"Hello-world"_s;
    QTest::newRow("digit starts word") << u"2nd file"_s << 3 << u"2nd File"_s;
    QTest::newRow("underscore joins") << u"a_b.c d"_s << 3 << u"A_b.c D"_s;
    QTest::newRow("tab separates") << u"a\tb"_s << 3 << u"A\tB"_s;
    QTest::newRow("control separators") << u"a\nb\vc\fd\re\u0000f"_s << 3 << u"A\nB\vC\fD\rE\u0000F"_s;
    QTest::newRow("ideographic space joins") << u"a\u3000b"_s << 3 << u"A\u3000b"_s;
    QTest::newRow("chinese kept") << u"报告final"_s << 3 << u"报告final"_s;
    QTest::newRow("chinese kept upper") << u"报告final"_s << 1 << u"报告FINAL"_s;
    QTest::newRow("accented letters") << u"élan"_s << 1 << u"ÉLAN"_s;
    QTest::newRow("full-width letters") << u"ａｂ"_s << 1 << u"ＡＢ"_s;
    QTest::newRow("circled symbol unchanged") << u"ⓐ"_s << 1 << u"ⓐ"_s;
    QTest::newRow("punctuation unchanged") << u"a!b#1"_s << 1 << u"A!B#1"_s;
    QTest::newRow("leading spaces") << u"  ab"_s << 3 << u"  Ab"_s;
}

void TestNameRules::caseConvert()
{
    QFETCH(QString, text);
    QFETCH(int, mode);
    QFETCH(QString, result);
    QCOMPARE(CaseConvert(text, CaseMode(mode)), result);
}

void TestNameRules::attributeMask_data()
{
    QTest::addColumn<bool>("normal");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<bool>("archive");
    QTest::addColumn<int>("mask");
    QTest::newRow("design: normal only") << true << false << false << false << 0;
    QTest::newRow("none ticked") << false << false << false << false << 0;
    QTest::newRow("read-only and hidden") << false << true << true << false << 3;
    QTest::newRow("archive") << false << false << false << true << 32;
    QTest::newRow("all four") << true << true << true << true << 35;
}

void TestNameRules::attributeMask()
{
    QFETCH(bool, normal);
    QFETCH(bool, readOnly);
    QFETCH(bool, hidden);
    QFETCH(bool, archive);
    QFETCH(int, mask);
    QCOMPARE(AttributeMask({normal, readOnly, hidden, archive}), mask);
}

QTEST_GUILESS_MAIN(TestNameRules)
#include "tst_namerules.moc"
