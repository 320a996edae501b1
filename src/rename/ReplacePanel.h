#pragma once

#include "MethodPanel.h"

#include <array>

class QLabel;
class QLineEdit;

namespace Rename {

// FraSS(3), "替换字符": replace every occurrence of a text in the base name.
class ReplacePanel : public MethodPanel
{
    Q_OBJECT

public:
    explicit ReplacePanel(QWidget* parent = nullptr);

    void readOptions(RenameOptions& options) const override;
    // The focus goes into the box of the text to find.
    void tabSelected() override;

private:
    std::array<QLabel*, 3> Label1;
    QLineEdit* TxtFind;
    QLineEdit* TxtRep;
};

} // namespace Rename
