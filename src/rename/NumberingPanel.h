#pragma once

#include "MethodPanel.h"

#include <array>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace Platform {
class Dialogs;
}

namespace Rename {

class UpDownButtons;

// FraSS(0), "自动编号": prefix, suffix, digit count, increment and start number
// with their arrows, and where the old base name is kept.
class NumberingPanel : public MethodPanel
{
    Q_OBJECT

public:
    NumberingPanel(Platform::Dialogs& dialogs, QWidget* parent = nullptr);

    void readOptions(RenameOptions& options) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ChkQH_Click(int index);
    void ChkBF_Click();
    void UpDown1_UpClick(int index);
    void UpDown1_DownClick(int index);
    // Adds `step` to the numeric value of TxtQH(index) and writes it back.
    void stepNumber(int index, int step);

    Platform::Dialogs& m_dialogs;
    std::array<QCheckBox*, 2> ChkQH;
    std::array<QLineEdit*, 5> TxtQH;
    std::array<QLabel*, 3> LblBH;
    std::array<UpDownButtons*, 3> UpDown1;
    QCheckBox* ChkBF;
    std::array<QRadioButton*, 2> OptBF;
    QButtonGroup* m_keepGroup;
};

} // namespace Rename
