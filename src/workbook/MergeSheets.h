#pragma once

#include "WorkbookError.h"

#include <QString>
#include <QStringList>

namespace Xl {

class ExcelHost;

// The options of "合并工作表", as the tab's controls hold them.
struct MergeSheetsOptions
{
    QString TxtAdress;    // the workbook to merge (trimmed by the merge)
    QString openedPath;   // the workbook last opened with the open button; must be TxtAdress
    bool ChkBook = false; // back the workbook up first
    int intCboSheet = 0;  // 0: a new worksheet; n: into worksheet n; < 0: nothing chosen
    QString strTxtName = QStringLiteral("my sheet"); // name of the new worksheet
    int LngBth = 2;                                  // the title row of every worksheet
    bool ChkXX = true;                               // only one title row
};

struct MergeSheetsResult
{
    enum class Status
    {
        Done,    // merged and saved
        Refused, // nothing was changed: see the messages
        Failed   // the workbook could not be read or written; the file is unchanged
    };
    Status status = Status::Refused;
    // The texts of the message boxes, in order ("\r\n" inside a message).
    QStringList messages;
    QString backupPath;        // the backup written, "" when none
    QStringList skippedSheets; // worksheets whose rows could not be copied
    QString Lblbook;           // names the skipped worksheets; "" when none
    int merged = 0;            // worksheets whose rows were pasted
    WorkbookError error;
};

// Merges the rows of every worksheet of a workbook into a new worksheet added
// after the last one, or into one of its worksheets, then saves the workbook in
// place once, atomically (a failure leaves the file as it was).
//
// Each worksheet contributes a block: from its title row (or the row below it,
// when only one title row is kept and this is not the first worksheet of a new
// target) down to the last row of the run of filled cells in column 1 that
// starts below the title row (Ctrl+Down), over its used columns. A block is
// pasted, with values and formats, one row below the last row of the target
// that holds a value, so neither a gap in the target's column 1 nor a block
// with a single data row can make a block land on earlier rows or off the
// sheet. Rows past the sheet's last row are dropped.
MergeSheetsResult mergeWorksheets(ExcelHost& host, const MergeSheetsOptions& options);

// The backup name for `path`: "_" + its name beside it, or, when that exists,
// the first free of "_name (2).ext", "_name (3).ext", ...
QString freeBackupPath(const QString& path);

} // namespace Xl
