// Numbers as the preview shows them under their number formats: scientific
// formats are no dates, and percent, thousands, decimals, fractions and text
// formats read as a spreadsheet shows them.

#include "Fixtures.h"
#include "TempTree.h"

#include "ExcelHost.h"
#include "Styles.h"
#include "ValueText.h"
#include "Workbook.h"
#include "Worksheet.h"

#include <QtTest>

#include <xlsxwriter.h>

using namespace Qt::Literals::StringLiterals;
using namespace Xl;

class ValueTextTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void formats_data();
    void formats();
    void scientificIsNoDate_data();
    void scientificIsNoDate();
    void cellsOfAWorkbook();
};

void ValueTextTest::formats_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("General") << u"General"_s << 1234.5 << u"1234.5"_s;
    QTest::newRow("text format") << u"@"_s << 1234.5 << u"1234.5"_s;
    QTest::newRow("scientific 0.0E+00") << u"0.0E+00"_s << 1000.0 << u"1.0E+03"_s;
    QTest::newRow("scientific 0.00E+00 small") << u"0.00E+00"_s << 0.000123 << u"1.23E-04"_s;
    QTest::newRow("scientific rounds up the mantissa") << u"0.0E+00"_s << 9.96 << u"1.0E+01"_s;
    QTest::newRow("engineering ##0.0E+0") << u"##0.0E+0"_s << 1000.0 << u"1.0E+3"_s;
    QTest::newRow("engineering 12345") << u"##0.0E+0"_s << 12345.0 << u"12.3E+3"_s;
    QTest::newRow("scientific negative") << u"0.00E+00"_s << -1500.0 << u"-1.50E+03"_s;
    QTest::newRow("percent") << u"0%"_s << 0.256 << u"26%"_s;
    QTest::newRow("percent decimals") << u"0.00%"_s << 0.12345 << u"12.35%"_s;
    QTest::newRow("thousands") << u"#,##0"_s << 1234567.4 << u"1,234,567"_s;
    QTest::newRow("thousands decimals") << u"#,##0.00"_s << -1234.5 << u"-1,234.50"_s;
    QTest::newRow("thousands small") << u"#,##0"_s << 12.0 << u"12"_s;
    QTest::newRow("fixed decimals") << u"0.000"_s << 2.5 << u"2.500"_s;
    QTest::newRow("integer rounds half away") << u"0"_s << 2.5 << u"3"_s;
    QTest::newRow("optional decimals") << u"0.##"_s << 2.5 << u"2.5"_s;
    QTest::newRow("leading zeros") << u"00000"_s << 42.0 << u"00042"_s;
    QTest::newRow("negative rounding to zero") << u"0.0"_s << -0.01 << u"0.0"_s;
    QTest::newRow("fraction # ?/?") << u"# ?/?"_s << 1.5 << u"1 1/2"_s;
    QTest::newRow("fraction # ?\?/?\?") << u"# ?\?/?\?"_s << 0.3125 << u"5/16"_s;
    QTest::newRow("fraction whole number") << u"# ?/?"_s << 3.0 << u"3"_s;
    QTest::newRow("fraction fixed quarters") << u"# ?/4"_s << 2.3 << u"2 1/4"_s;
    // Beyond every 64-bit integer, and beyond the largest double once scaled.
    QTest::newRow("fraction whole part over 2^63") << u"# ?/?"_s << 1e20 << u"100000000000000000000"_s;
    QTest::newRow("percent past the largest double") << u"0%"_s << 1e307 << u"#NUM!"_s;
    QTest::newRow("scientific percent past the largest double") << u"0.0E+00%"_s << 1e307 << u"#NUM!"_s;
    QTest::newRow("fraction percent past the largest double") << u"# ?/?%"_s << 1e307 << u"#NUM!"_s;
    QTest::newRow("currency prefix") << u"¥#,##0.00"_s << 1234.5 << u"¥1,234.50"_s;
    QTest::newRow("quoted suffix") << u"0\"元\""_s << 15.0 << u"15元"_s;
    QTest::newRow("negative section") << u"0.00;(0.00)"_s << -3.0 << u"(3.00)"_s;
    QTest::newRow("zero section") << u"0;-0;\"零\""_s << 0.0 << u"零"_s;
    QTest::newRow("colour ignored") << u"[Red]0.0"_s << 1.25 << u"1.3"_s;
    QTest::newRow("thousands scaling") << u"#,##0,"_s << 1234567.0 << u"1,235"_s;
}

void ValueTextTest::formats()
{
    QFETCH(QString, code);
    QFETCH(double, value);
    QFETCH(QString, text);
    QVERIFY(!Styles::isDateFormatCode(code));
    QCOMPARE(formatNumberText(value, code), text);
}

void ValueTextTest::scientificIsNoDate_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("date");
    QTest::newRow("0.0E+00") << u"0.0E+00"_s << false;
    QTest::newRow("##0.0E+0") << u"##0.0E+0"_s << false;
    QTest::newRow("0.00E-00") << u"0.00E-00"_s << false;
    QTest::newRow("yyyy/m/d") << u"yyyy/m/d"_s << true;
    QTest::newRow("e (era year)") << u"e/m/d"_s << true;
    QTest::newRow("[h]:mm") << u"[h]:mm"_s << true;
}

void ValueTextTest::scientificIsNoDate()
{
    QFETCH(QString, code);
    QFETCH(bool, date);
    QCOMPARE(Styles::isDateFormatCode(code), date);
}

void ValueTextTest::cellsOfAWorkbook()
{
    TempTree tree;
    const QString path = tree.file(u"formats.xlsx"_s);
    {
        Fixtures::XlsxBuilder b(path);
        b.sheet(u"S"_s);
        const char* codes[] = {"0.0E+00", "##0.0E+0", "0.00%", "#,##0", "# ?/?", "@", "yyyy/m/d"};
        int column = 1;
        for (const char* code : codes) {
            lxw_format* f = b.format();
            format_set_num_format(f, code);
            b.number(1, column++, 1000, f);
        }
        QVERIFY(b.close());
    }
    ExcelHost host;
    Workbook* book = host.Open(path);
    QVERIFY(book);
    Worksheet* ws = book->Worksheets(1);
    QStringList texts;
    for (int c = 1; c <= 7; ++c)
        texts << ws->Cells(1, c).Text();
    QCOMPARE(texts, (QStringList{u"1.0E+03"_s, u"1.0E+3"_s, u"100000.00%"_s, u"1,000"_s, u"1000"_s, u"1000"_s,
                                 u"1902/9/26"_s}));
    book->Close(false);
}

QTEST_GUILESS_MAIN(ValueTextTest)
#include "tst_workbook_valuetext.moc"
