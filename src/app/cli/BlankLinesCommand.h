#pragma once

#include "app/CommandLine.h"

namespace App {

// `tarnwick-cli blank-lines FILE-OR-FOLDER [--no-backup] [--json]`: the blank-line
// removal of the Tools menu. A file is cleaned as the single-file commands do
// (a read-only backup stays), a folder's .txt files as the all-files commands
// do. Asks nothing. Prints per file: path, tab, lines removed, tab, the backup
// kept (or nothing); a file not cleaned: path, tab, "操作失败", tab, why. Then
// the closing message. Exit 0 all cleaned, 1 some file skipped, 2 usage error
// or nothing to clean.
int runBlankLinesCommand(const QStringList& args, const CommandLine::Environment& env);

} // namespace App
