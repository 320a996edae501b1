// Copies: worksheets into the same or another workbook with everything they
// hold, cell ranges with their formats, and the formula references a paste moves.

#include "Fixtures.h"
#include "TempTree.h"

#include "ExcelHost.h"
#include "FormulaRefs.h"
#include "Styles.h"
#include "Workbook.h"
#include "Worksheet.h"

#include <QRegularExpression>
#include <QtTest>

#include <xlsxwriter.h>

using namespace Qt::Literals::StringLiterals;
using namespace Xl;

namespace {

QStringList sheetNames(Workbook* book)
{
    QStringList out;
    for (int i = 1; i <= book->sheetCount(); ++i)
        out << book->sheetName(i);
    return out;
}

// The part a sheet's relationship of `kind` points to.
QString relatedPart(const QString& path, const QString& sheetPart, const QString& kind)
{
    const QString folder = sheetPart.left(sheetPart.lastIndexOf(u'/'));
    const QString rels = folder + u"/_rels/"_s + sheetPart.mid(sheetPart.lastIndexOf(u'/') + 1) + u".rels"_s;
    const QString xml = QString::fromUtf8(Fixtures::partOf(path, rels));
    const QRegularExpression re(u"Type=\"[^\"]*/"_s + kind + u"\" Target=\"([^\"]+)\""_s);
    const QRegularExpressionMatch m = re.match(xml);
    if (!m.hasMatch())
        return {};
    QStringList parts = folder.split(u'/');
    for (const QString& s : m.captured(1).split(u'/')) {
        if (s == u".."_s)
            parts.removeLast();
        else
            parts << s;
    }
    return parts.join(u'/');
}

// The worksheet part of the sheet named `name` (read through the workbook's relationships).
QString sheetPart(const QString& path, const QString& name)
{
    const QString wb = QString::fromUtf8(Fixtures::partOf(path, u"xl/workbook.xml"_s));
    const QRegularExpressionMatch m =
        QRegularExpression(u"<sheet name=\""_s + QRegularExpression::escape(name) +
                           u"\" sheetId=\"\\d+\" r:id=\"(rId\\d+)\""_s)
            .match(wb);
    if (!m.hasMatch())
        return {};
    const QString rels = QString::fromUtf8(Fixtures::partOf(path, u"xl/_rels/workbook.xml.rels"_s));
    const QRegularExpressionMatch t =
        QRegularExpression(u"Id=\""_s + m.captured(1) + u"\" Type=\"[^\"]+\" Target=\"([^\"]+)\""_s)
            .match(rels);
    return u"xl/"_s + t.captured(1);
}

// A styles part with one font, an optional fill on the default format and a
// second cell format of number format `code`.
QByteArray stylesXml(const QByteArray& font, const QByteArray& code, bool whiteDefaultFill = false)
{
    QByteArray escaped = code;
    escaped.replace("&", "&amp;").replace("\"", "&quot;");
    return "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
           "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"" +
           escaped + "\"/></numFmts><fonts count=\"1\">" + font +
           "</fonts><fills count=\"3\"><fill><patternFill patternType=\"none\"/></fill>"
           "<fill><patternFill patternType=\"gray125\"/></fill><fill><patternFill patternType=\"solid\">"
           "<fgColor rgb=\"FFFFFFFF\"/><bgColor indexed=\"64\"/></patternFill></fill></fills>"
           "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
           "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"" +
           (whiteDefaultFill ? "2" : "0") +
           "\" borderId=\"0\"/></cellStyleXfs><cellXfs count=\"2\"><xf numFmtId=\"0\" fontId=\"0\" "
           "fillId=\"" +
           (whiteDefaultFill ? "2" : "0") +
           "\" borderId=\"0\" xfId=\"0\"/><xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
           "xfId=\"0\" applyNumberFormat=\"1\"/></cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" "
           "xfId=\"0\" builtinId=\"0\"/></cellStyles></styleSheet>";
}

const QByteArray calibri = "<font><sz val=\"11\"/><name val=\"Calibri\"/></font>";

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Copies worksheet 1 of `source` into a workbook (`target` when it exists, a
// new one otherwise), by a sheet copy or a copy of its used range to the same
// cells of the target's first sheet, and saves the target as `target`.
bool copyInto(const QString& source, const QString& target, bool sheetCopy, const QString& sheet = {})
{
    ExcelHost host;
    WorkbookError error;
    Workbook* from = host.Open(source, &error);
    Workbook* to = QFileInfo::exists(target) ? host.Open(target, &error) : host.Add();
    if (!from || !to) {
        qWarning() << error.toString();
        return false;
    }
    Worksheet* ws = sheet.isEmpty() ? from->Worksheets(1) : from->Worksheets(sheet);
    bool ok = sheetCopy
                  ? ws->Copy(to->Worksheets(to->worksheetCount()), &error) != nullptr
                  : ws->UsedRange().Copy(
                        to->Worksheets(1)->Cells(ws->UsedRange().Row(), ws->UsedRange().Column()), &error);
    ok = ok && to->SaveAs(target, &error);
    if (!ok)
        qWarning() << error.toString();
    return ok;
}

} // namespace

class WorkbookCopyTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void copySheetsIntoAnotherWorkbook();
    void copySheetWithinWorkbook();
    void copyRangeAcrossWorkbooks();
    void copyRangeOverlapping();
    void shift_data();
    void shift();
    void renameAndDropSheet();
    void externalize_data();
    void externalize();
    void fitAlignAndBorders();
    void crossSheetFormulasLinkToTheSource_data();
    void crossSheetFormulasLinkToTheSource();
    void linksIntoLegacyTargets();
    void hiddenSheetsStayHidden();
    void dateSystems_data();
    void dateSystems();
    void defaultFormatKeepsItsLook_data();
    void defaultFormatKeepsItsLook();
};

void WorkbookCopyTest::copySheetsIntoAnotherWorkbook()
{
    TempTree tree;
    const QString source = tree.file(u"source.xlsx"_s);
    QVERIFY(Fixtures::writeFidelityWorkbook(source));
    const QString target = tree.file(u"target.xlsx"_s);
    {
        ExcelHost host;
        WorkbookError error;
        Workbook* from = host.Open(source, &error);
        QVERIFY2(from, qPrintable(error.toString()));
        Workbook* to = host.Add();
        for (Worksheet* ws : from->worksheetList())
            QVERIFY2(ws->Copy(to->Worksheets(to->worksheetCount()), &error), qPrintable(error.toString()));
        // The summary a second time: a derived name, its table renamed.
        QVERIFY(from->Worksheets(u"汇总"_s)->Copy(to->Worksheets(to->worksheetCount()), &error));
        QVERIFY(to->SaveAs(target, &error));
        QVERIFY(!from->isModified());
    }
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(target, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    QCOMPARE(sheetNames(book), QStringList({u"Sheet1"_s, u"Sheet2"_s, u"Sheet3"_s, u"空白"_s, u"数据"_s,
                                            u"汇总"_s, u"汇总 (2)"_s}));
    Worksheet* data = book->Worksheets(u"数据"_s);
    QCOMPARE(data->Cells(1, 1).Value(), CellValue::text(u"月份"_s));
    QCOMPARE(data->Cells(6, 2).Value(), CellValue::number(11));
    const CellFormat header = data->Cells(1, 2).format();
    QVERIFY(header.bold);
    QCOMPARE(header.fillColour, u"FFFFFF00"_s);
    // Copied on its own, the summary reads the data sheet of its source file.
    QCOMPARE(book->Worksheets(u"汇总"_s)->Cells(1, 2).Formula(), u"=SUM([1]数据!B2:B6)"_s);

    const QString dataPart = sheetPart(target, u"数据"_s);
    const QByteArray xml = Fixtures::partOf(target, dataPart);
    for (const char* element :
         {"<drawing ", "<legacyDrawing ", "<dataValidations", "<conditionalFormatting", "state=\"frozen\"",
          "<autoFilter ref=\"A1:B6\"", "<hyperlink ", "<sheetProtection"})
        QVERIFY2(xml.contains(element), element);
    // Drawing, chart and image came along, the same bytes where nothing names the sheet.
    const QString drawing = relatedPart(target, dataPart, u"drawing"_s);
    QCOMPARE(Fixtures::partOf(target, drawing), Fixtures::partOf(source, u"xl/drawings/drawing1.xml"_s));
    const QString chart = relatedPart(target, drawing, u"chart"_s);
    QVERIFY(Fixtures::partOf(target, chart).contains("<c:f>数据!$B$2:$B$6</c:f>"));
    QCOMPARE(Fixtures::partOf(target, relatedPart(target, drawing, u"image"_s)), Fixtures::pngBytes());
    QVERIFY(Fixtures::partOf(target, relatedPart(target, dataPart, u"comments"_s)).contains("单位：件"));
    QVERIFY(!relatedPart(target, dataPart, u"vmlDrawing"_s).isEmpty());
    QVERIFY(Fixtures::partOf(target, dataPart.left(dataPart.lastIndexOf(u'/')) + u"/_rels/"_s +
                                         dataPart.mid(dataPart.lastIndexOf(u'/') + 1) + u".rels"_s)
                .contains("https://example.com/report"));
    // The conditional format's differential style is in the target's styles.
    const QByteArray styles = Fixtures::partOf(target, u"xl/styles.xml"_s);
    QVERIFY(styles.contains("<dxf><font><color rgb=\"FF9C0006\"/></font>"));
    QVERIFY(!Fixtures::partOf(target, u"xl/theme/theme1.xml"_s).isEmpty());
    // Names scoped to the sheet, tables with names of their own.
    const QByteArray wb = Fixtures::partOf(target, u"xl/workbook.xml"_s);
    QVERIFY(wb.contains("name=\"_xlnm._FilterDatabase\" localSheetId=\"4\""));
    QVERIFY(wb.contains("<definedName name=\"销量合计\">数据!$B$2:$B$6</definedName>"));
    const QByteArray table1 =
        Fixtures::partOf(target, relatedPart(target, sheetPart(target, u"汇总"_s), u"table"_s));
    const QByteArray table2 =
        Fixtures::partOf(target, relatedPart(target, sheetPart(target, u"汇总 (2)"_s), u"table"_s));
    QVERIFY(table1.contains("displayName=\"Table1\""));
    QVERIFY(table2.contains("displayName=\"Table1_2\""));
    QVERIFY(table1.contains("id=\"1\""));
    QVERIFY(table2.contains("id=\"2\""));

    // gnumeric notes nothing about the copy that it does not note about the
    // original (its reader skips comment shapes and table parts).
    QString messages, originalMessages;
    QVERIFY(Fixtures::gnumericReads(source, &originalMessages));
    QVERIFY2(Fixtures::gnumericReads(target, &messages), qPrintable(messages));
    QCOMPARE(Fixtures::messageKinds(messages), Fixtures::messageKinds(originalMessages));
}

void WorkbookCopyTest::copySheetWithinWorkbook()
{
    TempTree tree;
    const QString path = tree.file(u"f.xlsx"_s);
    QVERIFY(Fixtures::writeFidelityWorkbook(path));
    {
        ExcelHost host;
        WorkbookError error;
        Workbook* book = host.Open(path, &error);
        QVERIFY(book);
        Worksheet* copy = book->Worksheets(u"数据"_s)->Copy(book->Worksheets(u"汇总"_s), &error);
        QVERIFY2(copy, qPrintable(error.toString()));
        QCOMPARE(copy->Name(), u"数据 (2)"_s);
        QCOMPARE(book->ActiveSheet(), copy);
        QVERIFY(book->Save(&error));
    }
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(path, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    QCOMPARE(sheetNames(book), QStringList({u"空白"_s, u"数据"_s, u"汇总"_s, u"数据 (2)"_s}));
    const QString copyPart = sheetPart(path, u"数据 (2)"_s);
    const QString drawing = relatedPart(path, copyPart, u"drawing"_s);
    QVERIFY(drawing != u"xl/drawings/drawing1.xml"_s);
    QVERIFY(Fixtures::partOf(path, relatedPart(path, drawing, u"chart"_s))
                .contains("<c:f>'数据 (2)'!$B$2:$B$6</c:f>"));
    QVERIFY(Fixtures::partOf(path, u"xl/charts/chart1.xml"_s).contains("<c:f>数据!$B$2:$B$6</c:f>"));
    const QByteArray wb = Fixtures::partOf(path, u"xl/workbook.xml"_s);
    QVERIFY(wb.contains("localSheetId=\"1\" hidden=\"1\">'数据'!$A$1:$B$6"));
    QVERIFY(wb.contains("localSheetId=\"3\" hidden=\"1\">'数据 (2)'!$A$1:$B$6"));
    QString messages;
    QVERIFY2(Fixtures::gnumericReads(path, &messages), qPrintable(messages));
}

void WorkbookCopyTest::copyRangeAcrossWorkbooks()
{
    TempTree tree;
    const QString source = tree.file(u"source.xlsx"_s);
    {
        Fixtures::XlsxBuilder b(source);
        b.sheet(u"Sheet1"_s);
        lxw_format* title = b.format();
        format_set_bold(title);
        format_set_align(title, LXW_ALIGN_CENTER);
        format_set_bg_color(title, 0xDDEBF7);
        format_set_border(title, LXW_BORDER_THIN);
        lxw_format* money = b.format();
        format_set_num_format(money, "#,##0.0 \"元\"");
        format_set_font_name(money, "宋体");
        worksheet_merge_range(b.current(), 0, 0, 0, 2, "报表", title);
        worksheet_set_row(b.current(), 0, 30, nullptr);
        for (int r = 2; r <= 4; ++r) {
            b.number(r, 1, r * 10, money);
            b.formula(r, 2, u"=A%1*2+$A$2"_s.arg(r), r * 20 + 20);
            b.text(r, 3, u"第%1行"_s.arg(r));
        }
        QVERIFY(b.close());
    }
    const QString target = tree.file(u"target.xlsx"_s);
    {
        ExcelHost host;
        WorkbookError error;
        Workbook* from = host.Open(source, &error);
        QVERIFY2(from, qPrintable(error.toString()));
        Workbook* to = host.Add();
        Worksheet* ws = to->Worksheets(1);
        ws->Cells(10, 3).setValue(CellValue::text(u"将被清除"_s));
        ws->Cells(20, 1).setValue(CellValue::text(u"留下"_s));
        Worksheet* src = from->Worksheets(1);
        QVERIFY(Range(src->Cells(1, 1), src->Cells(4, 3)).Copy(ws->Cells(10, 2), &error));
        QVERIFY(to->SaveAs(target, &error));
    }
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(target, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    Worksheet* ws = book->Worksheets(1);
    QCOMPARE(ws->Cells(10, 2).Value(), CellValue::text(u"报表"_s));
    QCOMPARE(ws->Cells(10, 3).Value(), CellValue()); // empty in the source
    QCOMPARE(ws->Cells(12, 2).Value(), CellValue::number(30));
    QCOMPARE(ws->Cells(12, 3).Formula(), u"=B12*2+$A$2"_s);
    QCOMPARE(ws->Cells(12, 3).Value(), CellValue::number(80));
    QCOMPARE(ws->Cells(13, 4).Value(), CellValue::text(u"第4行"_s));
    QCOMPARE(ws->Cells(20, 1).Value(), CellValue::text(u"留下"_s));
    const CellFormat title = ws->Cells(10, 2).format();
    QVERIFY(title.bold);
    QCOMPARE(title.horizontal, u"center"_s);
    QCOMPARE(title.fillColour, u"FFDDEBF7"_s);
    QCOMPARE(title.left, u"thin"_s);
    const CellFormat money = ws->Cells(12, 2).format();
    QCOMPARE(money.numberFormat, u"#,##0.0 \"元\""_s);
    QCOMPARE(money.fontName, u"宋体"_s);
    QCOMPARE(ws->mergedCells().size(), 1);
    QCOMPARE(ws->mergedCells().first().address(), u"B10:D10"_s);
    QCOMPARE(ws->rowHeight(10), 30.0);
    QString messages;
    QVERIFY2(Fixtures::gnumericReads(target, &messages), qPrintable(messages));
    QVERIFY2(messages.isEmpty(), qPrintable(messages));
}

void WorkbookCopyTest::copyRangeOverlapping()
{
    ExcelHost host;
    Workbook* book = host.Add();
    Worksheet* ws = book->Worksheets(1);
    for (int r = 1; r <= 4; ++r) {
        ws->Cells(r, 1).setValue(CellValue::number(r));
        ws->Cells(r, 2).setFormula(u"=A%1+1"_s.arg(r), CellValue::number(r + 1));
    }
    WorkbookError error;
    QVERIFY(ws->range(ws->Cells(1, 1), ws->Cells(4, 2)).Copy(ws->Cells(3, 1), &error));
    QList<double> column;
    for (int r = 1; r <= 6; ++r)
        column << ws->Cells(r, 1).Value().toNumber();
    QCOMPARE(column, QList<double>({1, 2, 1, 2, 3, 4}));
    QCOMPARE(ws->Cells(6, 2).Formula(), u"=A6+1"_s);
    QCOMPARE(ws->UsedRange().address(), u"A1:B6"_s);
}

void WorkbookCopyTest::shift_data()
{
    QTest::addColumn<QString>("formula");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("expected");

    QTest::newRow("relative") << u"A1+B2"_s << 1 << 1 << u"B2+C3"_s;
    QTest::newRow("absolute parts") << u"$A$1+A$1+$A1"_s << 2 << 1 << u"$A$1+B$1+$A3"_s;
    QTest::newRow("range") << u"SUM(A1:B2)"_s << 3 << 0 << u"SUM(A4:B5)"_s;
    QTest::newRow("other sheet") << u"Sheet2!A1*2"_s << 1 << 0 << u"Sheet2!A2*2"_s;
    QTest::newRow("quoted sheet") << u"SUM('My Sheet'!A1:A3)"_s << 0 << 2 << u"SUM('My Sheet'!C1:C3)"_s;
    QTest::newRow("3D reference") << u"SUM(Sheet1:Sheet3!B2)"_s << 1 << 0 << u"SUM(Sheet1:Sheet3!B3)"_s;
    QTest::newRow("external") << u"[1]Sheet1!A1"_s << 1 << 0 << u"[1]Sheet1!A2"_s;
    QTest::newRow("columns") << u"SUM(A:B)"_s << 5 << 1 << u"SUM(B:C)"_s;
    QTest::newRow("rows") << u"SUM(2:3)"_s << 1 << 4 << u"SUM(3:4)"_s;
    QTest::newRow("off the sheet") << u"A1+B5"_s << -1 << 0 << u"#REF!+B4"_s;
    QTest::newRow("range off the sheet") << u"SUM(Sheet2!A1:A3)"_s << 0 << -1 << u"SUM(Sheet2!#REF!)"_s;
    QTest::newRow("text") << u"\"A1\"&A1"_s << 1 << 0 << u"\"A1\"&A2"_s;
    QTest::newRow("function name like a cell") << u"LOG10(A1)"_s << 1 << 0 << u"LOG10(A2)"_s;
    QTest::newRow("defined name") << u"Rate_2023*A1"_s << 1 << 0 << u"Rate_2023*A2"_s;
    QTest::newRow("structured reference") << u"SUM(Tbl1[Col1])+A1"_s << 1 << 0 << u"SUM(Tbl1[Col1])+A2"_s;
    QTest::newRow("error literal") << u"IF(A1,#REF!,#N/A)"_s << 1 << 0 << u"IF(A2,#REF!,#N/A)"_s;
    QTest::newRow("number with exponent") << u"1E+10*A1"_s << 1 << 0 << u"1E+10*A2"_s;
    QTest::newRow("CJK sheet") << u"汇总!B2+TRUE"_s << 1 << 0 << u"汇总!B3+TRUE"_s;
}

void WorkbookCopyTest::shift()
{
    QFETCH(QString, formula);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QString, expected);
    QCOMPARE(FormulaRefs::shift(formula, rows, columns), expected);
}

void WorkbookCopyTest::renameAndDropSheet()
{
    QCOMPARE(
        FormulaRefs::renameSheet(u"Sheet1!A1+'Sheet1'!B2+Sheet10!A1+sheet1!C3"_s, u"Sheet1"_s, u"My Sheet"_s),
        u"'My Sheet'!A1+'My Sheet'!B2+Sheet10!A1+'My Sheet'!C3"_s);
    QCOMPARE(FormulaRefs::renameSheet(u"'It''s'!A1"_s, u"It's"_s, u"汇总"_s), u"汇总!A1"_s);
    QCOMPARE(FormulaRefs::renameSheet(u"[1]Sheet1!A1"_s, u"Sheet1"_s, u"X"_s), u"[1]Sheet1!A1"_s);
    QCOMPARE(FormulaRefs::dropSheet(u"SUM(Sheet2!A1:A3)+A1+Sheet3!A1"_s, u"Sheet2"_s),
             u"SUM(#REF!)+A1+Sheet3!A1"_s);
    QVERIFY(FormulaRefs::refersToSheet(u"SUM('数据'!A1)"_s, u"数据"_s));
    QVERIFY(!FormulaRefs::refersToSheet(u"\"数据!A1\""_s, u"数据"_s));
    QCOMPARE(FormulaRefs::quoteSheetName(u"A1"_s), u"'A1'"_s);
    QCOMPARE(FormulaRefs::quoteSheetName(u"R2C3"_s), u"'R2C3'"_s);
    QCOMPARE(FormulaRefs::quoteSheetName(u"2024"_s), u"'2024'"_s);
    QCOMPARE(FormulaRefs::quoteSheetName(u"Sales_2024"_s), u"Sales_2024"_s);
}

void WorkbookCopyTest::externalize_data()
{
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("ranges"); // sheet:r1,c1:r2,c2 joined by ";"
    QTest::newRow("cell") << u"Data!A1*2"_s << u"[1]Data!A1*2"_s << u"Data:1,1:1,1"_s;
    QTest::newRow("quoted name") << u"'My Data'!$B$2+1"_s << u"'[1]My Data'!$B$2+1"_s << u"My Data:2,2:2,2"_s;
    QTest::newRow("range, case of the file")
        << u"SUM(data!B3:A1)"_s << u"SUM([1]Data!B3:A1)"_s << u"Data:1,1:3,2"_s;
    QTest::newRow("whole column") << u"COUNT(Data!C:C)"_s << u"COUNT([1]Data!C:C)"_s
                                  << u"Data:1,3:1048576,3"_s;
    QTest::newRow("own sheet stays") << u"Own!A1+A2"_s << u"Own!A1+A2"_s << QString();
    QTest::newRow("unknown sheet stays") << u"Gone!A1"_s << u"Gone!A1"_s << QString();
    QTest::newRow("already external") << u"[2]Data!A1"_s << u"[2]Data!A1"_s << QString();
    QTest::newRow("3D stays") << u"SUM(Data:Own!A1)"_s << u"SUM(Data:Own!A1)"_s << QString();
    QTest::newRow("text literal") << u"\"Data!A1\"&Data!A1"_s << u"\"Data!A1\"&[1]Data!A1"_s
                                  << u"Data:1,1:1,1"_s;
}

void WorkbookCopyTest::externalize()
{
    QFETCH(QString, formula);
    QFETCH(QString, expected);
    QFETCH(QString, ranges);
    auto saved = [](const QString& sheet) -> QString {
        for (const QString& s : {u"Data"_s, u"My Data"_s}) {
            if (s.compare(sheet, Qt::CaseInsensitive) == 0)
                return s;
        }
        return {};
    };
    QList<FormulaRefs::SheetRange> found;
    QCOMPARE(FormulaRefs::externalize(
                 formula, [] { return 1; }, saved, &found),
             expected);
    QStringList texts;
    for (const FormulaRefs::SheetRange& r : found)
        texts << u"%1:%2,%3:%4,%5"_s.arg(r.sheet)
                     .arg(r.firstRow)
                     .arg(r.firstColumn)
                     .arg(r.lastRow)
                     .arg(r.lastColumn);
    QCOMPARE(texts.join(u';'), ranges);
}

void WorkbookCopyTest::fitAlignAndBorders()
{
    TempTree tree;
    const QString path = tree.file(u"contacts.xlsx"_s);
    {
        ExcelHost host;
        Workbook* book = host.Add();
        Worksheet* ws = book->Worksheets(u"Sheet1"_s);
        const QStringList titles = {u"编号"_s, u"姓名"_s, u"移动"_s, u"家庭"_s,
                                    u"工作"_s, u"传真"_s, u"其他"_s};
        for (int c = 0; c < titles.size(); ++c)
            ws->Cells(1, c + 1).setValue(CellValue::text(titles[c]));
        ws->Cells(2, 1).setValue(CellValue::number(1));
        ws->Cells(2, 2).setValue(CellValue::text(u"欧阳锋锋锋锋"_s));
        ws->Cells(2, 3).setValue(CellValue::text(u"13800000000"_s));
        for (int c = 1; c <= 7; ++c) {
            Range column = ws->Columns(c);
            column.AutoFit();
            column.setHorizontalAlignment(HAlign::Center);
            column.setVerticalAlignment(VAlign::Center);
        }
        const Range used = ws->UsedRange();
        used.setBorder(BordersIndex::DiagonalDown, LineStyle::None, BorderWeight::Thin, ColorIndexAutomatic);
        used.setBorder(BordersIndex::DiagonalUp, LineStyle::None, BorderWeight::Thin, ColorIndexAutomatic);
        for (BordersIndex i :
             {BordersIndex::EdgeLeft, BordersIndex::EdgeTop, BordersIndex::EdgeBottom,
              BordersIndex::EdgeRight, BordersIndex::InsideVertical, BordersIndex::InsideHorizontal})
            used.setBorder(i, LineStyle::Continuous, BorderWeight::Thin, ColorIndexAutomatic);
        WorkbookError error;
        QVERIFY(book->SaveAs(path, &error));
    }
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(path, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    Worksheet* ws = book->Worksheets(1);
    // Six CJK characters (twelve columns) against eleven digits.
    QVERIFY(ws->columnWidth(2) > ws->columnWidth(3));
    QCOMPARE(ws->columnWidth(2), std::trunc((12 * 7 + 5) / 7.0 * 256) / 256);
    QCOMPARE(ws->columnWidth(3), std::trunc((11 * 7 + 5) / 7.0 * 256) / 256);
    for (int r = 1; r <= 2; ++r) {
        for (int c = 1; c <= 7; ++c) {
            const CellFormat f = ws->Cells(r, c).format();
            QCOMPARE(f.left, u"thin"_s);
            QCOMPARE(f.right, u"thin"_s);
            QCOMPARE(f.top, u"thin"_s);
            QCOMPARE(f.bottom, u"thin"_s);
            QCOMPARE(f.borderColour, u"auto"_s);
            QCOMPARE(f.diagonal, QString());
            QCOMPARE(f.horizontal, u"center"_s);
            QCOMPARE(f.vertical, u"center"_s);
        }
    }
    // An empty cell of a centred column is centred as well.
    QCOMPARE(ws->Cells(5, 2).format().horizontal, u"center"_s);
    QString messages;
    QVERIFY2(Fixtures::gnumericReads(path, &messages), qPrintable(messages));
    QVERIFY2(messages.isEmpty(), qPrintable(messages));
}

void WorkbookCopyTest::crossSheetFormulasLinkToTheSource_data()
{
    QTest::addColumn<bool>("sheetCopy");
    QTest::addColumn<QString>("ownSheet"); // B5's reference to the copied sheet itself
    QTest::newRow("sheet") << true << u"=B1+Calc!B3"_s;
    QTest::newRow("range") << false << u"=B1+[1]Calc!B3"_s;
}

void WorkbookCopyTest::crossSheetFormulasLinkToTheSource()
{
    QFETCH(bool, sheetCopy);
    QFETCH(QString, ownSheet);
    TempTree tree;
    const QString source = tree.file(u"source.xlsx"_s);
    {
        Fixtures::XlsxBuilder b(source);
        b.sheet(u"Calc"_s);
        b.formula(1, 2, u"=Data!A1*2"_s, 10);
        b.formulaText(2, 2, u"=Other!A1&\"-\"&Other!A2"_s, u"a-b"_s);
        b.formula(3, 2, u"=SUM(Data!A1:A3)"_s, 18);
        b.formula(4, 2, u"=Other!A1:A2"_s, 0); // a range reference
        b.formula(5, 2, u"=B1+Calc!B3"_s, 28);
        b.sheet(u"Data"_s);
        for (int r = 1; r <= 3; ++r)
            b.number(r, 1, r + 4);
        b.number(9, 1, 99); // outside every reference: not kept in the link
        b.sheet(u"Other"_s);
        b.text(1, 1, u"a"_s);
        b.text(2, 1, u"b"_s);
        QVERIFY(b.close());
    }
    const QString target = tree.file(u"target.xlsx"_s);
    QVERIFY(copyInto(source, target, sheetCopy));

    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(target, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    Worksheet* ws = sheetCopy ? book->Worksheets(u"Calc"_s) : book->Worksheets(1);
    QVERIFY(ws);
    QCOMPARE(ws->Cells(1, 2).Formula(), u"=[1]Data!A1*2"_s);
    QCOMPARE(ws->Cells(2, 2).Formula(), u"=[1]Other!A1&\"-\"&[1]Other!A2"_s);
    QCOMPARE(ws->Cells(3, 2).Formula(), u"=SUM([1]Data!A1:A3)"_s);
    QCOMPARE(ws->Cells(4, 2).Formula(), u"=[1]Other!A1:A2"_s);
    QCOMPARE(ws->Cells(5, 2).Formula(), ownSheet);
    QCOMPARE(ws->Cells(1, 2).Value(), CellValue::number(10));
    QCOMPARE(ws->Cells(2, 2).Value(), CellValue::text(u"a-b"_s));

    // The link names the source beside the target and keeps the values read.
    const QByteArray wb = Fixtures::partOf(target, u"xl/workbook.xml"_s);
    QVERIFY2(wb.contains("<externalReferences><externalReference r:id=\""), wb.constData());
    const QByteArray link = Fixtures::partOf(target, u"xl/externalLinks/externalLink1.xml"_s);
    for (const char* piece : {"<sheetName val=\"Data\"/>", "<sheetName val=\"Other\"/>",
                              "<cell r=\"A3\"><v>7</v></cell>", "<cell r=\"A2\" t=\"str\"><v>b</v></cell>"})
        QVERIFY2(link.contains(piece), piece);
    QVERIFY(!link.contains("<v>99</v>"));
    const QByteArray linkRels = Fixtures::partOf(target, u"xl/externalLinks/_rels/externalLink1.xml.rels"_s);
    QVERIFY2(linkRels.contains("Target=\"source.xlsx\" TargetMode=\"External\""), linkRels.constData());
    // A copied sheet computes what it did: no recalculation that would throw
    // the kept values away.
    if (sheetCopy)
        QVERIFY(!wb.contains("fullCalcOnLoad"));

    // gnumeric takes the link without a note (it computes external
    // references afresh, so their values are not compared here).
    QString messages;
    QVERIFY2(Fixtures::gnumericReads(target, &messages), qPrintable(messages));
    QVERIFY2(messages.isEmpty(), qPrintable(messages));
}

void WorkbookCopyTest::linksIntoLegacyTargets()
{
    // The converter to .xls turns references into other workbooks into #REF!:
    // such a formula keeps the value it showed; the others stay formulas.
    TempTree tree;
    const QString source = tree.file(u"source.xlsx"_s);
    {
        Fixtures::XlsxBuilder b(source);
        b.sheet(u"Calc"_s);
        b.formula(1, 2, u"=Data!A1*2"_s, 10);
        b.formula(2, 2, u"=B1+1"_s, 11);
        b.sheet(u"Data"_s);
        b.number(1, 1, 5);
        QVERIFY(b.close());
    }
    const QString target = tree.file(u"target.xls"_s);
    QVERIFY(copyInto(source, target, true));
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(target, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    Worksheet* ws = book->Worksheets(u"Calc"_s);
    QVERIFY(ws);
    QCOMPARE(ws->Cells(1, 2).Value(), CellValue::number(10));
    QVERIFY2(!ws->Cells(1, 2).Formula().contains(u"REF"_s), qPrintable(ws->Cells(1, 2).Formula()));
    QCOMPARE(ws->Cells(2, 2).Formula(), u"=B1+1"_s);
    QCOMPARE(ws->Cells(2, 2).Value(), CellValue::number(11));
}

void WorkbookCopyTest::hiddenSheetsStayHidden()
{
    TempTree tree;
    const QString source = tree.file(u"source.xlsx"_s);
    const QByteArray cell = Fixtures::sheetXml("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>");
    QVERIFY(writeFile(source, Fixtures::packageOf({{u"Shown"_s, cell, {}},
                                                   {u"Hidden"_s, cell, u"hidden"_s},
                                                   {u"Secret"_s, cell, u"veryHidden"_s}})));
    const QString target = tree.file(u"target.xlsx"_s);
    {
        ExcelHost host;
        WorkbookError error;
        Workbook* from = host.Open(source, &error);
        QVERIFY2(from, qPrintable(error.toString()));
        Workbook* to = host.Add();
        for (Worksheet* ws : from->worksheetList())
            QVERIFY(ws->Copy(to->Worksheets(to->worksheetCount()), &error));
        // The last copy is hidden: the active sheet stays a visible one.
        QVERIFY(to->ActiveSheet()->isVisible());
        QVERIFY(to->SaveAs(target, &error));
    }
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(target, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    QVERIFY(book->Worksheets(u"Shown"_s)->isVisible());
    QVERIFY(!book->Worksheets(u"Hidden"_s)->isVisible());
    QVERIFY(!book->Worksheets(u"Secret"_s)->isVisible());
    const QByteArray wb = Fixtures::partOf(target, u"xl/workbook.xml"_s);
    QVERIFY(QRegularExpression(u"<sheet name=\"Hidden\"[^>]* state=\"hidden\""_s)
                .match(QString::fromUtf8(wb))
                .hasMatch());
    QVERIFY(QRegularExpression(u"<sheet name=\"Secret\"[^>]* state=\"veryHidden\""_s)
                .match(QString::fromUtf8(wb))
                .hasMatch());
    QVERIFY(book->ActiveSheet()->isVisible());
    QString messages;
    QVERIFY2(Fixtures::gnumericReads(target, &messages), qPrintable(messages));
    QVERIFY2(messages.isEmpty(), qPrintable(messages));
}

void WorkbookCopyTest::dateSystems_data()
{
    QTest::addColumn<bool>("from1904");
    QTest::addColumn<bool>("to1904");
    QTest::addColumn<QString>("code");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    QTest::addColumn<bool>("sheetCopy");
    QTest::newRow("1904 to 1900, date") << true << false << u"yyyy-mm-dd"_s << 43000.0 << 44462.0 << true;
    QTest::newRow("1900 to 1904, date") << false << true << u"yyyy-mm-dd"_s << 44462.0 << 43000.0 << true;
    QTest::newRow("date and time") << true << false << u"yyyy/m/d h:mm"_s << 43000.5 << 44462.5 << true;
    QTest::newRow("month name") << true << false << u"mmm yyyy"_s << 43000.0 << 44462.0 << true;
    QTest::newRow("chinese date") << true << false << u"yyyy\"年\"m\"月\"d\"日\""_s << 43000.0 << 44462.0
                                  << true;
    QTest::newRow("time of day") << true << false << u"h:mm"_s << 0.75 << 0.75 << true;
    QTest::newRow("elapsed hours") << true << false << u"[h]:mm"_s << 1.5 << 1.5 << true;
    QTest::newRow("number") << true << false << u"0.00"_s << 43000.0 << 43000.0 << true;
    QTest::newRow("scientific") << true << false << u"0.0E+00"_s << 43000.0 << 43000.0 << true;
    QTest::newRow("same system") << true << true << u"yyyy-mm-dd"_s << 43000.0 << 43000.0 << true;
    QTest::newRow("range, 1904 to 1900") << true << false << u"yyyy-mm-dd"_s << 43000.0 << 44462.0 << false;
    QTest::newRow("range, 1900 to 1904") << false << true << u"yyyy-mm-dd"_s << 44462.0 << 43000.0 << false;
}

void WorkbookCopyTest::dateSystems()
{
    QFETCH(bool, from1904);
    QFETCH(bool, to1904);
    QFETCH(QString, code);
    QFETCH(double, value);
    QFETCH(double, expected);
    QFETCH(bool, sheetCopy);
    TempTree tree;
    const QString source = tree.file(u"source.xlsx"_s);
    const QString target = tree.file(u"target.xlsx"_s);
    const QByteArray styles = stylesXml(calibri, code.toUtf8());
    const QByteArray pr1904 = "<workbookPr date1904=\"1\"/>";
    QVERIFY(writeFile(source, Fixtures::packageOf(
                                  {{u"S"_s,
                                    Fixtures::sheetXml("<row r=\"1\"><c r=\"A1\" s=\"1\"><v>" +
                                                       QByteArray::number(value, 'g', 17) + "</v></c></row>"),
                                    {}}},
                                  styles, from1904 ? pr1904 : QByteArray())));
    QVERIFY(writeFile(target, Fixtures::packageOf({{u"T"_s, Fixtures::sheetXml({}), {}}}, styles,
                                                  to1904 ? pr1904 : QByteArray())));
    QString shown;
    {
        ExcelHost host;
        Workbook* book = host.Open(source);
        QVERIFY(book);
        shown = book->Worksheets(1)->Cells(1, 1).Text();
    }
    QVERIFY(copyInto(source, target, sheetCopy));
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(target, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    QCOMPARE(book->date1904(), to1904);
    Worksheet* ws = sheetCopy ? book->Worksheets(u"S"_s) : book->Worksheets(u"T"_s);
    QVERIFY(ws);
    QCOMPARE(ws->Cells(1, 1).Value(), CellValue::number(expected));
    // A calendar date shows the same day in the copy.
    if (Styles::isCalendarFormatCode(code))
        QCOMPARE(ws->Cells(1, 1).Text(), shown);
}

void WorkbookCopyTest::defaultFormatKeepsItsLook_data()
{
    QTest::addColumn<bool>("sheetCopy");
    QTest::newRow("sheet") << true;
    QTest::newRow("range") << false;
}

void WorkbookCopyTest::defaultFormatKeepsItsLook()
{
    QFETCH(bool, sheetCopy);
    TempTree tree;
    // A source whose default format is DejaVu Sans 10 on white, as other
    // spreadsheet programs write it, and one whose default is the target's.
    const QString other = tree.file(u"other.xlsx"_s);
    const QByteArray rows = "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>文字</t></is></c>"
                            "<c r=\"B1\"><v>5</v></c></row>";
    QVERIFY(writeFile(
        other, Fixtures::packageOf(
                   {{u"S"_s, Fixtures::sheetXml(rows), {}}},
                   stylesXml("<font><sz val=\"10\"/><name val=\"DejaVu Sans\"/></font>", "0.00", true))));
    const QString same = tree.file(u"same.xlsx"_s);
    {
        ExcelHost host;
        Workbook* book = host.Add();
        book->Worksheets(1)->Cells(1, 1).setValue(CellValue::text(u"文字"_s));
        QVERIFY(book->SaveAs(same));
    }
    const QString fromOther = tree.file(u"from-other.xlsx"_s);
    const QString fromSame = tree.file(u"from-same.xlsx"_s);
    QVERIFY(copyInto(other, fromOther, sheetCopy));
    QVERIFY(copyInto(same, fromSame, sheetCopy));

    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(fromOther, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    Worksheet* ws = sheetCopy ? book->Worksheets(u"S"_s) : book->Worksheets(1);
    QVERIFY(ws);
    for (int c = 1; c <= 2; ++c) {
        const CellFormat f = ws->Cells(1, c).format();
        QCOMPARE(f.fontName, u"DejaVu Sans"_s);
        QCOMPARE(f.fontSize, 10.0);
        QCOMPARE(f.fillColour, u"FFFFFFFF"_s);
    }
    // The target's own default format is untouched.
    QVERIFY(book->Worksheets(1)->Cells(5, 5).format().fontName != u"DejaVu Sans"_s);
    // Between workbooks of one default nothing changes: no explicit format.
    Workbook* plain = host.Open(fromSame, &error);
    QVERIFY2(plain, qPrintable(error.toString()));
    QCOMPARE(plain->Worksheets(sheetCopy ? plain->worksheetCount() : 1)->styleIndex(1, 1), 0);
    QString messages;
    QVERIFY2(Fixtures::gnumericReads(fromOther, &messages), qPrintable(messages));
    QVERIFY2(messages.isEmpty(), qPrintable(messages));
}

QTEST_GUILESS_MAIN(WorkbookCopyTest)
#include "tst_workbook_copy.moc"
