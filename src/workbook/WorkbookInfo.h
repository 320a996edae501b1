#pragma once

#include "WorkbookError.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace Xl {

class ExcelHost;

// What a folder scan and the worksheet preview read from workbooks.

struct WorksheetSummary
{
    int index = 0; // position among the worksheets, 1-based
    QString name;
    // The used range (cells holding a value or a format; A1 for an empty sheet).
    int firstRow = 1, firstColumn = 1, rowCount = 1, columnCount = 1;
    // No cell of the used range holds a value or formula (CountA is 0).
    bool blank = true;
};

struct WorkbookSummary
{
    QString fileName; // the name in its folder
    QString path;
    int sheetCount = 0; // sheets of every kind
    QList<WorksheetSummary> worksheets;
    WorkbookError error; // set when the workbook could not be read

    bool ok() const { return error.ok(); }
    // The worksheet list entries of the folder scan for workbook `ordinal`:
    // "2|Sheet3(空白工作表)" for a blank sheet, "2|Sheet1" otherwise.
    QStringList sheetEntries(int ordinal) const;
    // The lines of a one-workbook sheet list: "Sheet3(空白工作表)", "Sheet1".
    QStringList sheetLines() const;
};

// Reads the worksheets of one workbook.
WorkbookSummary summarizeWorkbook(ExcelHost& host, const QString& path);

// The extensions a folder scan takes (lower case, with the dot): .xls, .xlsx
// and .xlsm; templates, binary workbooks and OpenDocument files are left out.
QStringList workbookExtensions();

struct FolderScan
{
    enum class Status
    {
        Ok,
        EmptyPath,
        NoWorkbooks,
        Unreadable
    };
    Status status = Status::Ok;
    QString folder;                   // ends with "/"
    QList<WorkbookSummary> workbooks; // in listing order; failed ones carry their error

    // The message of a scan that found nothing to read ("" for Ok).
    QString message() const;
    // Every worksheet entry of every workbook, in scan order (LstName_Nosee).
    QStringList sheetEntries() const;
    // Worksheet count of each workbook, 0 for one that failed (intSheetCount).
    QList<int> sheetCounts() const;
    // The workbooks' file names (CboGoal).
    QStringList fileNames() const;
    int worksheetTotal() const;
    bool anyFailed() const;
};

// Progress of a scan: workbook i (1-based) of n is being read.
using ScanProgress = std::function<void(int i, int n, const QString& fileName)>;

// The workbooks of `strPath` as the folder scan takes them (a missing trailing
// "/" is added to the caller's text), in name order, without reading them:
// each summary holds only its file name and path.
FolderScan listWorkbookFolder(QString& strPath);

// Converts the legacy workbooks among `paths` (found by their first bytes)
// ahead of opening them, two at a time.
void convertLegacyAhead(ExcelHost& host, const QStringList& paths);

// The folder scan: lists the workbooks of `strPath` (a missing trailing "/"
// is added to the caller's text) in name order, converts legacy ones two at a
// time, and reads each; a workbook that fails is recorded and the scan goes on.
FolderScan Read_xls(QString& strPath, ExcelHost& host, const ScanProgress& progress = {});

// Texts of the progress label.
QString readingLabel(int i, const QString& fileName); // "    正在读取第i个工作簿:name"
QString readDoneLabel(int n);                         // "    n个工作簿读取完毕！"

// One record per worksheet of a workbook, as the worksheet chooser keeps them.
struct SheetInfo
{
    qint32 index = 0;       // position (1-based)
    qint32 rowCount = 0;    // rows of the used range
    qint32 columnCount = 0; // columns of the used range
    qint16 sheetCount = 0;  // the workbook's sheet count (every kind)
    QString sheetName;
    QString fileName; // the path after its last "/"
    QString folder;   // the path up to and including its last "/"
    QString fullPath; // the path as chosen
};
QList<SheetInfo> readSheetInfo(ExcelHost& host, const QString& path, WorkbookError* error = nullptr);

// The preview of a worksheet: a "行数" column then one per sheet column, and
// for each row "行r" followed by the cells' values as text. It covers rows 1 to
// the used range's last row and columns 1 to its last column, so that row
// labels are the sheet's own row numbers.
struct SheetPreview
{
    QString sheetName;
    int rowCount = 0; // rows of the used range (for "数据共…行")
    QStringList columns;
    QList<QStringList> rows;
};
bool previewWorksheet(ExcelHost& host, const QString& path, int worksheetIndex, SheetPreview* preview,
                      WorkbookError* error = nullptr);

} // namespace Xl
