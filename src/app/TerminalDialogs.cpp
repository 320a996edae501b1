#include "TerminalDialogs.h"

#include <QTextStream>

using namespace Qt::Literals::StringLiterals;
using namespace Platform;

namespace App {

namespace {

QString terminalText(QString text)
{
    return text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
}

} // namespace

TerminalDialogs::TerminalDialogs(QTextStream& messages, QTextStream& prompts, QTextStream* answers,
                                 bool assumeYes)
    : m_messages(messages), m_prompts(prompts), m_answers(answers), m_assumeYes(assumeYes)
{
}

MessageAnswer TerminalDialogs::message(const MessageRequest& request)
{
    if (request.buttons != MessageButtons::YesNo) {
        m_shown.append(request.text);
        m_messages << terminalText(request.text) << Qt::endl;
        return MessageAnswer::Ok;
    }
    // The window's default button is the answer to a bare Enter, as in the box.
    const bool yesByDefault = request.defaultAnswer == MessageAnswer::Yes;
    const QString choices = yesByDefault ? u" [Y/n] "_s : u" [y/N] "_s;
    if (m_assumeYes) {
        // Answered by --yes, the question is still shown: it says where the
        // command is about to act (an undo names every folder it renames in).
        m_prompts << terminalText(request.text) << choices << u"y (--yes)"_s << Qt::endl;
        return MessageAnswer::Yes;
    }
    if (!m_answers) {
        m_declined = true;
        return MessageAnswer::No;
    }
    m_prompts << terminalText(request.text) << choices << Qt::flush;
    const QString answer = m_answers->readLine().trimmed().toLower();
    const bool yes =
        answer.isEmpty() ? yesByDefault : answer == u"y"_s || answer == u"yes"_s || answer == u"是"_s;
    if (yes)
        return MessageAnswer::Yes;
    m_declined = true;
    return MessageAnswer::No;
}

QString TerminalDialogs::openFile(const FileDialogRequest&)
{
    return std::exchange(m_nextFile, QString());
}

QString TerminalDialogs::saveFile(const FileDialogRequest&)
{
    return std::exchange(m_nextFile, QString());
}

QString TerminalDialogs::chooseFolder(const QString&, const QString&)
{
    return {};
}

std::optional<QString> TerminalDialogs::inputText(const QString&, const QString&, const QString&)
{
    return std::nullopt;
}

} // namespace App
