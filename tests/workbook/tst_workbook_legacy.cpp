// Legacy formats through ssconvert: opened, changed and saved back in their
// own format; refused cleanly without the converter or beyond the format's rows.

#include "Fixtures.h"
#include "TempTree.h"

#include "CompoundFile.h"
#include "ExcelHost.h"
#include "Workbook.h"
#include "WorkbookInfo.h"
#include "Worksheet.h"

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using namespace Xl;
using Code = WorkbookError::Code;

namespace {

// Converts an .xlsx written by libxlsxwriter into `target` with ssconvert.
bool legacyCopy(const QString& xlsx, const QString& target)
{
    QProcess p;
    p.start(ExcelHost::findConverter(), {xlsx, target});
    return p.waitForFinished(60000) && p.exitCode() == 0 && QFile::exists(target);
}

bool writeSample(const QString& path, const QString& marker)
{
    Fixtures::XlsxBuilder b(path);
    b.sheet(u"名单"_s);
    b.text(1, 1, u"姓名"_s);
    b.text(2, 1, marker);
    b.number(2, 2, 42);
    b.sheet(u"Sheet2"_s);
    return b.close();
}

} // namespace

class WorkbookLegacyTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
    void withoutConverter();
    void tooManyRowsForXls();
    void templateToXls();
    void folderConvertsTwoAtATime();
    void webExports_data();
    void webExports();

private:
    TempTree m_tree;
};

void WorkbookLegacyTest::initTestCase()
{
    if (ExcelHost::findConverter().isEmpty())
        QSKIP("ssconvert (package gnumeric) is not installed");
}

void WorkbookLegacyTest::roundTrip_data()
{
    QTest::addColumn<QString>("extension");
    QTest::newRow("xls") << u"xls"_s;
    QTest::newRow("ods") << u"ods"_s;
}

void WorkbookLegacyTest::roundTrip()
{
    QFETCH(QString, extension);
    const QString xlsx = m_tree.file(u"sample-"_s + extension + u".xlsx"_s);
    QVERIFY(writeSample(xlsx, u"张三"_s));
    const QString path = m_tree.file(u"名单."_s + extension);
    QVERIFY(legacyCopy(xlsx, path));
    {
        ExcelHost host;
        WorkbookError error;
        Workbook* book = host.Open(path, &error);
        QVERIFY2(book, qPrintable(error.toString()));
        QCOMPARE(book->Name(), u"名单."_s + extension);
        Worksheet* ws = book->Worksheets(u"名单"_s);
        QVERIFY(ws);
        QCOMPARE(ws->Cells(2, 1).Value(), CellValue::text(u"张三"_s));
        ws->Cells(3, 1).setValue(CellValue::text(u"李四"_s));
        QVERIFY(book->Worksheets(u"Sheet2"_s)->Delete(&error));
        QVERIFY2(book->Save(&error), qPrintable(error.toString()));
    }
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    if (extension == u"xls"_s)
        QVERIFY(CompoundFile::hasSignature(bytes));
    else
        QVERIFY(bytes.mid(30, 8) == "mimetype");
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(path, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    QCOMPARE(book->sheetCount(), 1);
    QCOMPARE(book->Worksheets(1)->Cells(3, 1).Value(), CellValue::text(u"李四"_s));
    QCOMPARE(book->Worksheets(1)->Cells(2, 2).Value(), CellValue::number(42));
}

void WorkbookLegacyTest::withoutConverter()
{
    const QString xlsx = m_tree.file(u"nc.xlsx"_s);
    QVERIFY(writeSample(xlsx, u"王五"_s));
    const QString xls = m_tree.file(u"nc.xls"_s);
    QVERIFY(legacyCopy(xlsx, xls));
    ExcelHost host;
    host.setConverter({});
    WorkbookError error;
    QVERIFY(!host.Open(xls, &error));
    QCOMPARE(error.code, Code::ConverterMissing);
    QVERIFY(error.message.contains(u"gnumeric"_s));

    // Native workbooks still work; saving one as .xls is refused, nothing written.
    Workbook* book = host.Open(xlsx, &error);
    QVERIFY(book);
    QVERIFY(!book->SaveAs(m_tree.file(u"nc-out.xls"_s), &error));
    QCOMPARE(error.code, Code::ConverterMissing);
    QVERIFY(!m_tree.exists(u"nc-out.xls"_s));

    host.setConverter(m_tree.file(u"no-such-program"_s));
    QVERIFY(!host.Open(xls, &error));
    QCOMPARE(error.code, Code::ConverterMissing);
}

void WorkbookLegacyTest::tooManyRowsForXls()
{
    const QString xls = m_tree.file(u"big.xls"_s);
    const QString xlsx = m_tree.file(u"big-src.xlsx"_s);
    QVERIFY(writeSample(xlsx, u"赵六"_s));
    QVERIFY(legacyCopy(xlsx, xls));
    QFile f(xls);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();

    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(xls, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    book->Worksheets(1)->Cells(65537, 1).setValue(CellValue::number(1));
    QVERIFY(!book->Save(&error));
    QCOMPARE(error.code, Code::TooManyRows);
    QVERIFY(error.detail.contains(u"名单"_s));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
    f.close();

    // 65536 rows fit; so does an .xlsx of any size.
    book->Worksheets(1)->Cells(65537, 1).setValue(CellValue());
    book->Worksheets(1)->Cells(65536, 1).setValue(CellValue::number(1));
    QVERIFY2(book->Save(&error), qPrintable(error.toString()));
    book->Worksheets(1)->Cells(65537, 1).setValue(CellValue::number(1));
    QVERIFY(book->SaveAs(m_tree.file(u"big.xlsx"_s), &error));
}

void WorkbookLegacyTest::templateToXls()
{
    const QString xlsx = m_tree.file(u"tpl.xlsx"_s);
    QVERIFY(writeSample(xlsx, u"模板"_s));
    const QString xlt = m_tree.file(u"模板.xlt"_s);
    QProcess p;
    p.start(ExcelHost::findConverter(), {u"-T"_s, u"Gnumeric_Excel:excel_biff8"_s, xlsx, xlt});
    QVERIFY(p.waitForFinished(60000) && p.exitCode() == 0);

    ExcelHost host;
    WorkbookError error;
    for (int i = 1; i <= 2; ++i) {
        Workbook* book = host.Add(xlt, &error);
        QVERIFY2(book, qPrintable(error.toString()));
        QVERIFY(book->FullName().isEmpty());
        QVERIFY2(book->SaveAs(m_tree.file(u"Book%1.xls"_s.arg(i, 3, 10, QChar(u'0'))), &error),
                 qPrintable(error.toString()));
        QVERIFY(book->Close(true, &error));
    }
    Workbook* book = host.Open(m_tree.file(u"Book002.xls"_s), &error);
    QVERIFY2(book, qPrintable(error.toString()));
    QCOMPARE(book->Worksheets(1)->Cells(2, 1).Value(), CellValue::text(u"模板"_s));
}

void WorkbookLegacyTest::folderConvertsTwoAtATime()
{
    // A stand-in for ssconvert that logs when each conversion starts and ends.
    const QString folder = m_tree.mkdir(u"folder"_s);
    for (int i = 1; i <= 4; ++i) {
        const QString xlsx = m_tree.file(u"f%1.xlsx"_s.arg(i));
        QVERIFY(writeSample(xlsx, u"第%1个"_s.arg(i)));
        QVERIFY(legacyCopy(xlsx, folder + u"/book%1.xls"_s.arg(i)));
    }
    const QString log = m_tree.file(u"convert.log"_s);
    const QString wrapper = m_tree.write(
        u"ssconvert-logged"_s,
        (u"#!/bin/sh\necho start >> '%1'\nsleep 0.3\n'%2' \"$@\"\nstatus=$?\necho end >> '%1'\nexit $status\n"_s
             .arg(log, ExcelHost::findConverter()))
            .toUtf8());
    QFile::setPermissions(wrapper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    ExcelHost host;
    host.setConverter(wrapper);
    QString path = folder;
    const FolderScan scan = Read_xls(path, host);
    QCOMPARE(scan.status, FolderScan::Status::Ok);
    QVERIFY(!scan.anyFailed());
    QCOMPARE(scan.sheetEntries().size(), 8);
    QCOMPARE(scan.sheetEntries().first(), u"1|名单"_s);
    const QStringList events =
        QString::fromUtf8(m_tree.read(u"convert.log"_s)).split(u'\n', Qt::SkipEmptyParts);
    // Four conversions, each once (the scan opens the converted copies), two running together.
    QCOMPARE(events.count(u"start"_s), 4);
    QCOMPARE(events.mid(0, 2), QStringList({u"start"_s, u"start"_s}));
}

void WorkbookLegacyTest::webExports_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("sheet");
    QTest::newRow("HTML table")
        << QByteArray(
               "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"></head>"
               "<body><table><tr><td>姓名</td><td>电话</td></tr><tr><td>张三</td><td>138</td></tr></table></"
               "body></html>")
        << QString();
    QTest::newRow("Excel 2003 XML")
        << QByteArray(
               "<?xml version=\"1.0\"?>\n<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
               "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"><Worksheet ss:Name=\"表一\"><Table>"
               "<Row><Cell><Data ss:Type=\"String\">姓名</Data></Cell><Cell><Data "
               "ss:Type=\"String\">电话</Data></Cell></Row>"
               "<Row><Cell><Data ss:Type=\"String\">张三</Data></Cell><Cell><Data "
               "ss:Type=\"Number\">138</Data></Cell></Row>"
               "</Table></Worksheet></Workbook>")
        << u"表一"_s;
}

void WorkbookLegacyTest::webExports()
{
    // Web systems export tables under .xls names; they open, and save as real .xls.
    QFETCH(QByteArray, content);
    QFETCH(QString, sheet);
    const QString path = m_tree.write(u"导出-%1.xls"_s.arg(QTest::currentDataTag()), content);
    ExcelHost host;
    WorkbookError error;
    Workbook* book = host.Open(path, &error);
    QVERIFY2(book, qPrintable(error.toString()));
    Worksheet* ws = book->Worksheets(1);
    if (!sheet.isEmpty())
        QCOMPARE(ws->Name(), sheet);
    QCOMPARE(ws->Cells(2, 1).Text(), u"张三"_s);
    QCOMPARE(ws->Cells(2, 2).Text(), u"138"_s);
    QCOMPARE(ws->UsedRange().address(), u"A1:B2"_s);
    QVERIFY2(book->Save(&error), qPrintable(error.toString()));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(CompoundFile::hasSignature(f.readAll()));

    // Named anything else, text is not taken for a workbook.
    const QString other = m_tree.write(u"导出.xlsx"_s, content);
    QVERIFY(!host.Open(other, &error));
    QCOMPARE(error.code, Code::NotAWorkbook);
}

QTEST_GUILESS_MAIN(WorkbookLegacyTest)
#include "tst_workbook_legacy.moc"
