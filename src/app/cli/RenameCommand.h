#pragma once

#include "app/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

namespace App::Cli {

// The file commands of the command-line tool, over the same core as the window
// (`args` are the words after the program name, the command first):
//
//   list    FOLDER [--filter PATTERNS] [--json]
//       one line per listed file: FileId, OldName, type, size, attributes and
//       the three times, tab-separated
//   preview FOLDER METHOD [--filter PATTERNS] [--json]
//       one line per file: old name, tab, new name
//   rename  FOLDER METHOD [--filter PATTERNS] [--yes] [--undo-dir DIR] [--json]
//       one line per file: old name, new name, "操作成功"/"操作失败"; then
//       "undo: " and the record's path (not for --attributes); without --yes
//       the folder and every row "old → new" go to standard error before the
//       question, and the record is named at the command, not at the answer
//   undo    RECORD [--undo-dir DIR] [--yes] [--json]
//       RECORD is a path (relative to the working folder) or, when no such
//       file exists, the bare name of a record in the undo folder (the
//       program's undofile, or DIR); without --yes the record and its entries
//       "after → before" go to standard error before the question
//   undo    --list [--undo-dir DIR] [--json]
//       one line per record of the undo folder, newest first: file name, tab,
//       number of entries
//
// METHOD is one of the main window's tabs (see CommandLine::usage()).
// `--keep-name` takes before|after for both methods that keep the old name
// (front|back are accepted as the same). Messages of the rules go to standard
// error. Exit status: 0 every row succeeded, 1 some rows failed, 2 usage error
// or unreadable input (nothing changed).
bool isRenameCommand(const QString& command);

// The METHOD options for other command families that parse with
// QCommandLineParser, read exactly as preview and rename read them.
QList<QCommandLineOption> methodCommandLineOptions();
CommandLine::MethodChoice methodFromParser(const QCommandLineParser& parser);
int runRenameCommand(const QStringList& args, const CommandLine::Environment& env);

} // namespace App::Cli
