#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

class QTextStream;

namespace App::Cli {

// One subcommand's options over QCommandLineParser, with the tool's own
// conventions: `--opt=V` and `--opt V` both work, `-h`/`--help` shows this
// command's options, and a parse error names the option in Chinese.
class CommandParser
{
public:
    // `synopsis`: the usage line after "tarnwick-cli", e.g. "undo RECORD [--yes] [--json]".
    CommandParser(const QString& command, const QString& synopsis);

    // An option that takes a value when `valueName` is not empty.
    void add(const QString& name, const QString& description, const QString& valueName = {});

    // Parses `args` (the command's words, the command itself first). False with
    // error() set when an option is unknown or lacks its value.
    bool parse(const QStringList& args);
    QString error() const { return m_error; }
    bool helpRequested() const { return m_parser.isSet(QStringLiteral("help")); }
    // The option names that were not recognised, without dashes.
    QStringList unknownOptions() const { return m_parser.unknownOptionNames(); }

    // False for a name this command does not define.
    bool isSet(const QString& name) const { return m_names.contains(name) && m_parser.isSet(name); }
    // The last value given for `name` (a later one overrides an earlier one).
    QString value(const QString& name) const;
    QStringList positional() const { return m_parser.positionalArguments(); }

    // "用法：tarnwick-cli <synopsis>" and one line per option.
    QString helpText() const;
    // Writes "tarnwick-cli <command>: message" and where to find the usage; returns 2.
    int usageError(QTextStream& err, const QString& message) const;

private:
    QString m_command;
    QString m_synopsis;
    QCommandLineParser m_parser;
    QList<QCommandLineOption> m_options;
    QStringList m_names;
    QString m_error;
};

} // namespace App::Cli
