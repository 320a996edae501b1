#pragma once

#include "Dialogs.h"

class QFileDialog;
class QWidget;

namespace Platform {

// The real dialogs: Qt message boxes, file and folder dialogs and input boxes,
// owned by the active window.
class QtDialogs final : public Dialogs
{
public:
    explicit QtDialogs(QString applicationTitle);

    MessageAnswer message(const MessageRequest& request) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    QString chooseFolder(const QString& title, const QString& initialFolder) override;
    std::optional<QString> inputText(const QString& title, const QString& prompt,
                                     const QString& initial) override;

    // "文本文档(*.txt)|*.txt" as Qt writes filters: "文本文档(*.txt) (*.txt)".
    static QString qtFilter(const QString& filter);

    // The file dialog openFile and saveFile show, not yet shown. The filter
    // shows its description alone ("文本文档(*.txt)"), since ours already name
    // their patterns; a dialog without a title is titled by its kind.
    static QFileDialog* fileDialog(QWidget* parent, const FileDialogRequest& request, bool save);

private:
    QString m_title;
};

} // namespace Platform
