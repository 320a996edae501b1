#pragma once

#include <QStringList>
#include <QTextStream>

// The "workbook" commands of the command-line tool. `args` are the words after
// the program name, the leading "workbook" optional:
//
//   workbook info FILE-OR-FOLDER [--json]
//       one line per worksheet: file, index, name, rows×columns of the used
//       range, and "(空白工作表)" for a blank sheet (tab-separated)
//   workbook cells FILE --sheet N [--json]
//       the preview rows of worksheet N: "行r" then the cell texts up to the
//       row's last cell holding a value (rows are streamed; memory follows
//       the stored cells)
//
// Text output is UTF-8, tab-separated; tabs, line breaks and backslashes inside
// texts are written as \t, \n, \r and \\. Failures go to `err` as
// "file<TAB>message<TAB>detail". Exit status: 0 success, 1 some workbook could
// not be read, 2 usage error or unreadable input.
int runWorkbookCommand(const QStringList& args, QTextStream& out, QTextStream& err);
