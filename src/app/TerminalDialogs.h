#pragma once

#include "platform/Dialogs.h"

#include <QStringList>

class QTextStream;

namespace App {

// Dialogs of the command line: messages are written to a stream, questions are
// asked on the terminal and answered with y or n (or taken as Yes with --yes,
// and then still printed). A bare Enter gives the question's default answer,
// the window's default button: "[y/N]" for No, "[Y/n]" for Yes; any other
// answer but y, yes or 是 is No.
// Without a terminal and without --yes every question is answered No.
class TerminalDialogs final : public Platform::Dialogs
{
public:
    TerminalDialogs(QTextStream& messages, QTextStream& prompts, QTextStream* answers, bool assumeYes);

    Platform::MessageAnswer message(const Platform::MessageRequest& request) override;
    QString openFile(const Platform::FileDialogRequest& request) override;
    QString saveFile(const Platform::FileDialogRequest& request) override;
    QString chooseFolder(const QString& title, const QString& initialFolder) override;
    std::optional<QString> inputText(const QString& title, const QString& prompt,
                                     const QString& initial) override;

    // The path the next open-file dialog answers with (the command's argument).
    void setNextFile(const QString& path) { m_nextFile = path; }
    // The texts of the messages shown, in order (questions excepted).
    const QStringList& shown() const { return m_shown; }
    // Whether any question was answered No.
    bool declined() const { return m_declined; }

private:
    QTextStream& m_messages;
    QTextStream& m_prompts;
    QTextStream* m_answers;
    bool m_assumeYes;
    bool m_declined = false;
    QString m_nextFile;
    QStringList m_shown;
};

} // namespace App
