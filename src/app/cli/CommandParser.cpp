#include "CommandParser.h"

#include <QRegularExpression>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

namespace App::Cli {

namespace {

QString dashed(const QString& name)
{
    return (name.size() == 1 ? u"-"_s : u"--"_s) + name;
}

} // namespace

CommandParser::CommandParser(const QString& command, const QString& synopsis)
    : m_command(command), m_synopsis(synopsis)
{
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    QCommandLineOption help({u"h"_s, u"help"_s}, u"显示这个命令的选项"_s);
    m_parser.addOption(help);
    m_options.append(help);
    m_names.append(help.names());
}

void CommandParser::add(const QString& name, const QString& description, const QString& valueName)
{
    QCommandLineOption option(name, description, valueName);
    m_parser.addOption(option);
    m_options.append(option);
    m_names.append(name);
}

bool CommandParser::parse(const QStringList& args)
{
    if (m_parser.parse(args))
        return true;
    if (!m_parser.unknownOptionNames().isEmpty()) {
        m_error = u"未知的选项："_s + dashed(m_parser.unknownOptionNames().first());
        return false;
    }
    // The only other failure is an option given without its value.
    static const QRegularExpression missing(u"'([^']+)'"_s);
    const QRegularExpressionMatch match = missing.match(m_parser.errorText());
    m_error = match.hasMatch() ? match.captured(1) + u" 缺少取值"_s : m_parser.errorText();
    return false;
}

QString CommandParser::value(const QString& name) const
{
    const QStringList values = m_names.contains(name) ? m_parser.values(name) : QStringList();
    return values.isEmpty() ? QString() : values.last();
}

QString CommandParser::helpText() const
{
    QString text = u"用法：tarnwick-cli "_s + m_synopsis + u"\n\n选项：\n"_s;
    QList<QPair<QString, QString>> rows;
    qsizetype width = 0;
    for (const QCommandLineOption& option : m_options) {
        QStringList names;
        for (const QString& name : option.names())
            names.append(dashed(name));
        QString left = names.join(u", "_s);
        if (!option.valueName().isEmpty())
            left += u'=' + option.valueName();
        width = qMax(width, left.size());
        rows.append({left, option.description()});
    }
    for (const auto& [left, description] : rows)
        text += u"  "_s + left.leftJustified(width + 2) + description + u'\n';
    return text;
}

int CommandParser::usageError(QTextStream& err, const QString& message) const
{
    err << u"tarnwick-cli "_s << m_command << u": "_s << message << Qt::endl
        << u"运行 tarnwick-cli "_s << m_command << u" --help 查看用法。"_s << Qt::endl;
    return 2;
}

} // namespace App::Cli
