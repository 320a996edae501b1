#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QQueue>
#include <QStringList>

#include <functional>

// Answers every dialog from a script and records each request. A message box
// with no scripted answer gets its default button; a file dialog with no
// scripted answer is cancelled.
class ScriptedDialogs final : public Platform::Dialogs
{
public:
    Platform::MessageAnswer message(const Platform::MessageRequest& request) override;
    QString openFile(const Platform::FileDialogRequest& request) override;
    QString saveFile(const Platform::FileDialogRequest& request) override;
    QString chooseFolder(const QString& title, const QString& initialFolder) override;
    std::optional<QString> inputText(const QString& title, const QString& prompt,
                                     const QString& initial) override;

    QQueue<Platform::MessageAnswer> answers;
    QQueue<QString> files;   // answers of open and save dialogs ("" = cancel)
    QQueue<QString> folders; // answers of folder dialogs
    QQueue<std::optional<QString>> inputs;
    // Runs when a message box is shown, before it is answered (to change files meanwhile).
    std::function<void(const Platform::MessageRequest&)> onMessage;

    QList<Platform::MessageRequest> messages;
    QList<Platform::FileDialogRequest> fileRequests;

    QStringList texts() const;
    void clear();
};
