// The worksheet preview model: rows answered on demand from the stored cells,
// the title-row check box, and the "workbook cells" command built on it.

#include "Fixtures.h"
#include "TempTree.h"

#include "ExcelHost.h"
#include "SheetPreviewModel.h"
#include "WorkbookCommand.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using namespace Xl;

class PreviewModelTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void rowsAndColumns();
    void farCell();
    void titleRowCheck();
    void oneRow();

private:
    TempTree m_tree;
    QString m_book;
    QString m_far;
};

void PreviewModelTest::initTestCase()
{
    m_book = m_tree.file(u"book.xlsx"_s);
    {
        Fixtures::XlsxBuilder b(m_book);
        b.sheet(u"数据"_s);
        b.text(1, 1, u"标题"_s);
        b.text(2, 1, u"姓名"_s);
        b.text(2, 2, u"分数"_s);
        b.text(3, 1, u"张三"_s);
        b.number(3, 2, 95.5);
        b.number(5, 3, 7);
        b.sheet(u"一行"_s);
        b.text(1, 1, u"only"_s);
        QVERIFY(b.close());
    }
    m_far = m_tree.file(u"far.xlsx"_s);
    {
        Fixtures::XlsxBuilder b(m_far);
        b.sheet(u"远"_s);
        b.text(1048576, 16384, u"角落"_s);
        QVERIFY(b.close());
    }
}

void PreviewModelTest::rowsAndColumns()
{
    ExcelHost host;
    SheetPreviewModel model;
    QVERIFY(model.load(host, m_book, 1));
    // Viewing twice gives one set of columns.
    QVERIFY(model.load(host, m_book, 1));
    QCOMPARE(model.sheetName(), u"数据"_s);
    QCOMPARE(model.usedRowCount(), 5);
    QCOMPARE(model.rowCount(), 5);
    QCOMPARE(model.columnCount(), 4);
    QStringList headers;
    for (int c = 0; c < model.columnCount(); ++c)
        headers << model.headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headers, (QStringList{u"行数"_s, u"A"_s, u"B"_s, u"C"_s}));
    QCOMPARE(model.data(model.index(2, 0)).toString(), u"行3"_s);
    QCOMPARE(model.data(model.index(2, 1)).toString(), u"张三"_s);
    QCOMPARE(model.data(model.index(2, 2)).toString(), u"95.5"_s);
    QCOMPARE(model.data(model.index(3, 1)).toString(), QString());
    QCOMPARE(model.rowTexts(5), (QStringList{u"行5"_s, QString(), QString(), u"7"_s}));
    QCOMPARE(model.rowTexts(4), QStringList{u"行4"_s});
    QCOMPARE(model.storedCells(), 6);

    WorkbookError error;
    QVERIFY(!model.load(host, m_book, 3, &error));
    QCOMPARE(error.code, WorkbookError::Code::NoSuchSheet);
    QCOMPARE(model.rowCount(), 0);
}

void PreviewModelTest::farCell()
{
    ExcelHost host;
    SheetPreviewModel model;
    QVERIFY(model.load(host, m_far, 1));
    QCOMPARE(model.rowCount(), 1048576);
    QCOMPARE(model.columnCount(), 16385);
    QCOMPARE(model.storedCells(), 1); // one text kept, not 17 billion
    QCOMPARE(model.headerData(16384, Qt::Horizontal).toString(), u"XFD"_s);
    QCOMPARE(model.data(model.index(1048575, 16384)).toString(), u"角落"_s);
    QCOMPARE(model.data(model.index(1048575, 0)).toString(), u"行1048576"_s);
    QCOMPARE(model.data(model.index(500000, 9000)).toString(), QString());

    // The command streams the rows: each row up to its last stored cell.
    QString out, err;
    QTextStream o(&out), e(&err);
    QCOMPARE(runWorkbookCommand({u"cells"_s, m_far, u"--sheet"_s, u"1"_s}, o, e), 0);
    o.flush();
    QCOMPARE(out.count(u'\n'), 1048576);
    QVERIFY(out.startsWith(u"行1\n行2\n"_s));
    QVERIFY(out.endsWith(u"\t角落\n"_s));
    QCOMPARE(out.mid(out.lastIndexOf(u"行1048576"_s)).count(u'\t'), 16384);
}

void PreviewModelTest::titleRowCheck()
{
    ExcelHost host;
    SheetPreviewModel model;
    QVERIFY(model.load(host, m_book, 1));
    QCOMPARE(model.checkedRow(), 2); // the default title row
    QCOMPARE(model.data(model.index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QVERIFY(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsUserCheckable));
    QVERIFY(!model.flags(model.index(0, 1)).testFlag(Qt::ItemIsUserCheckable));
    // A checked row becomes the only checked row.
    QVERIFY(model.setData(model.index(3, 0), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(model.checkedRow(), 4);
    int checked = 0;
    for (int r = 0; r < model.rowCount(); ++r)
        checked += model.data(model.index(r, 0), Qt::CheckStateRole).toInt() == Qt::Checked ? 1 : 0;
    QCOMPARE(checked, 1);
    QVERIFY(model.setData(model.index(3, 0), Qt::Unchecked, Qt::CheckStateRole));
    QCOMPARE(model.checkedRow(), 0);
}

void PreviewModelTest::oneRow()
{
    ExcelHost host;
    SheetPreviewModel model;
    QVERIFY(model.load(host, m_book, 2));
    // No row 2 to check: the single row is shown.
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.checkedRow(), 0);
    QCOMPARE(model.data(model.index(0, 1)).toString(), u"only"_s);
}

QTEST_GUILESS_MAIN(PreviewModelTest)
#include "tst_workbook_preview.moc"
