#include "ScriptedDialogs.h"

using namespace Platform;

MessageAnswer ScriptedDialogs::message(const MessageRequest& request)
{
    messages.append(request);
    if (onMessage)
        onMessage(request);
    return answers.isEmpty() ? request.defaultAnswer : answers.dequeue();
}

QString ScriptedDialogs::openFile(const FileDialogRequest& request)
{
    fileRequests.append(request);
    return files.isEmpty() ? QString() : files.dequeue();
}

QString ScriptedDialogs::saveFile(const FileDialogRequest& request)
{
    fileRequests.append(request);
    return files.isEmpty() ? QString() : files.dequeue();
}

QString ScriptedDialogs::chooseFolder(const QString&, const QString&)
{
    return folders.isEmpty() ? QString() : folders.dequeue();
}

std::optional<QString> ScriptedDialogs::inputText(const QString&, const QString&, const QString&)
{
    return inputs.isEmpty() ? std::nullopt : inputs.dequeue();
}

QStringList ScriptedDialogs::texts() const
{
    QStringList list;
    for (const MessageRequest& request : messages)
        list.append(request.text);
    return list;
}

void ScriptedDialogs::clear()
{
    messages.clear();
    fileRequests.clear();
}
