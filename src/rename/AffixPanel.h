#pragma once

#include "MethodPanel.h"

#include <array>

class QCheckBox;
class QLineEdit;

namespace Rename {

// FraSS(2), "添加前后缀": a prefix and a suffix around the base name, or in its place.
class AffixPanel : public MethodPanel
{
    Q_OBJECT

public:
    explicit AffixPanel(QWidget* parent = nullptr);

    void readOptions(RenameOptions& options) const override;
    // The prefix box is enabled and takes the focus, whatever its tick.
    void tabSelected() override;

private:
    void ChkTJ_Click(int index);

    std::array<QCheckBox*, 2> ChkTJ;
    std::array<QLineEdit*, 2> TxtFB;
    QCheckBox* ChkDelName;
};

} // namespace Rename
