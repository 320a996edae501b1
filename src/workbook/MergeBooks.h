#pragma once

#include "WorkbookError.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace Xl {

class ExcelHost;

// The options of "合并工作簿", as the tab's controls hold them after a folder
// was read.
struct MergeBooksOptions
{
    QString CurrentFolder;    // the folder read, ending with "/"
    QStringList books;        // the workbook names of the last read (CboGoal's entries)
    QList<int> intSheetCount; // worksheets of each at that read; a book not counted is counted when opened
    int hbOption = 0;         // 0: worksheets into one workbook; 1: data into one worksheet
    int IntCboBook = 0;       // 0: every worksheet; k: worksheet k (1..20)
    bool ChkBT = true;        // only one title row (data)
    bool ChkFolder = false;   // back the folder up first
    int intCboGoal = 0;       // 0: one of the books is the target; 1: a new workbook
    int goalIndex = -1;       // the target among `books` (CboGoal's selected entry)
    QString strGoalFN;        // a new target's path; "" stops the run without a word
    bool replaceGoal = false; // the user agreed to replace a file at strGoalFN
    int IntOptName = 1;       // copy names: 0 the sheet's, 1 book_sheet, 2 the book's
    int IntOptBlank = 0;      // 0: delete the target's blank worksheets afterwards
};

struct MergeBooksMessage
{
    QString text;       // "\r\n" inside
    bool error = false; // an error box; an information box otherwise
};

// What one listed workbook gave.
struct MergeBooksSource
{
    QString name;
    enum class Outcome
    {
        Merged,
        Target,      // the target itself, not read as a source
        Unreadable,  // could not be opened
        TooFewSheets // has no worksheet k
    };
    Outcome outcome = Outcome::Merged;
    int sheets = 0;  // worksheets copied
    qint64 rows = 0; // rows pasted
};

struct MergeBooksResult
{
    enum class Status
    {
        Done,    // merged and saved (some sources may have been skipped: see `sources`)
        Stopped, // a new target without a name: nothing merged, nothing said
        Refused, // nothing was changed: see the messages
        Failed   // the target could not be read or written; it is as it was
    };
    Status status = Status::Refused;
    // The run got past its checks (the merge button is then disabled until the
    // folder is read again).
    bool started = false;
    QList<MergeBooksMessage> messages; // the message boxes, in order
    QString Lblbook;                   // the progress label's closing text
    QString target;                    // the target's path
    QString backupFolder;              // the folder backup made, "" when none
    QList<MergeBooksSource> sources;
    int blankDeleted = 0; // blank worksheets removed from the target
    WorkbookError error;

    bool anySkipped() const;
};

// Progress: `value` sources of `maximum` are done; `label` is the text for the
// progress label ("" leaves it as it is).
using MergeBooksProgress = std::function<void(int value, int maximum, const QString& label)>;

// Merges the listed workbooks of a folder into one: their worksheets copied
// after the target's last sheet, or the data of worksheet k of each stacked
// into one worksheet. The target is built in memory and written once, at the
// end, atomically and in the format of its name (a failure or an interruption
// leaves it as it was); sources are never written. A folder backup, when asked
// for, is complete before the target is written. A new target never replaces a
// file unless `replaceGoal` is set.
//
// Data: the block of a source runs from A1 to the rows and columns Ctrl+Down
// and Ctrl+Right reach from A1, without the empty tail a move to the sheet's
// edge adds; it is pasted one row below the last row of the target worksheet
// that holds a value. A merge that would place a value below the format's last
// row is refused before anything is written.
MergeBooksResult mergeWorkbooks(ExcelHost& host, const MergeBooksOptions& options,
                                const MergeBooksProgress& progress = {});

// A new target's path from the input box's answer: the folder, the answer and
// ".xls" (also after an answer that ends with it).
QString newGoalPath(const QString& currentFolder, const QString& answer);

// The folder backup of `currentFolder`: "_" + its name, inside it ("/d/sales/"
// gives "/d/sales/_sales"); "" for the file-system root, which has no name.
QString folderBackupPath(const QString& currentFolder);

// The name a copied worksheet gets: the sheet's (0), the book's base name, "_"
// and the sheet's (1), or the book's base name (2).
QString copySheetName(const QString& bookName, const QString& sheetName, int IntOptName);

// The last row a workbook of the format of `path` holds: 65,536 for .xls and
// .xlt, 1,048,576 otherwise.
int formatRowLimit(const QString& path);

} // namespace Xl
