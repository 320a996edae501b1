#pragma once

#include "WorkbookError.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace Xl {

class ExcelHost;

// The options of "创建多个工作簿", as the frame's boxes hold them.
struct CreateWorkbooksOptions
{
    QString TxtPath;                         // output folder
    QString Txtsheet = QStringLiteral("50"); // the count as typed
    QString TxtXLT;                          // template; "" for the default new workbook
};

// The count of a count text: its numeric value rounded to the nearest integer,
// halves to the even neighbour; 0 for an empty text. `isNumber` is false for a
// text that is not a number (then 0 is returned).
qint64 countValue(const QString& Txtsheet, bool* isNumber = nullptr);
// The width of the numbers: the count text's length plus one, at most 10.
int numberWidth(const QString& Txtsheet);
// "Book" + i zero-padded to `width` + ".xls"; a wider number is written in full.
QString bookName(qint64 i, int width);
// `TxtPath` trimmed; a folder that exists gets its trailing "/".
QString outputFolder(const QString& TxtPath);

// The checks made before anything is created, in the order the window makes
// them; the message to show ("" when the options pass). The question about the
// default template is the caller's, between these checks and the creation.
QString checkCreateOptions(const CreateWorkbooksOptions& options);

struct CreateWorkbooksResult
{
    bool started = false; // the checks passed and the template was read
    QStringList messages; // message boxes (a refusal)
    QString Lblbook;      // the closing text of the progress label
    QStringList created;  // paths written
    QStringList skipped;  // paths that existed already and were left alone
    QStringList failed;   // paths that could not be written
    WorkbookError error;
};

// Progress: workbook i of n, with its name.
using CreateProgress = std::function<void(qint64 i, qint64 n, const QString& name)>;
// "正在创建第i个工作簿：name"
QString creatingLabel(qint64 i, const QString& name);

// Creates the numbered workbooks Book01.xls... in the output folder from the
// template (or the default new workbook). The template is converted once and
// its bytes written to every name, each file atomically; a file that exists
// is never replaced but skipped and counted. A missing or unreadable template,
// a missing folder and a count outside 1..32767 are refused before anything is
// written.
CreateWorkbooksResult CreateWorkbooks(ExcelHost& host, const CreateWorkbooksOptions& options,
                                      const CreateProgress& progress = {});

} // namespace Xl
