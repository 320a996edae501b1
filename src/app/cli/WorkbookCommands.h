#pragma once

#include <QStringList>
#include <QTextStream>

namespace App {

// The "workbook" command family of the command-line tool. `args` start with
// "workbook". Besides "info" and "cells" (runWorkbookCommand):
//
//   workbook merge-sheets FILE [--into-new NAME | --into-sheet N] [--title-row N]
//                              [--no-single-title] [--backup] [--json]
//   workbook merge-books FOLDER (--into EXISTING | --new NAME) [--data] [--sheet K]
//                        [--names original|book_sheet|book] [--every-title] [--keep-blank]
//                        [--backup-folder] [--yes] [--json]
//   workbook delete-blank FILE-OR-FOLDER [--json]
//   workbook create FOLDER --count TEXT [--template FILE] [--json]
//
// Output: the texts the window shows (message boxes, then the progress label),
// one per line, a line break inside a message printed as a newline;
// delete-blank first prints "path<TAB>count" per workbook; merge-books's JSON
// rows say what each listed workbook gave. --json prints
// {"rows": [...], "messages": [...]}. Exit status: 0 all done, 1 something
// was skipped, 2 a usage error or a single file that cannot be read (nothing
// changed).
int runWorkbookCommands(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace App
