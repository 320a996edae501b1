// Sheets added, renamed and deleted, workbooks saved: the package stays
// consistent, what the engine does not touch stays as it was, and a failed
// save leaves the original file alone.

#include "Fixtures.h"
#include "TempTree.h"

#include "ExcelHost.h"
#include "Workbook.h"
#include "Worksheet.h"
#include "ZipPackage.h"

#include <QProcess>

#include <QtTest>
#include <xlsxwriter.h>

using namespace Qt::Literals::StringLiterals;
using namespace Xl;
using Code = WorkbookError::Code;

Q_DECLARE_METATYPE(Xl::SaveFault)

namespace {

QStringList sheetNames(Workbook* book)
{
    QStringList out;
    for (int i = 1; i <= book->sheetCount(); ++i)
        out << book->sheetName(i);
    return out;
}

// Parts whose names contain `fragment`.
QStringList partsLike(const QString& path, const QString& fragment)
{
    QStringList out;
    for (const QString& p : Fixtures::partNames(path)) {
        if (p.contains(fragment))
            out << p;
    }
    return out;
}

bool canMakeImmutable(const QString& folder)
{
    return QProcess::execute(u"chattr"_s, {u"+i"_s, folder}) == 0;
}

} // namespace

class WorkbookEditTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newWorkbook();
    void rename_data();
    void rename();
    void renameFollowsReferences();
    void addAndDelete();
    void chartSheets();
    void fidelityAfterDeletingBlankSheet();
    void deletingSheetTakesItsParts();
    void changedCellsDropCalcChain();
    void saveFailureKeepsOriginal_data();
    void saveFailureKeepsOriginal();
    void saveIntoUnwritableFolder();
    void saveThroughSymbolicLink();
};

void WorkbookEditTest::newWorkbook()
{
    TempTree tree;
    const QString path = tree.file(u"新建.xlsx"_s);
    {
        ExcelHost host;
        WorkbookError error;
        Workbook* book = host.Add({}, &error);
        QVERIFY2(book, qPrintable(error.toString()));
        QCOMPARE(book->Name(), u"Book1"_s);
        QCOMPARE(sheetNames(book), QStringList({u"Sheet1"_s, u"Sheet2"_s, u"Sheet3"_s}));
        QVERIFY(!book->Save(&error)); // no file name yet
        book->Worksheets(1)->Cells(1, 1).setValue(CellValue::text(u"编号"_s));
        book->Worksheets(1)->Cells(2, 1).setValue(CellValue::number(1));
        book->Worksheets(2)->Cells(1, 1).setFormula(u"=Sheet1!A2+1"_s, CellValue::number(2));
        QVERIFY2(book->SaveAs(path, &error), qPrintable(error.toString()));
        QCOMPARE(book->Name(), u"新建.xlsx"_s);
    }
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(path, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    QCOMPARE(book->Worksheets(u"sheet1"_s)->Cells(1, 1).Value(), CellValue::text(u"编号"_s));
    QCOMPARE(book->Worksheets(2)->Cells(1, 1).Formula(), u"=Sheet1!A2+1"_s);
    QString messages;
    QVERIFY2(Fixtures::gnumericReads(path, &messages), qPrintable(messages));
    QVERIFY2(messages.isEmpty(), qPrintable(messages));
}

void WorkbookEditTest::rename_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Code>("code");

    QTest::newRow("plain") << u"汇总 2024"_s << Code::None;
    QTest::newRow("only case changes") << u"SHEET1"_s << Code::None;
    QTest::newRow("31 characters") << QString(31, u'表') << Code::None;
    QTest::newRow("32 characters") << QString(32, u'表') << Code::InvalidName;
    QTest::newRow("empty") << QString() << Code::InvalidName;
    for (const QString& c : {u":"_s, u"\\"_s, u"/"_s, u"?"_s, u"*"_s, u"["_s, u"]"_s})
        QTest::newRow(qPrintable(u"contains "_s + c)) << u"a"_s + c + u"b"_s << Code::InvalidName;
    QTest::newRow("leading apostrophe") << u"'a"_s << Code::InvalidName;
    QTest::newRow("trailing apostrophe") << u"a'"_s << Code::InvalidName;
    QTest::newRow("inner apostrophe") << u"it's"_s << Code::None;
    QTest::newRow("reserved") << u"history"_s << Code::InvalidName;
    QTest::newRow("taken, other case") << u"sheet2"_s << Code::NameTaken;
}

void WorkbookEditTest::rename()
{
    QFETCH(QString, name);
    QFETCH(Code, code);
    ExcelHost host;
    Workbook* book = host.Add();
    WorkbookError error;
    Worksheet* ws = book->Worksheets(1);
    QCOMPARE(ws->setName(name, &error), code == Code::None);
    QCOMPARE(error.code, code);
    QCOMPARE(ws->Name(), code == Code::None ? name : u"Sheet1"_s);
}

void WorkbookEditTest::renameFollowsReferences()
{
    TempTree tree;
    const QString path = tree.file(u"f.xlsx"_s);
    QVERIFY(Fixtures::writeFidelityWorkbook(path));
    {
        ExcelHost host;
        WorkbookError error;
        Workbook* book = host.Open(path, &error);
        QVERIFY2(book, qPrintable(error.toString()));
        QVERIFY(book->Worksheets(u"数据"_s)->setName(u"销售 数据"_s, &error));
        QVERIFY(book->Save(&error));
    }
    QVERIFY(Fixtures::partOf(path, u"xl/worksheets/sheet3.xml"_s).contains("SUM('销售 数据'!B2:B6)"));
    const QByteArray wb = Fixtures::partOf(path, u"xl/workbook.xml"_s);
    QVERIFY(wb.contains("'销售 数据'!$B$2:$B$6"));
    QVERIFY(!wb.contains(">数据!"));
    QVERIFY(Fixtures::partOf(path, u"xl/charts/chart1.xml"_s).contains("<c:f>'销售 数据'!$B$2:$B$6</c:f>"));
    QVERIFY(Fixtures::partOf(path, u"docProps/app.xml"_s).contains("<vt:lpstr>销售 数据</vt:lpstr>"));
    QString messages;
    QVERIFY2(Fixtures::gnumericReads(path, &messages), qPrintable(messages));
}

void WorkbookEditTest::addAndDelete()
{
    TempTree tree;
    const QString path = tree.file(u"f.xlsx"_s);
    QVERIFY(Fixtures::writeFidelityWorkbook(path));
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(path, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    QCOMPARE(book->ActiveSheet()->Name(), u"数据"_s);

    Worksheet* added = book->addWorksheet(book->Worksheets(u"空白"_s), &error);
    QVERIFY(added);
    QCOMPARE(added->Name(), u"Sheet4"_s);
    QCOMPARE(added->Index(), 2);
    QCOMPARE(book->ActiveSheet(), added);
    QCOMPARE(sheetNames(book), QStringList({u"空白"_s, u"Sheet4"_s, u"数据"_s, u"汇总"_s}));
    added->Cells(1, 1).setValue(CellValue::text(u"新表"_s));

    // Every sheet visited once, also while deleting.
    QStringList visited;
    for (Worksheet* ws : book->worksheetList()) {
        visited << ws->Name();
        if (ws->UsedRange().CountA() == 0)
            QVERIFY(ws->Delete(&error));
    }
    QCOMPARE(visited, QStringList({u"空白"_s, u"Sheet4"_s, u"数据"_s, u"汇总"_s}));
    QCOMPARE(sheetNames(book), QStringList({u"Sheet4"_s, u"数据"_s, u"汇总"_s}));
    book->Worksheets(u"数据"_s)->Activate();
    QVERIFY(book->Save(&error));
    QVERIFY(!book->Worksheets(1)->Delete(&error) || book->sheetCount() == 2);

    // Names scoped to 数据 (its filter) follow it to position 1.
    const QByteArray wb = Fixtures::partOf(path, u"xl/workbook.xml"_s);
    QVERIFY(wb.contains("localSheetId=\"1\""));
    QVERIFY(wb.contains("activeTab=\"1\""));
    const QByteArray app = Fixtures::partOf(path, u"docProps/app.xml"_s);
    QVERIFY(app.contains("<vt:lpstr>Sheet4</vt:lpstr><vt:lpstr>数据</vt:lpstr><vt:lpstr>汇总</vt:lpstr>"));
    QVERIFY(!app.contains("空白"));

    // The last sheet stays.
    ExcelHost other;
    Workbook* small = other.Add();
    QVERIFY(small->Worksheets(3)->Delete(&error));
    QVERIFY(small->Worksheets(2)->Delete(&error));
    QVERIFY(!small->Worksheets(1)->Delete(&error));
    QCOMPARE(error.code, Code::LastSheet);
    QCOMPARE(small->sheetCount(), 1);
}

void WorkbookEditTest::chartSheets()
{
    TempTree tree;
    const QString path = tree.file(u"charts.xlsx"_s);
    {
        Fixtures::XlsxBuilder b(path);
        b.sheet(u"数据"_s);
        for (int r = 1; r <= 3; ++r)
            b.number(r, 1, r);
        lxw_chartsheet* cs = workbook_add_chartsheet(b.workbook(), "图表");
        lxw_chart* chart = workbook_add_chart(b.workbook(), LXW_CHART_LINE);
        chart_add_series(chart, nullptr, "=数据!$A$1:$A$3");
        chartsheet_set_chart(cs, chart);
        b.sheet(u"备注"_s);
        QVERIFY(b.close());
    }
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(path, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    QCOMPARE(book->sheetCount(), 3);
    QCOMPARE(book->worksheetCount(), 2);
    QCOMPARE(book->sheetType(2), SheetType::Chart);
    QCOMPARE(book->sheetName(2), u"图表"_s);
    QVERIFY(!book->Sheets(2));
    QCOMPARE(book->Worksheets(2)->Name(), u"备注"_s);
    QCOMPARE(book->Worksheets(2)->Index(), 3);
    QVERIFY(book->Worksheets(u"备注"_s)->Delete(&error));
    QVERIFY(book->Save(&error));

    ExcelHost again;
    Workbook* reopened = again.Open(path, &error);
    QVERIFY2(reopened, qPrintable(error.toString()));
    QCOMPARE(sheetNames(reopened), QStringList({u"数据"_s, u"图表"_s}));
    QVERIFY(Fixtures::partNames(path).contains(u"xl/chartsheets/sheet1.xml"_s));
    QString messages;
    QVERIFY2(Fixtures::gnumericReads(path, &messages), qPrintable(messages));
}

void WorkbookEditTest::fidelityAfterDeletingBlankSheet()
{
    TempTree tree;
    const QString path = tree.file(u"fidelity.xlsx"_s);
    QVERIFY(Fixtures::writeFidelityWorkbook(path));
    const QString original = tree.file(u"original.xlsx"_s);
    QVERIFY(QFile::copy(path, original));
    {
        ExcelHost host;
        WorkbookError error;
        Workbook* book = host.Open(path, &error);
        QVERIFY2(book, qPrintable(error.toString()));
        QVERIFY(book->Worksheets(u"空白"_s)->Delete(&error));
        QVERIFY2(book->Save(&error), qPrintable(error.toString()));
    }
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(path, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    QCOMPARE(sheetNames(book), QStringList({u"数据"_s, u"汇总"_s}));
    QCOMPARE(book->ActiveSheet()->Name(), u"数据"_s);

    // The parts of the kept sheets are the same bytes as before.
    const QStringList parts = Fixtures::partNames(original);
    for (const QString& part : parts) {
        if (part == u"xl/worksheets/sheet1.xml"_s)
            QVERIFY(!Fixtures::partNames(path).contains(part));
        else if (part != u"xl/workbook.xml"_s && part != u"xl/_rels/workbook.xml.rels"_s &&
                 part != u"[Content_Types].xml"_s && part != u"docProps/app.xml"_s)
            QVERIFY2(Fixtures::partOf(path, part) == Fixtures::partOf(original, part), qPrintable(part));
    }
    const QByteArray sheet = Fixtures::partOf(path, u"xl/worksheets/sheet2.xml"_s);
    for (const char* element :
         {"<drawing ", "<legacyDrawing ", "<dataValidations", "<conditionalFormatting", "state=\"frozen\"",
          "<autoFilter ref=\"A1:B6\"", "<hyperlink ", "<sheetProtection"})
        QVERIFY2(sheet.contains(element), element);
    QVERIFY(!partsLike(path, u"xl/charts/chart"_s).isEmpty());
    QVERIFY(!partsLike(path, u"xl/media/image"_s).isEmpty());
    QVERIFY(Fixtures::partOf(path, u"xl/comments1.xml"_s).contains("单位：件"));
    QVERIFY(Fixtures::partOf(path, u"xl/worksheets/_rels/sheet2.xml.rels"_s)
                .contains("https://example.com/report"));
    const QByteArray wb = Fixtures::partOf(path, u"xl/workbook.xml"_s);
    QVERIFY(wb.contains("name=\"销量合计\""));
    QVERIFY(wb.contains("name=\"_xlnm._FilterDatabase\" localSheetId=\"0\""));
    QVERIFY(Fixtures::partOf(path, u"xl/styles.xml"_s).contains("<dxf>"));
    // gnumeric says no more about the result than about the original (its
    // reader notes that it skips the comment's VML shape in both).
    QString messages, originalMessages;
    QVERIFY2(Fixtures::gnumericReads(original, &originalMessages), qPrintable(originalMessages));
    QVERIFY2(Fixtures::gnumericReads(path, &messages), qPrintable(messages));
    QCOMPARE(Fixtures::messageKinds(messages), Fixtures::messageKinds(originalMessages));
}

void WorkbookEditTest::deletingSheetTakesItsParts()
{
    TempTree tree;
    const QString path = tree.file(u"f.xlsx"_s);
    QVERIFY(Fixtures::writeFidelityWorkbook(path));
    {
        ExcelHost host;
        WorkbookError error;
        Workbook* book = host.Open(path, &error);
        QVERIFY2(book, qPrintable(error.toString()));
        QVERIFY(book->Worksheets(u"数据"_s)->Delete(&error));
        QCOMPARE(book->Worksheets(u"汇总"_s)->Cells(1, 2).Formula(), u"=SUM(#REF!)"_s);
        QVERIFY(book->Save(&error));
    }
    QVERIFY(partsLike(path, u"xl/charts/"_s).isEmpty());
    QVERIFY(partsLike(path, u"xl/drawings/"_s).isEmpty());
    QVERIFY(partsLike(path, u"xl/media/"_s).isEmpty());
    QVERIFY(partsLike(path, u"comments"_s).isEmpty());
    const QByteArray types = Fixtures::partOf(path, u"[Content_Types].xml"_s);
    QVERIFY(!types.contains("chart1.xml"));
    QVERIFY(!types.contains("sheet2.xml"));
    const QByteArray wb = Fixtures::partOf(path, u"xl/workbook.xml"_s);
    QVERIFY(!wb.contains("_FilterDatabase"));
    QVERIFY(wb.contains("<definedName name=\"销量合计\">#REF!</definedName>"));
    QString messages;
    QVERIFY2(Fixtures::gnumericReads(path, &messages), qPrintable(messages));
}

void WorkbookEditTest::changedCellsDropCalcChain()
{
    TempTree tree;
    const QString path = tree.file(u"calc.xlsx"_s);
    {
        Xl::ZipPackage p;
        QVERIFY(p.load(
            Fixtures::packageWithSheet(
                "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
                "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><f>A1*2</f><v>2</v></c></row>"
                "</sheetData></worksheet>"),
            nullptr));
        p.write(u"xl/calcChain.xml"_s,
                "<calcChain xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><c r=\"B1\" "
                "i=\"1\"/></calcChain>");
        QByteArray rels, types;
        p.read(u"xl/_rels/workbook.xml.rels"_s, &rels, nullptr);
        rels.replace("</Relationships>",
                     "<Relationship Id=\"rId9\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
                     "2006/relationships/calcChain\" Target=\"calcChain.xml\"/></Relationships>");
        p.write(u"xl/_rels/workbook.xml.rels"_s, rels);
        p.read(u"[Content_Types].xml"_s, &types, nullptr);
        types.replace("</Types>",
                      "<Override PartName=\"/xl/calcChain.xml\" ContentType=\"application/"
                      "vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml\"/></Types>");
        p.write(u"[Content_Types].xml"_s, types);
        QByteArray bytes;
        QVERIFY(p.save(&bytes, nullptr));
        tree.write(u"calc.xlsx"_s, bytes);
    }
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(path, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    book->Worksheets(1)->Cells(1, 1).setValue(CellValue::number(5));
    QVERIFY(book->Save(&error));
    QVERIFY(!Fixtures::partNames(path).contains(u"xl/calcChain.xml"_s));
    QVERIFY(!Fixtures::partOf(path, u"xl/_rels/workbook.xml.rels"_s).contains("calcChain"));
    QVERIFY(!Fixtures::partOf(path, u"[Content_Types].xml"_s).contains("calcChain"));
}

void WorkbookEditTest::saveFailureKeepsOriginal_data()
{
    QTest::addColumn<SaveFault>("fault");
    QTest::newRow("writing") << SaveFault::Write;
    QTest::newRow("flushing") << SaveFault::Sync;
    QTest::newRow("renaming") << SaveFault::Rename;
}

void WorkbookEditTest::saveFailureKeepsOriginal()
{
    QFETCH(SaveFault, fault);
    TempTree tree;
    const QString path = tree.file(u"f.xlsx"_s);
    QVERIFY(Fixtures::writeFidelityWorkbook(path));
    const QByteArray before = tree.read(u"f.xlsx"_s);
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(path, &error);
    QVERIFY(book);
    book->Worksheets(1)->Cells(1, 1).setValue(CellValue::text(u"改动"_s));
    host.setSaveFault(fault);
    QVERIFY(!book->Save(&error));
    QCOMPARE(error.code, Code::WriteFailed);
    QCOMPARE(error.message, u"无法保存工作簿，原文件没有改动"_s);
    QCOMPARE(tree.read(u"f.xlsx"_s), before);
    QCOMPARE(tree.entries(), QStringList({u"f.xlsx"_s}));
    // The next save goes through.
    QVERIFY(book->Save(&error));
    QVERIFY(tree.read(u"f.xlsx"_s) != before);
}

void WorkbookEditTest::saveIntoUnwritableFolder()
{
    TempTree tree;
    const QString folder = tree.mkdir(u"locked"_s);
    const QString path = folder + u"/f.xlsx"_s;
    QVERIFY(Fixtures::writeFidelityWorkbook(path));
    const QByteArray before = tree.read(u"locked/f.xlsx"_s);
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(path, &error);
    QVERIFY(book);
    book->Worksheets(1)->Cells(1, 1).setValue(CellValue::number(1));
    if (!canMakeImmutable(folder))
        QSKIP("chattr +i is not available here");
    const bool saved = book->Save(&error);
    QProcess::execute(u"chattr"_s, {u"-i"_s, folder});
    QVERIFY(!saved);
    QCOMPARE(error.code, Code::WriteFailed);
    QCOMPARE(tree.read(u"locked/f.xlsx"_s), before);
    QCOMPARE(tree.entries(u"locked"_s), QStringList({u"f.xlsx"_s}));
}

void WorkbookEditTest::saveThroughSymbolicLink()
{
    TempTree tree;
    const QString real = tree.file(u"data/real.xlsx"_s);
    tree.mkdir(u"data"_s);
    QVERIFY(Fixtures::writeFidelityWorkbook(real));
    const QString link = tree.file(u"link.xlsx"_s);
    QVERIFY(QFile::link(real, link));
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(link, &error);
    QVERIFY(book);
    book->Worksheets(1)->Cells(1, 1).setValue(CellValue::text(u"经由链接"_s));
    QVERIFY(book->Save(&error));
    QVERIFY(QFileInfo(link).isSymLink());
    ExcelHost again;
    Workbook* reopened = again.Open(real, &error);
    QVERIFY(reopened);
    QCOMPARE(reopened->Worksheets(1)->Cells(1, 1).Value(), CellValue::text(u"经由链接"_s));
}

QTEST_GUILESS_MAIN(WorkbookEditTest)
#include "tst_workbook_edit.moc"
