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
//       "undo: " and the record's path (not for --attributes)
//   undo    RECORD [--yes] [--json]
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
