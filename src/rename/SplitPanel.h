#pragma once

#include "MethodPanel.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;

namespace Rename {

// FraSS(5), "分割文件名": cut the base name at a separator. The separator in
// effect is taken from the combo when an item is picked from its list and when it
// loses the focus, so a separator being typed is not used until then.
class SplitPanel : public MethodPanel
{
    Q_OBJECT

public:
    explicit SplitPanel(QWidget* parent = nullptr);
    ~SplitPanel() override;

    void readOptions(RenameOptions& options) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OptFG_Click(int index);

    QLabel* LblFG;
    QComboBox* cboFG;
    std::array<QRadioButton*, 3> OptFG;
    std::array<QCheckBox*, 2> ChkFG;
    QString SplitSeparator;
    int SplitMode = 0;
};

} // namespace Rename
