// Copies: worksheets into the same or another workbook with everything they
// hold, cell ranges with their formats, and the formula references a paste moves.

#include "Fixtures.h"
#include "TempTree.h"

#include "ExcelHost.h"
#include "FormulaRefs.h"
#include "Workbook.h"
#include "Worksheet.h"

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
    void fitAlignAndBorders();
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
    QCOMPARE(book->Worksheets(u"汇总"_s)->Cells(1, 2).Formula(), u"=SUM(数据!B2:B6)"_s);

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

QTEST_GUILESS_MAIN(WorkbookCopyTest)
#include "tst_workbook_copy.moc"
