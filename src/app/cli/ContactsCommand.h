#pragma once

#include <QStringList>

class QTextStream;

namespace Platform {
class AppPaths;
}

namespace App {

// The "contacts" commands of the command-line tool. `args` are the words after
// the program name, starting with "contacts":
//
//   contacts read  FILE [--sheet N] [--json]
//       the rows the converter's list would show: 编号 姓名 移动 家庭 工作 传真 其他,
//       tab-separated (a tab or line break inside a field printed as a space)
//   contacts vcf   TABLE [--sheet N] -o FILE.vcf [--json]
//       appends one vCard per row to FILE.vcf
//   contacts excel FILE [--sheet N] -o FILE.xls|FILE.xlsx [--yes] [--json]
//       writes a new workbook; an existing file is replaced only with --yes
//
// FILE is a vCard file (by its content or a name ending in .vcf), a workbook
// (.xls, .xlsx, .xlsm; --sheet is 1-based, default 1), a CSV or a tab-separated
// text. The name character table comes from the program's data (`paths`).
// --json prints {"rows": [...], "messages": [...]}. Exit status: 0 done, 1 some
// input was skipped or the output failed, 2 usage error or unreadable input
// (nothing changed).
int runContactsCommand(const QStringList& args, QTextStream& out, QTextStream& err,
                       const Platform::AppPaths& paths);

// The usage lines of the contacts commands.
QString contactsUsage();

} // namespace App
