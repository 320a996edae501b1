#pragma once

#include <QString>

#include <optional>

namespace Platform {

enum class MessageIcon
{
    None,
    Information,
    Warning,
    Critical,
    Question
};
enum class MessageButtons
{
    Ok,
    OkCancel,
    YesNo
};
enum class MessageAnswer
{
    Ok,
    Cancel,
    Yes,
    No
};

struct MessageRequest
{
    QString text;
    QString title; // empty: the application title
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer defaultAnswer = MessageAnswer::Ok;
};

struct FileDialogRequest
{
    QString title;
    // Filter in the program's own form, pairs of description and patterns joined
    // by "|": "文本文档(*.txt)|*.txt".
    QString filter;
    QString initialFolder;
    QString initialName;
};

// Every message box, question, input box and file or folder dialog the program
// shows goes through this interface, so that tests can answer them and read the
// exact texts they were asked.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    virtual MessageAnswer message(const MessageRequest& request) = 0;
    // The chosen path, or an empty text when the user cancels.
    virtual QString openFile(const FileDialogRequest& request) = 0;
    virtual QString saveFile(const FileDialogRequest& request) = 0;
    virtual QString chooseFolder(const QString& title, const QString& initialFolder) = 0;
    // The text entered, or nothing when the user cancels.
    virtual std::optional<QString> inputText(const QString& title, const QString& prompt,
                                             const QString& initial) = 0;

    // Shorthands for the common boxes.
    void inform(const QString& text, const QString& title = {});
    void warn(const QString& text, const QString& title = {});
    void error(const QString& text, const QString& title = {});
    void plain(const QString& text, const QString& title = {});
    // Yes/No, information icon, No as the default: the question asked before
    // renaming, undoing or copying.
    bool confirm(const QString& text, const QString& title = {});
};

} // namespace Platform
