#pragma once

#include "MethodPanel.h"

class QLabel;
class QLineEdit;

namespace Rename {

// FraSS(4), "修改扩展名": a new extension for every file. The box only ever holds
// an empty text or one that begins with ".": a character typed while it does not
// begin with "." becomes the dot, and any other text (pasted) is cleared.
class ExtensionPanel : public MethodPanel
{
    Q_OBJECT

public:
    explicit ExtensionPanel(QWidget* parent = nullptr);

    void readOptions(RenameOptions& options) const override;
    // The focus goes into the extension box.
    void tabSelected() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TxtExt_Change(const QString& text);

    QLabel* Label2;
    QLineEdit* TxtExt;
    QLabel* Label3;
};

} // namespace Rename
