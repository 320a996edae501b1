// Contact tables in (text and workbooks) and the exported workbook, checked
// with ssconvert, a reader nobody here wrote.

#include "Fixtures.h"
#include "TempTree.h"
#include "contacts/ContactTables.h"
#include "contacts/WorkbookExport.h"
#include "platform/GbkText.h"
#include "workbook/ExcelHost.h"
#include "workbook/Workbook.h"
#include "workbook/Worksheet.h"

#include <QProcess>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using Contacts::ContactRow;
using Contacts::ContactRows;

namespace {

QList<QStringList> fieldsOf(const ContactRows& rows)
{
    QList<QStringList> out;
    for (const ContactRow& r : rows)
        out.append(QStringList(r.fields.begin(), r.fields.end()));
    return out;
}

// The cells of a workbook's first sheet as ssconvert reads them.
QList<QStringList> ssconvertCells(const QString& path, const QString& folder)
{
    const QString csv = folder + u"/cells.csv"_s;
    QFile::remove(csv);
    QProcess process;
    process.start(u"ssconvert"_s, {u"--export-type=Gnumeric_stf:stf_csv"_s, path, csv});
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return {};
    QFile file(csv);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QStringList> cells;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        QStringList row = line.split(u',');
        for (QString& cell : row) {
            if (cell.size() >= 2 && cell.startsWith(u'"') && cell.endsWith(u'"'))
                cell = cell.mid(1, cell.size() - 2);
        }
        cells.append(row);
    }
    return cells;
}

ContactRow contact(const QStringList& fields)
{
    ContactRow r;
    for (qsizetype i = 0; i < fields.size(); ++i)
        r[int(i)] = fields.at(i);
    return r;
}

} // namespace

class TestContactTables : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textTable_data();
    void textTable();
    void textFileEncodings_data();
    void textFileEncodings();
    void workbookPaths();
    void worksheetRows();
    void legacyWorkbookRows();
    void exportedWorkbookCells_data();
    void exportedWorkbookCells();
    void exportFormatting();
    void exportRefusals();
};

void TestContactTables::textTable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<bool>("stopped");
    using Rows = QList<QStringList>;

    QTest::newRow("name and mobile only")
        << u"姓名,移动\r\n张三,138\r\n"_s << Rows{{u"1"_s, u"张三"_s, u"138"_s, {}, {}, {}, {}}} << false;
    QTest::newRow("eight values: the rest joined into 其他")
        << u"t,t\r\na,1,2,3,4,5,6,7\r\n"_s
        << Rows{{u"1"_s, u"a"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5,6,7"_s}} << false;
    QTest::newRow("tabs and commas mixed, values not trimmed")
        << u"t\tt\n a\t1, 2\n"_s << Rows{{u"1"_s, u" a"_s, u"1"_s, u" 2"_s, {}, {}, {}}} << false;
    QTest::newRow("RFC 4180 quotes")
        << u"姓名,移动,备注\r\n\"王, 小明\",\"138\"\"0\"\"\",\"两行\r\n文字\"\r\n李四,\"\",x\r\n"_s
        << Rows{{u"1"_s, u"王, 小明"_s, u"138\"0\""_s, u"两行\r\n文字"_s, {}, {}, {}},
                {u"2"_s, u"李四"_s, {}, u"x"_s, {}, {}, {}}}
        << false;
    QTest::newRow("title without separator stops at once") << u"通讯录\r\n张三,1\r\n"_s << Rows{} << true;
    QTest::newRow("blank line stops, rows before stay")
        << u"t,t\r\na,1\r\n\r\nb,2\r\n"_s << Rows{{u"1"_s, u"a"_s, u"1"_s, {}, {}, {}, {}}} << true;
    QTest::newRow("final line break adds no line")
        << u"t,t\na,1\nb,2"_s
        << Rows{{u"1"_s, u"a"_s, u"1"_s, {}, {}, {}, {}}, {u"2"_s, u"b"_s, u"2"_s, {}, {}, {}, {}}} << false;
    QTest::newRow("empty text") << QString() << Rows{} << false;
}

void TestContactTables::textTable()
{
    QFETCH(QString, text);
    QFETCH(QList<QStringList>, rows);
    QFETCH(bool, stopped);
    const Contacts::TextTableResult result = Contacts::readTextTable(text);
    QCOMPARE(fieldsOf(result.rows), rows);
    QCOMPARE(result.stopped, stopped);
}

void TestContactTables::textFileEncodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QString text = u"姓名,移动\r\n张三,138\r\n"_s;
    QTest::newRow("UTF-8 with mark (a spreadsheet's CSV UTF-8)")
        << QByteArray("\xEF\xBB\xBF" + text.toUtf8());
    QTest::newRow("UTF-8") << text.toUtf8();
    QTest::newRow("GBK") << Platform::encodeGbk(text);
    QStringEncoder utf16(QStringEncoder::Utf16LE);
    QTest::newRow("UTF-16 (a spreadsheet's Unicode text)")
        << QByteArray("\xFF\xFE" + QByteArray(utf16(QString(text).replace(u',', u'\t'))));
}

void TestContactTables::textFileEncodings()
{
    QFETCH(QByteArray, bytes);
    TempTree tree;
    const Contacts::TextTableResult result = Contacts::Read_Text(tree.write(u"t.csv"_s, bytes));
    QVERIFY(result.readable);
    QCOMPARE(fieldsOf(result.rows), (QList<QStringList>{{u"1"_s, u"张三"_s, u"138"_s, {}, {}, {}, {}}}));

    const Contacts::TextTableResult missing = Contacts::Read_Text(tree.file(u"none.csv"_s));
    QVERIFY(!missing.readable);
    QVERIFY(!missing.error.isEmpty());
}

void TestContactTables::workbookPaths()
{
    for (const QString& name : {u"a.xls"_s, u"b.XLSX"_s, u"c.xlsm"_s, u"dXLS"_s})
        QVERIFY2(Contacts::isWorkbookPath(name), qPrintable(name));
    for (const QString& name : {u"a.csv"_s, u"b.txt"_s, u"c.xlsb"_s, u"d.vcf"_s})
        QVERIFY2(!Contacts::isWorkbookPath(name), qPrintable(name));
}

namespace {

// A contact workbook written by libxlsxwriter: names in A2:A4, a stray number
// in F10, a blank sheet, a sheet with only its title row.
QString writeContactWorkbook(TempTree& tree)
{
    const QString path = tree.file(u"通讯录.xlsx"_s);
    Fixtures::XlsxBuilder book(path);
    book.sheet(u"联系人"_s);
    const QStringList titles{u"姓名"_s, u"移动"_s, u"家庭"_s, u"工作"_s, u"传真"_s, u"其他"_s};
    for (int c = 0; c < titles.size(); ++c)
        book.text(1, c + 1, titles.at(c));
    book.text(2, 1, u"张三"_s);
    book.number(2, 2, 13800138000.0);
    book.text(2, 6, u"010-1"_s);
    book.text(3, 1, u"李四"_s);
    book.text(3, 3, u"0755-2"_s);
    book.text(4, 1, u"王五"_s);
    book.number(10, 6, 42);
    book.sheet(u"空表"_s);
    book.sheet(u"标题"_s);
    book.text(1, 1, u"姓名"_s);
    return book.close() ? path : QString();
}

const QList<QStringList> kSheetRows{{u"1"_s, u"张三"_s, u"13800138000"_s, {}, {}, {}, u"010-1"_s},
                                    {u"2"_s, u"李四"_s, {}, u"0755-2"_s, {}, {}, {}},
                                    {u"3"_s, u"王五"_s, {}, {}, {}, {}, {}}};

} // namespace

void TestContactTables::worksheetRows()
{
    TempTree tree;
    const QString path = writeContactWorkbook(tree);
    QVERIFY(!path.isEmpty());
    QStringList lines;
    QVERIFY(Contacts::Read_xls(path, &lines));
    QCOMPARE(lines, (QStringList{u"联系人"_s, u"空表(空白工作表)"_s, u"标题"_s}));

    ContactRows rows;
    QVERIFY(Contacts::ReadSheetRows(path, 1, rows));
    QCOMPARE(fieldsOf(rows), kSheetRows);
    for (int sheet : {2, 3}) {
        ContactRows none;
        QVERIFY(Contacts::ReadSheetRows(path, sheet, none));
        QVERIFY(none.isEmpty());
    }
    ContactRows none;
    QString error;
    QVERIFY(!Contacts::ReadSheetRows(path, 4, none, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!Contacts::ReadSheetRows(tree.file(u"none.xlsx"_s), 1, none, &error));
    QVERIFY(!Contacts::Read_xls(tree.write(u"bad.xls"_s, "not a workbook"), &lines, &error));
}

void TestContactTables::legacyWorkbookRows()
{
    TempTree tree;
    const QString xlsx = writeContactWorkbook(tree);
    const QString xls = tree.file(u"通讯录.xls"_s);
    Xl::ExcelHost host;
    Xl::WorkbookError error;
    QVERIFY2(host.convert(xlsx, xls, &error), qPrintable(error.toString()));
    ContactRows rows;
    QVERIFY(Contacts::ReadSheetRows(xls, 1, rows));
    QCOMPARE(fieldsOf(rows), kSheetRows);
}

void TestContactTables::exportedWorkbookCells_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("xlsx") << u"导出.xlsx"_s;
    QTest::newRow("xls") << u"导出.xls"_s;
}

void TestContactTables::exportedWorkbookCells()
{
    QFETCH(QString, name);
    TempTree tree;
    const QString path = tree.file(name);
    const ContactRows rows{contact({u"1"_s, u"张三"_s, u"13800138000"_s, {}, u"010-1"_s, {}, u"x"_s}),
                           contact({u"2"_s, u"Ann Lee"_s, {}, u"0755 2"_s})};
    QString error;
    QVERIFY2(Contacts::ExportWorkbook(path, rows, &error), qPrintable(error));
    const QList<QStringList> cells = ssconvertCells(path, tree.path());
    QCOMPARE(cells, (QList<QStringList>{
                        {u"编号"_s, u"姓名"_s, u"移动"_s, u"家庭"_s, u"工作"_s, u"传真"_s, u"其他"_s},
                        {u"1"_s, u"张三"_s, u"13800138000"_s, {}, u"010-1"_s, {}, u"x"_s},
                        {u"2"_s, u"Ann Lee"_s, {}, u"0755 2"_s, {}, {}, {}}}));

    // Replacing: a second export writes the new list only.
    QVERIFY(Contacts::ExportWorkbook(path, {}, &error));
    QCOMPARE(ssconvertCells(path, tree.path()).size(), 1);
}

void TestContactTables::exportFormatting()
{
    TempTree tree;
    const QString path = tree.file(u"导出.xlsx"_s);
    QVERIFY(Contacts::ExportWorkbook(path, {contact({u"9"_s, u"欧阳娜娜娜娜娜娜娜娜娜"_s, u"1"_s})}));
    Xl::ExcelHost host;
    Xl::Workbook* book = host.Open(path);
    QVERIFY(book);
    Xl::Worksheet* sheet = book->Worksheets(1);
    QCOMPARE(sheet->Name(), u"Sheet1"_s);
    QCOMPARE(sheet->Cells(2, 1).Value().type(), Xl::CellValue::Type::Number);
    QCOMPARE(sheet->Cells(2, 1).Value().toNumber(), 1.0);
    QCOMPARE(sheet->Cells(2, 3).Value().type(), Xl::CellValue::Type::Text);
    for (int row = 1; row <= 2; ++row) {
        for (int column = 1; column <= 7; ++column) {
            const Xl::CellFormat format = sheet->Cells(row, column).format();
            QCOMPARE(format.horizontal, u"center"_s);
            QCOMPARE(format.vertical, u"center"_s);
            QCOMPARE(format.left, u"thin"_s);
            QCOMPARE(format.right, u"thin"_s);
            QCOMPARE(format.top, u"thin"_s);
            QCOMPARE(format.bottom, u"thin"_s);
            QVERIFY(!format.diagonalUp && !format.diagonalDown);
        }
    }
    // Fitted: the long name's column is wider than the number's.
    QVERIFY(sheet->columnWidth(2) > sheet->columnWidth(1));
    QVERIFY(sheet->columnWidth(2) >= 20);
}

void TestContactTables::exportRefusals()
{
    TempTree tree;
    ContactRows many(65536, contact({u"1"_s, u"张"_s}));
    QString error;
    QVERIFY(!Contacts::ExportWorkbook(tree.file(u"big.xls"_s), many, &error));
    QVERIFY2(error.contains(u"65535"_s), qPrintable(error));
    QVERIFY(!tree.exists(u"big.xls"_s));
    QVERIFY(!Contacts::ExportWorkbook(tree.file(u"x.csv"_s), {}, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!tree.exists(u"x.csv"_s));
}

QTEST_GUILESS_MAIN(TestContactTables)
#include "tst_contacttables.moc"
