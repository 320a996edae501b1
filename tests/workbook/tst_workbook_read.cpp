// Reading workbooks: hostile and broken packages, cell values, the used range,
// CountA and the Ctrl+arrow moves.

#include "Fixtures.h"
#include "TempTree.h"

#include "Cell.h"
#include "ExcelHost.h"
#include "Range.h"
#include "SheetPartReader.h"
#include "ValueText.h"
#include "Workbook.h"
#include "Worksheet.h"

#include <QtTest>

#include <xlsxwriter.h>

#include <sys/resource.h>

using namespace Qt::Literals::StringLiterals;
using namespace Xl;
using Code = WorkbookError::Code;

Q_DECLARE_METATYPE(Xl::WorkbookError::Code)
Q_DECLARE_METATYPE(Xl::Direction)

namespace {

const QByteArray sheetHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";

QByteArray sheet(const QByteArray& data)
{
    return sheetHead + "<sheetData>" + data + "</sheetData></worksheet>";
}

long peakKilobytes()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

} // namespace

class WorkbookReadTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void badInput_data();
    void badInput();
    void zipBombStaysSmall();
    void sixteenMillionSharedStringsStaySmall();
    void hugeSheetPartsStaySmall_data();
    void hugeSheetPartsStaySmall();
    void sheetReadInPieces();
    void piecesDoNotMatter_data();
    void piecesDoNotMatter();
    void cellValues();
    void usedRangeAndCountA_data();
    void usedRangeAndCountA();
    void end_data();
    void end();
    void numberAndDateText_data();
    void numberAndDateText();
    void unchangedSaveKeepsEveryPart();
    void prefixedNamespaces();
};

void WorkbookReadTest::badInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Code>("code");

    TempTree tree;
    const QString good = tree.file(u"good.xlsx"_s);
    {
        Fixtures::XlsxBuilder b(good);
        b.sheet(u"Sheet1"_s);
        for (int r = 1; r <= 200; ++r)
            b.text(r, 1, u"行%1"_s.arg(r));
        QVERIFY(b.close());
    }
    const QByteArray goodBytes = tree.read(u"good.xlsx"_s);
    QByteArray noWorkbook;
    {
        Xl::ZipPackage p;
        QVERIFY(p.load(goodBytes, nullptr));
        p.remove(u"xl/workbook.xml"_s);
        QVERIFY(p.save(&noWorkbook, nullptr));
    }

    QTest::newRow("not a zip") << QByteArray("name,phone\n张三,123\n") << Code::NotAWorkbook;
    QTest::newRow("empty file") << QByteArray() << Code::NotAWorkbook;
    QTest::newRow("truncated zip") << goodBytes.left(goodBytes.size() / 2) << Code::Corrupt;
    QTest::newRow("missing workbook.xml") << noWorkbook << Code::Corrupt;
    QTest::newRow("sheet not well-formed")
        << Fixtures::packageWithSheet(sheetHead +
                                      "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></row></sheetData>")
        << Code::Corrupt;
    QTest::newRow("bad number") << Fixtures::packageWithSheet(
                                       sheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>x</v></c></row>"))
                                << Code::Corrupt;
    QTest::newRow("entry with ..") << Fixtures::zipOf({{u"[Content_Types].xml"_s, "<Types/>"},
                                                       {u"xl/../../evil.xml"_s, "<x/>"}})
                                   << Code::Unsafe;
    QTest::newRow("absolute entry") << Fixtures::zipOf({{u"[Content_Types].xml"_s, "<Types/>"},
                                                        {u"/etc/evil.xml"_s, "<x/>"}})
                                    << Code::Unsafe;
    QTest::newRow("backslash entry") << Fixtures::zipOf({{u"[Content_Types].xml"_s, "<Types/>"},
                                                         {u"xl\\..\\evil.xml"_s, "<x/>"}})
                                     << Code::Unsafe;
    QList<QPair<QString, QByteArray>> many;
    for (int i = 0; i < 20001; ++i)
        many << qMakePair(u"xl/media/p%1.bin"_s.arg(i), QByteArray("x"));
    QTest::newRow("too many entries") << Fixtures::zipOf(many) << Code::TooLarge;
    QTest::newRow("declared over 1 GiB") << Fixtures::zeroBomb(4, 300 << 20) << Code::TooLarge;
    // Sizes the directory claims beyond the archive itself: refused before any allocation.
    QTest::newRow("ZIP64 compressed size 2^40")
        << Fixtures::zip64SizeClaim(quint64(1) << 40) << Code::Corrupt;
    QTest::newRow("ZIP64 deflated size 2^40")
        << Fixtures::zip64SizeClaim(quint64(1) << 40, 8) << Code::Corrupt;
    QTest::newRow("ZIP64 compressed size 2^62")
        << Fixtures::zip64SizeClaim(quint64(1) << 62) << Code::Corrupt;
    QTest::newRow("size that lies") << Fixtures::zeroBomb(1, 64 << 20, 1000) << Code::Corrupt;
    QTest::newRow("DTD in workbook.xml")
        << Fixtures::packageWithSheet(
               sheet({}), "<?xml version=\"1.0\"?><!DOCTYPE workbook [<!ENTITY x \"boom\">]>"
                          "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"/>")
        << Code::Unsafe;
    QTest::newRow("entity in a sheet")
        << Fixtures::packageWithSheet(
               "<?xml version=\"1.0\"?><!DOCTYPE worksheet [<!ENTITY a \"aaaaaaaaaa\">"
               "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>" +
               sheet("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&b;</t></is></c></row>").mid(38))
        << Code::Unsafe;
    QTest::newRow("undefined entity")
        << Fixtures::packageWithSheet(
               sheet("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&b;</t></is></c></row>"))
        << Code::Corrupt;
    QTest::newRow("password protected") << Fixtures::encryptedWorkbook() << Code::Encrypted;
    {
        Xl::ZipPackage p;
        QVERIFY(p.load(Fixtures::packageWithSheet(sheet({})), nullptr));
        QByteArray types;
        p.read(u"[Content_Types].xml"_s, &types, nullptr);
        types.replace("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml",
                      "application/vnd.ms-excel.sheet.binary.macroEnabled.main");
        p.write(u"[Content_Types].xml"_s, types);
        QByteArray xlsb;
        QVERIFY(p.save(&xlsb, nullptr));
        QTest::newRow("binary workbook") << xlsb << Code::Unsupported;
    }
    QByteArray deep, deepEnd;
    for (int i = 0; i < 300; ++i) {
        deep += "<x>";
        deepEnd += "</x>";
    }
    QTest::newRow("deep nesting in cells")
        << Fixtures::packageWithSheet(sheet("<row r=\"1\">" + deep + deepEnd + "</row>")) << Code::Corrupt;
    QTest::newRow("deep nesting in markup")
        << Fixtures::packageWithSheet(sheetHead + "<sheetData/><extLst>" + deep + deepEnd +
                                      "</extLst></worksheet>")
        << Code::Corrupt;
}

void WorkbookReadTest::badInput()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Code, code);
    TempTree tree;
    const QString path = tree.write(u"bad.xlsx"_s, bytes);
    ExcelHost host;
    WorkbookError error;
    QVERIFY(!host.Open(path, &error));
    QCOMPARE(error.code, code);
    QCOMPARE(error.message, WorkbookError::messageFor(code));
    QVERIFY(!error.detail.isEmpty());
    QVERIFY(host.Workbooks().isEmpty());
}

void WorkbookReadTest::zipBombStaysSmall()
{
    // An entry that inflates far beyond its recorded size is cut off at that size.
    TempTree tree;
    const QByteArray bomb = Fixtures::zeroBomb(1, 256 << 20, 1000);
    Xl::ZipPackage p;
    WorkbookError error;
    const long before = peakKilobytes();
    QVERIFY(p.load(bomb, &error));
    QByteArray data;
    QVERIFY(!p.read(u"xl/media/zeros0.bin"_s, &data, &error));
    QCOMPARE(error.code, Code::Corrupt);
    QVERIFY2(peakKilobytes() - before < 64 * 1024, "inflating must stop at the recorded size");
}

void WorkbookReadTest::sixteenMillionSharedStringsStaySmall()
{
    // The most items the table takes, each as short as an item can be: the
    // reader's memory stays near the XML's size, not a multiple of the count.
    constexpr int items = 16'000'000;
    TempTree tree;
    QString path;
    {
        QByteArray sst = "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
        sst.reserve(sst.size() + qsizetype(items) * 5 + 16);
        for (int i = 0; i < items - 1; ++i)
            sst += "<si/>";
        sst += "<si><t>最后</t></si></sst>";
        Xl::ZipPackage p;
        QVERIFY(p.load(
            Fixtures::packageWithSheet(sheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>15999999</v></c></row>")),
            nullptr));
        QByteArray types;
        QVERIFY(p.read(u"[Content_Types].xml"_s, &types, nullptr));
        types.replace("</Types>",
                      "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/"
                      "vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/></Types>");
        p.write(u"[Content_Types].xml"_s, types);
        QByteArray rels;
        QVERIFY(p.read(u"xl/_rels/workbook.xml.rels"_s, &rels, nullptr));
        rels.replace("</Relationships>",
                     "<Relationship Id=\"rId9\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                     "relationships/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>");
        p.write(u"xl/_rels/workbook.xml.rels"_s, rels);
        p.write(u"xl/sharedStrings.xml"_s, sst);
        QByteArray bytes;
        QVERIFY(p.save(&bytes, nullptr));
        path = tree.write(u"strings.xlsx"_s, bytes);
    }
    const long before = peakKilobytes();
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(path, &error);
    QVERIFY2(book, qPrintable(error.detail));
    QCOMPARE(book->Worksheets(1)->Cells(1, 1).Text(), u"最后"_s);
    QVERIFY2(peakKilobytes() - before < 512 * 1024,
             "a table of short items must cost little more than its XML");
}

void WorkbookReadTest::hugeSheetPartsStaySmall_data()
{
    QTest::addColumn<QByteArray>("unit");
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<bool>("opens");
    // 600 MB of sheet XML in a package of a few MB: memory follows the cells
    // kept, and markup no cell needs is refused beyond its cap.
    const QByteArray end = "<row r=\"1048576\"><c r=\"B1048576\"><v>5</v></c></row></sheetData></worksheet>";
    QTest::newRow("empty rows") << QByteArray("<row r=\"7\"/>") << end << true;
    QTest::newRow("spaces between rows") << QByteArray("            ") << end << true;
    QTest::newRow("markup after the cells")
        << QByteArray("<!-- padding -->") << QByteArray("<!-- x --></worksheet>") << false;
}

void WorkbookReadTest::hugeSheetPartsStaySmall()
{
    QFETCH(QByteArray, unit);
    QFETCH(QByteArray, tail);
    QFETCH(bool, opens);
    const qint64 count = (qint64(600) << 20) / unit.size();
    QByteArray head = sheetHead + "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row>";
    if (!opens)
        head += "</sheetData>";
    TempTree tree;
    const QString path =
        tree.write(u"huge.xlsx"_s, Fixtures::packageWithRepeatedSheet(head, unit, count, tail));
    const long before = peakKilobytes();
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(path, &error);
    if (opens) {
        QVERIFY2(book, qPrintable(error.detail));
        QCOMPARE(book->Worksheets(1)->Cells(1, 1).Text(), u"1"_s);
        QCOMPARE(book->Worksheets(1)->Cells(1048576, 2).Text(), u"5"_s);
    } else {
        QVERIFY(!book);
        QCOMPARE(error.code, Code::TooLarge);
    }
    QVERIFY2(peakKilobytes() - before < 512 * 1024, "a sheet part must not be held whole");
}

// Rows read piece by piece: rows without a number go on from the row before
// them across pieces, a row out of order joins its number, a "</row>" inside a
// comment or CDATA section does not cut, the markup after the cells stays.
void WorkbookReadTest::sheetReadInPieces()
{
    TempTree tree;
    const QString path = tree.write(
        u"pieces.xlsx"_s,
        Fixtures::packageWithRepeatedSheet(
            sheetHead + "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row>",
            "<row><c><v>2</v></c></row>", 400000,
            "<row r=\"3\"><c r=\"B3\" t=\"inlineStr\"><is><t><![CDATA[a</row>b]]></t></is></c></row>"
            "<!-- </row> --></sheetData><mergeCells count=\"1\"><mergeCell ref=\"C1:D2\"/></mergeCells>"
            "</worksheet>"));
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(path, &error);
    QVERIFY2(book, qPrintable(error.detail));
    Worksheet* sheet = book->Worksheets(1);
    QCOMPARE(sheet->UsedRange().address(), u"A1:B400001"_s);
    QCOMPARE(sheet->Cells(400001, 1).Text(), u"2"_s);
    QCOMPARE(sheet->Cells(3, 1).Text(), u"2"_s);
    QCOMPARE(sheet->Cells(3, 2).Text(), u"a</row>b"_s);
    QCOMPARE(sheet->mergedCells().size(), 1);
    QCOMPARE(sheet->mergedCells().first().address(), u"C1:D2"_s);
}

void WorkbookReadTest::piecesDoNotMatter_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<bool>("valid");
    QTest::newRow("plain")
        << sheet("<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\" t=\"s\"><v>0</v></c></row>"
                 "<row r=\"4\" ht=\"20\" customHeight=\"1\"><c r=\"C4\"><f>A1*2</f><v>2</v></c></row>")
        << true;
    QTest::newRow("rows without numbers, out of order, repeated")
        << sheet("<row><c><v>1</v></c></row><row><c><v>2</v></c></row><row r=\"1\"><c "
                 "r=\"B1\"><v>3</v></c></row>"
                 "<row r=\"2\"/><row><c r=\"C3\"><v>4</v></c></row>")
        << true;
    QTest::newRow("row tags inside text, CDATA and comments")
        << sheet(
               "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t><![CDATA[<row "
               "r=\"9\"></row>]]></t></is></c></row>"
               "<!-- <row r=\"8\"> </row> --><row r=\"2\"><c r=\"A2\" t=\"str\"><v>&lt;row&gt;</v></c></row>")
        << true;
    QTest::newRow("prefixed, with markup after the cells")
        << QByteArray(
               "<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
               "<x:sheetData><x:row r=\"2\"><x:c r=\"B2\"><x:v>5</x:v></x:c></x:row><x:foo/></x:sheetData>"
               "<x:mergeCells count=\"1\"><x:mergeCell ref=\"A1:B2\"/></x:mergeCells></x:worksheet>")
        << true;
    QTest::newRow("empty sheetData") << QByteArray(sheetHead + "<sheetData/><pageMargins/></worksheet>")
                                     << true;
    QTest::newRow("no sheetData") << QByteArray(sheetHead + "<pageMargins/></worksheet>") << true;
    QTest::newRow("unclosed row") << sheet("<row r=\"1\"><c r=\"A1\"><v>1</v></c>") << false;
    QTest::newRow("unclosed comment") << sheet("<row r=\"1\"/><!-- <row r=\"2\"/>") << false;
}

// The rows read do not depend on where the pieces of the part are cut.
void WorkbookReadTest::piecesDoNotMatter()
{
    QFETCH(QByteArray, xml);
    QFETCH(bool, valid);
    auto read = [&](qsizetype piece, QByteArray* dump) {
        SheetPartReader reader(u"sheet1.xml"_s, nullptr);
        bool ok = true;
        for (qsizetype at = 0; ok && at < xml.size(); at += piece)
            ok = reader.feed(xml.constData() + at, std::min(piece, xml.size() - at));
        ok = ok && reader.finish();
        if (ok) {
            *dump = reader.head + "|";
            reader.data.write(*dump, reader.prefix);
            *dump += "|" + reader.tail;
        }
        return ok;
    };
    QByteArray whole;
    QCOMPARE(read(xml.size(), &whole), valid);
    for (const qsizetype piece : {1, 2, 3, 7, 16, 61}) {
        QByteArray inPieces;
        QCOMPARE(read(piece, &inPieces), valid);
        QCOMPARE(inPieces, whole);
    }
}

void WorkbookReadTest::cellValues()
{
    TempTree tree;
    const QByteArray xml = sheet(
        "<row r=\"1\">"
        "<c r=\"A1\"><v>12.5</v></c>"
        "<c r=\"B1\" t=\"s\"><v>0</v></c>"
        "<c r=\"C1\" t=\"b\"><v>1</v></c>"
        "<c r=\"D1\" t=\"e\"><v>#DIV/0!</v></c>"
        "<c r=\"E1\" "
        "t=\"inlineStr\"><is><r><t>富</t></r><r><rPr><b/></rPr><t>文本</t></r><rPh><t>ふ</t></rPh></is></c>"
        "<c r=\"F1\" t=\"str\"><f>\"\"</f><v></v></c>"
        "<c r=\"G1\" t=\"d\"><v>2024-01-05T13:05:00</v></c>"
        "<c r=\"H1\" t=\"s\"><v>1</v></c>"
        "</row>"
        "<row r=\"2\"><c r=\"A2\"><f t=\"shared\" ref=\"A2:A4\" si=\"0\">B2*2</f><v>2</v></c></row>"
        "<row r=\"3\"><c r=\"A3\"><f t=\"shared\" si=\"0\"/><v>4</v></c></row>"
        "<row r=\"4\"><c r=\"A4\"><f t=\"shared\" si=\"0\"/><v>6</v></c><c r=\"B4\" "
        "s=\"1\"><v>45296</v></c></row>");
    Xl::ZipPackage p;
    QVERIFY(p.load(Fixtures::packageWithSheet(xml), nullptr));
    p.write(u"xl/sharedStrings.xml"_s,
            "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"2\" "
            "uniqueCount=\"2\">"
            "<si><t>姓名</t></si><si><t>a_x000D_b_x005F_x0041_</t></si></sst>");
    p.write(u"xl/styles.xml"_s,
            "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
            "<numFmts count=\"1\"><numFmt numFmtId=\"164\" "
            "formatCode=\"yyyy&quot;年&quot;m&quot;月&quot;d&quot;日&quot;\"/></numFmts>"
            "<fonts count=\"1\"><font/></fonts><fills count=\"1\"><fill/></fills><borders "
            "count=\"1\"><border/></borders>"
            "<cellXfs count=\"2\"><xf numFmtId=\"0\"/><xf numFmtId=\"164\" "
            "applyNumberFormat=\"1\"/></cellXfs></styleSheet>");
    QByteArray rels;
    QVERIFY(p.read(u"xl/_rels/workbook.xml.rels"_s, &rels, nullptr));
    rels.replace("</Relationships>", "<Relationship Id=\"rId2\" "
                                     "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                                     "relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>"
                                     "<Relationship Id=\"rId3\" "
                                     "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                                     "relationships/styles\" Target=\"styles.xml\"/>"
                                     "</Relationships>");
    p.write(u"xl/_rels/workbook.xml.rels"_s, rels);
    QByteArray bytes;
    QVERIFY(p.save(&bytes, nullptr));
    const QString path = tree.write(u"values.xlsx"_s, bytes);

    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(path, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    Worksheet* ws = book->Worksheets(1);
    QCOMPARE(ws->Cells(1, 1).Value(), CellValue::number(12.5));
    QCOMPARE(ws->Cells(1, 2).Value(), CellValue::text(u"姓名"_s));
    QCOMPARE(ws->Cells(1, 3).Value(), CellValue::boolean(true));
    QCOMPARE(ws->Cells(1, 3).Text(), u"TRUE"_s);
    QCOMPARE(ws->Cells(1, 4).Value(), CellValue::error(u"#DIV/0!"_s));
    QCOMPARE(ws->Cells(1, 5).Text(), u"富文本"_s);
    QCOMPARE(ws->Cells(1, 6).Formula(), u"=\"\""_s);
    QCOMPARE(ws->Cells(1, 6).Text(), QString());
    QVERIFY(ws->Cells(1, 6).hasContent());
    QCOMPARE(ws->Cells(1, 7).Text(), u"2024/1/5 13:05:00"_s);
    QCOMPARE(ws->Cells(1, 8).Text(), u"a\rb_x0041_"_s);
    QCOMPARE(ws->Cells(3, 1).Formula(), u"=B3*2"_s);
    QCOMPARE(ws->Cells(4, 1).Formula(), u"=B4*2"_s);
    QCOMPARE(ws->Cells(4, 2).Text(), u"2024/1/5"_s);
    QCOMPARE(ws->Cells(9, 9).Value(), CellValue());
}

void WorkbookReadTest::usedRangeAndCountA_data()
{
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<QString>("used");
    QTest::addColumn<int>("countA");

    QTest::newRow("empty sheet") << QByteArray() << u"A1"_s << 0;
    QTest::newRow("format only") << QByteArray("<row r=\"3\"><c r=\"C3\" s=\"1\"/></row>") << u"C3"_s << 0;
    QTest::newRow("formula returning empty text")
        << QByteArray("<row r=\"2\"><c r=\"B2\" t=\"str\"><f>\"\"</f><v></v></c></row>") << u"B2"_s << 1;
    QTest::newRow("values and formats")
        << QByteArray("<row r=\"2\"><c r=\"B2\"><v>1</v></c></row><row r=\"5\"><c r=\"D5\" "
                      "t=\"inlineStr\"><is><t>x</t></is></c>"
                      "<c r=\"F5\" s=\"1\"/></row>")
        << u"B2:F5"_s << 2;
    QTest::newRow("cell elements without content")
        << QByteArray("<row r=\"1\" ht=\"30\" customHeight=\"1\"><c r=\"A1\"/><c r=\"C1\"><v></v></c></row>")
        << u"A1"_s << 0;
}

void WorkbookReadTest::usedRangeAndCountA()
{
    QFETCH(QByteArray, rows);
    QFETCH(QString, used);
    QFETCH(int, countA);
    TempTree tree;
    const QString path = tree.write(u"u.xlsx"_s, Fixtures::packageWithSheet(sheet(rows)));
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(path, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    const Range range = book->Worksheets(1)->UsedRange();
    QCOMPARE(range.address(), used);
    QCOMPARE(range.CountA(), qint64(countA));
}

void WorkbookReadTest::end_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<Direction>("direction");
    QTest::addColumn<QString>("expected");

    // Column A: 1-3 filled, 6-7 filled, 9 a formula returning "", nothing below.
    // Row 1: A1:C1 filled, F1 filled. Column B: only B1.
    QTest::newRow("down through a run") << u"A1"_s << Direction::Down << u"A3"_s;
    QTest::newRow("down from inside a run") << u"A2"_s << Direction::Down << u"A3"_s;
    QTest::newRow("down from a run's end") << u"A3"_s << Direction::Down << u"A6"_s;
    QTest::newRow("down from an empty cell") << u"A4"_s << Direction::Down << u"A6"_s;
    QTest::newRow("down to a formula cell") << u"A7"_s << Direction::Down << u"A9"_s;
    QTest::newRow("down from the last cell") << u"A9"_s << Direction::Down << u"A1048576"_s;
    QTest::newRow("down below everything") << u"A12"_s << Direction::Down << u"A1048576"_s;
    QTest::newRow("down in an empty column") << u"D2"_s << Direction::Down << u"D1048576"_s;
    QTest::newRow("down from a lone cell") << u"B1"_s << Direction::Down << u"B1048576"_s;
    QTest::newRow("down at the edge") << u"A1048576"_s << Direction::Down << u"A1048576"_s;
    QTest::newRow("up from a lone cell") << u"A9"_s << Direction::Up << u"A7"_s;
    QTest::newRow("up through a run") << u"A7"_s << Direction::Up << u"A6"_s;
    QTest::newRow("up over a gap") << u"A6"_s << Direction::Up << u"A3"_s;
    QTest::newRow("up to the top") << u"A3"_s << Direction::Up << u"A1"_s;
    QTest::newRow("up at the top") << u"A1"_s << Direction::Up << u"A1"_s;
    QTest::newRow("up from A65536") << u"A65536"_s << Direction::Up << u"A9"_s;
    QTest::newRow("up in an empty column") << u"D9"_s << Direction::Up << u"D1"_s;
    QTest::newRow("right through a run") << u"A1"_s << Direction::ToRight << u"C1"_s;
    QTest::newRow("right over a gap") << u"C1"_s << Direction::ToRight << u"F1"_s;
    QTest::newRow("right from an empty cell") << u"D1"_s << Direction::ToRight << u"F1"_s;
    QTest::newRow("right to the edge") << u"F1"_s << Direction::ToRight << u"XFD1"_s;
    QTest::newRow("right in an empty row") << u"A4"_s << Direction::ToRight << u"XFD4"_s;
    QTest::newRow("left over a gap") << u"F1"_s << Direction::ToLeft << u"C1"_s;
}

void WorkbookReadTest::end()
{
    QFETCH(QString, start);
    QFETCH(Direction, direction);
    QFETCH(QString, expected);

    TempTree tree;
    const QString path = tree.file(u"end.xlsx"_s);
    {
        Fixtures::XlsxBuilder b(path);
        b.sheet(u"Sheet1"_s);
        for (int r : {1, 2, 3, 6, 7})
            b.number(r, 1, r);
        b.formulaText(9, 1, u"=\"\""_s, QString());
        b.text(1, 2, u"b"_s);
        b.text(1, 3, u"c"_s);
        b.text(1, 6, u"f"_s);
        lxw_format* f = b.format();
        format_set_bold(f);
        b.blank(4, 1, f); // a formatted but empty cell does not stop the move
        QVERIFY(b.close());
    }
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(path, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    Worksheet* ws = book->Worksheets(1);
    int row = 0, column = 0;
    QVERIFY(parseCellName(start.toStdString(), &row, &column));
    QCOMPARE(ws->Cells(row, column).End(direction).address(), expected);
}

void WorkbookReadTest::numberAndDateText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("date");
    QTest::addColumn<QString>("text");

    QTest::newRow("binary fraction") << 0.1 + 0.2 << false << u"0.3"_s;
    QTest::newRow("integer") << 100.0 << false << u"100"_s;
    QTest::newRow("negative") << -2.5 << false << u"-2.5"_s;
    QTest::newRow("15 digits") << 123456789012345.0 << false << u"123456789012345"_s;
    QTest::newRow("16 digits") << 1234567890123456.0 << false << u"1.23456789012346E+15"_s;
    QTest::newRow("large") << 1e16 << false << u"1E+16"_s;
    QTest::newRow("small") << 0.00001 << false << u"1E-05"_s;
    QTest::newRow("plain small") << 0.0001 << false << u"0.0001"_s;
    QTest::newRow("date") << 45296.0 << true << u"2024/1/5"_s;
    QTest::newRow("date and time") << 45296.5 << true << u"2024/1/5 12:00:00"_s;
    QTest::newRow("time") << 0.25 << true << u"6:00:00"_s;
    QTest::newRow("first day") << 1.0 << true << u"1900/1/1"_s;
    QTest::newRow("after the phantom leap day") << 61.0 << true << u"1900/3/1"_s;
}

void WorkbookReadTest::numberAndDateText()
{
    QFETCH(double, value);
    QFETCH(bool, date);
    QFETCH(QString, text);
    QCOMPARE(valueText(CellValue::number(value), date, false), text);
}

void WorkbookReadTest::unchangedSaveKeepsEveryPart()
{
    TempTree tree;
    const QString source = tree.file(u"fidelity.xlsx"_s);
    QVERIFY(Fixtures::writeFidelityWorkbook(source));
    const QString copy = tree.file(u"copy.xlsx"_s);
    {
        ExcelHost host;
        WorkbookError error;
        Workbook* book = host.Open(source, &error);
        QVERIFY2(book, qPrintable(error.toString()));
        QVERIFY2(book->SaveAs(copy, &error), qPrintable(error.toString()));
    }
    const QStringList before = Fixtures::partNames(source);
    QCOMPARE(Fixtures::partNames(copy), before);
    for (const QString& part : before)
        QVERIFY2(Fixtures::partOf(copy, part) == Fixtures::partOf(source, part), qPrintable(part));
}

void WorkbookReadTest::prefixedNamespaces()
{
    // Some writers prefix the main namespace ("x:"); edits keep to it.
    const QByteArray ns = "xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    const QByteArray wb =
        "<?xml version=\"1.0\"?><x:workbook " + ns +
        " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<x:sheets><x:sheet name=\"数据\" sheetId=\"1\" r:id=\"rId1\"/></x:sheets></x:workbook>";
    const QByteArray ws =
        "<?xml version=\"1.0\"?><x:worksheet " + ns +
        "><x:sheetData><x:row r=\"1\"><x:c r=\"A1\" t=\"inlineStr\"><x:is><x:t>甲</x:t></x:is></x:c>"
        "</x:row></x:sheetData></x:worksheet>";
    TempTree tree;
    const QString path = tree.write(u"prefixed.xlsx"_s, Fixtures::packageWithSheet(ws, wb));
    {
        ExcelHost host;
        WorkbookError error;
        Workbook* book = host.Open(path, &error);
        QVERIFY2(book, qPrintable(error.toString()));
        Worksheet* sheet = book->Worksheets(u"数据"_s);
        QCOMPARE(sheet->Cells(1, 1).Value(), CellValue::text(u"甲"_s));
        sheet->Cells(2, 2).setValue(CellValue::text(u"乙"_s));
        Range(sheet->Cells(1, 1), sheet->Cells(2, 2)).Merge();
        QVERIFY(book->addWorksheet(sheet, &error));
        QVERIFY2(book->Save(&error), qPrintable(error.toString()));
    }
    const QByteArray saved = Fixtures::partOf(path, u"xl/worksheets/sheet1.xml"_s);
    QVERIFY(saved.contains("<x:row r=\"2\"><x:c r=\"B2\" t=\"s\"><x:v>0</x:v></x:c></x:row>"));
    QVERIFY(saved.contains("<x:mergeCells count=\"1\"><x:mergeCell ref=\"A1:B2\"/></x:mergeCells>"));
    QVERIFY(Fixtures::partOf(path, u"xl/workbook.xml"_s).contains("<x:sheet name=\"Sheet2\""));
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(path, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    QCOMPARE(book->Worksheets(1)->Cells(2, 2).Value(), CellValue::text(u"乙"_s));
    QString messages;
    QVERIFY2(Fixtures::gnumericReads(path, &messages), qPrintable(messages));
}

QTEST_GUILESS_MAIN(WorkbookReadTest)
#include "tst_workbook_read.moc"
