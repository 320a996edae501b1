#pragma once

#include "app/CommandLine.h"

namespace App {

// `tarnwick-cli folders preview|run`: the folder rename tool on the command line.
//   folders preview FOLDER (METHOD | --folder-first | --folder-last) [--json]
//   folders run     FOLDER (METHOD | --folder-first | --folder-last) [--copy] [--yes]
//                   [--undo-dir DIR] [--json]
// FOLDER is the picked folder; METHOD (--number, --affix or --case, read as
// preview reads it) renames its sub-folders, --folder-first and --folder-last
// the files inside them. `args` starts with "folders". Exit status 0 all done,
// 1 some item skipped, 2 usage error, refusal or No (nothing changed).
int runFoldersCommand(const QStringList& args, const CommandLine::Environment& env);

} // namespace App
