#pragma once

#include "platform/AppPaths.h"
#include "rename/RenameMethod.h"
#include "rename/RenameOptions.h"

#include <QCommandLineOption>
#include <QStringList>

#include <optional>

class QCommandLineParser;
class QTextStream;

namespace Platform {
class Clock;
}

namespace App {

// The command-line tool `tarnwick-cli` over the same core as the window:
//   list    FOLDER [--filter PATTERNS] [--json]
//   preview FOLDER METHOD [--filter PATTERNS] [--json]
//   rename  FOLDER METHOD [--filter PATTERNS] [--yes] [--undo-dir DIR] [--json]
//   undo    RECORD [--undo-dir DIR] [--yes] [--json]
//   undo    --list [--undo-dir DIR] [--json]
//   workbook info | cells | merge-sheets | merge-books | delete-blank | create ... (cli/WorkbookCommands.h)
//   contacts read|vcf|excel ... (see cli/ContactsCommand.h)
//   folders preview|run FOLDER ... (cli/FoldersCommand.h)
//   blank-lines FILE-OR-FOLDER [--no-backup] [--json] (cli/BlankLinesCommand.h)
//   --help | --version
// Each command family parses its own options (src/app/cli/) and answers
// `tarnwick-cli <command> --help`.
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

    // The METHOD options of preview and rename (--number, --affix, --case, ...),
    // for other command families that parse with QCommandLineParser: declare
    // them with methodOptions(), then read the method the parser found with
    // methodFromParser(), which reads it exactly as preview and rename do.
    struct MethodChoice
    {
        std::optional<Rename::RenameMethod> method;
        Rename::RenameOptions options;
        QString error; // a usage error, empty when the options were good
    };
    static QList<QCommandLineOption> methodOptions();
    static MethodChoice methodFromParser(const QCommandLineParser& parser);

private:
    int usageError(const QString& message);

    Environment m_env;
};

} // namespace App
