#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// Workbooks for the tests: written with libxlsxwriter (an independent writer),
// or assembled byte by byte where a test needs a broken or hostile file.
namespace Fixtures {

// Builds an .xlsx with libxlsxwriter. Rows and columns are 1-based.
class XlsxBuilder
{
public:
    explicit XlsxBuilder(const QString& path);
    ~XlsxBuilder();
    lxw_workbook* workbook() const { return m_book; }
    lxw_worksheet* sheet(const QString& name);
    lxw_worksheet* current() const { return m_sheet; }
    void number(int row, int column, double value, lxw_format* format = nullptr);
    void text(int row, int column, const QString& value, lxw_format* format = nullptr);
    void boolean(int row, int column, bool value);
    void formula(int row, int column, const QString& formula, double cached);
    void formulaText(int row, int column, const QString& formula, const QString& cached);
    void blank(int row, int column, lxw_format* format);
    lxw_format* format();
    // Writes the file; false when libxlsxwriter fails.
    bool close();

private:
    lxw_workbook* m_book = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    QList<QByteArray> m_keep;
};

// A workbook with a chart, an image, a comment, data validation, conditional
// formatting, a frozen pane, an autofilter, defined names, a hyperlink and
// sheet protection on the sheet "数据", a blank sheet "空白" before it and a
// sheet "汇总" with a formula into "数据" and a table.
bool writeFidelityWorkbook(const QString& path);

// A 1×1 PNG image.
QByteArray pngBytes();

// A zip archive of the given entries (deflated).
QByteArray zipOf(const QList<QPair<QString, QByteArray>>& entries);
// A zip of `entries` entries that each inflate to `inflated` zero bytes but
// record `declared` as their size (the true size when -1).
QByteArray zeroBomb(int entries, qint64 inflated, qint64 declared = -1);
// A zip of one stored entry "[Content_Types].xml" whose central directory
// claims, through a ZIP64 extra field, `compressedClaim` compressed bytes and
// `method` (0 stored, 8 deflated) with the true inflated size.
QByteArray zip64SizeClaim(quint64 compressedClaim, int method = 0);
// A minimal package with one sheet whose XML is `head`, then `unit` repeated
// `count` times, then `tail`, deflated piece by piece so that neither the test
// nor the package ever holds the sheet whole.
QByteArray packageWithRepeatedSheet(const QByteArray& head, const QByteArray& unit, qint64 count,
                                    const QByteArray& tail);
// A minimal package with one sheet whose XML is `sheetXml`.
QByteArray packageWithSheet(const QByteArray& sheetXml, const QByteArray& workbookXml = {});
// One sheet of packageOf(): its name, its XML, its state ("" visible, "hidden",
// "veryHidden").
struct PackageSheet
{
    QString name;
    QByteArray xml;
    QString state;
};
// A package of worksheets, with `stylesXml` as its styles part (none when
// empty) and `workbookPr` (for example `<workbookPr date1904="1"/>`) in its
// workbook part; `workbookXml`, when given, is the whole workbook part instead
// (its sheets must name the relationships rId1, rId2, ...).
QByteArray packageOf(const QList<PackageSheet>& sheets, const QByteArray& stylesXml = {},
                     const QByteArray& workbookPr = {}, const QByteArray& workbookXml = {});
// A worksheet's XML around `sheetData` (the rows, without the element).
QByteArray sheetXml(const QByteArray& rows);

// A compound file holding the streams of a password-protected OOXML workbook.
QByteArray encryptedWorkbook();

// The inflated bytes of a part of a package file, and its part names.
QByteArray partOf(const QString& path, const QString& part);
QStringList partNames(const QString& path);

// Reads the workbook with ssconvert (to CSV); returns false when it fails and
// puts what it printed into `messages`.
bool gnumericReads(const QString& path, QString* messages);
// The distinct messages of a gnumeric run (one per kind, however often printed).
QSet<QString> messageKinds(const QString& messages);

} // namespace Fixtures
