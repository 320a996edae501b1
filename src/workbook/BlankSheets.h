#pragma once

#include "WorkbookError.h"
#include "WorkbookInfo.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Xl {

class ExcelHost;
class Worksheet;

// A worksheet without data: no cell of its used range holds a value or a
// formula (formatting alone does not count, a formula returning "" does), and
// no chart, image or shape is placed on it, which would go with the sheet.
bool isBlankWorksheet(const Worksheet& sheet);

class Workbook;

// Deletes the blank worksheets of an open workbook, except the last visible
// sheet, which a workbook needs; returns how many were found (at most 255, the
// kept one included) in `found` and how many went.
int deleteBlankWorksheets(Workbook& book, quint8* found = nullptr);

// What Delete_BlankSheet did to one workbook.
struct BlankSheetResult
{
    QString path;
    bool exists = false; // something was at the path; nothing was done otherwise
    // Blank worksheets found (at most 255), the last visible one included: it
    // is counted but kept, as a workbook needs a visible sheet to open.
    quint8 count = 0;
    int deleted = 0;     // worksheets actually removed
    bool saved = false;  // the workbook was written (only when a sheet went)
    WorkbookError error; // set when the workbook could not be opened or saved
    bool ok() const { return error.ok(); }
};

// Removes the blank worksheets of the workbook at `path` and saves it in place,
// atomically, in its own format. Chart sheets are never touched. A failure
// (unreadable workbook, failed save) leaves the file as it was and is reported
// in the result's error.
BlankSheetResult Delete_BlankSheet(ExcelHost& host, const QString& path);

// "删除空白工作表": the message after one workbook, "" when none is shown.
QString blankSheetMessage(const BlankSheetResult& result);

// "删除所有空白工作表" over the workbooks of a folder.
struct BlankSheetFolderRun
{
    FolderScan scan;               // what the folder reader found (its message when not Ok)
    QStringList names;             // the workbook names tried, in order
    QList<BlankSheetResult> books; // one per name
    QStringList messages;          // the reader's message when it found nothing, then the closing one
    bool anyFailed() const;
    // The progress label's closing text: the workbooks that could not be
    // cleaned, or the reader's "    n个工作簿读取完毕！" ("" when it read nothing).
    QString Lblbook() const;
};

// Reads the folder with the folder reader; when it finds no workbook, the names
// of an earlier scan (`previousNames`, the workbook list of the tab) are tried
// as names in this folder, as the list still holds them. `folder` gets its
// trailing "/" as the reader adds it.
BlankSheetFolderRun deleteAllBlankSheets(ExcelHost& host, QString& folder,
                                         const QStringList& previousNames = {},
                                         const ScanProgress& progress = {});

} // namespace Xl
