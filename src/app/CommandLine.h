#pragma once

#include "platform/AppPaths.h"

#include <QStringList>

class QTextStream;

namespace Platform {
class Clock;
}

namespace App {

struct ParsedOptions;

// The command-line tool `tarnwick-cli` over the same core as the window:
//   list    FOLDER [--filter PATTERNS] [--json]
//   preview FOLDER METHOD [--filter PATTERNS] [--json]
//   rename  FOLDER METHOD [--filter PATTERNS] [--yes] [--undo-dir DIR] [--json]
//   undo    RECORD [--yes] [--json]
//   workbook info | cells | merge-sheets | delete-blank | create ... (cli/WorkbookCommands.h)
//   contacts read|vcf|excel ... (see cli/ContactsCommand.h)
//   --help | --version
// Exit status: 0 when every row succeeded, 1 when the command ran but some rows
// failed, 2 for a usage error or unreadable input (nothing changed).
class CommandLine
{
public:
    struct Environment
    {
        QTextStream* out = nullptr;
        QTextStream* err = nullptr;
        // Answers to questions; null when standard input is not a terminal.
        QTextStream* terminal = nullptr;
        Platform::AppPaths paths;
        const Platform::Clock* clock = nullptr;
    };

    explicit CommandLine(Environment environment);
    int run(const QStringList& arguments);

    static QString usage();

private:
    int readFolder(const QStringList& args, bool methodAllowed, bool execute, ParsedOptions& parsed,
                   QString& folder, QStringList& names);
    int list(const QStringList& args);
    int preview(const QStringList& args, bool execute);
    int undo(const QStringList& args);
    int usageError(const QString& message);

    Environment m_env;
};

} // namespace App
