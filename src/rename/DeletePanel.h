#pragma once

#include "MethodPanel.h"

#include <array>

class QLabel;
class QLineEdit;
class QRadioButton;

namespace Platform {
class Dialogs;
}

namespace Rename {

// FraSS(1), "删除字符": delete a number of characters from the start or the end.
class DeletePanel : public MethodPanel
{
    Q_OBJECT

public:
    DeletePanel(Platform::Dialogs& dialogs, QWidget* parent = nullptr);

    void readOptions(RenameOptions& options) const override;
    // The focus goes into the count box for the start when it is enabled.
    void tabSelected() override;

private:
    void OptDel_Click(int index);

    Platform::Dialogs& m_dialogs;
    std::array<QRadioButton*, 2> OptDel;
    std::array<QLineEdit*, 2> TxtNumDel;
    QLabel* LblDel;
};

} // namespace Rename
