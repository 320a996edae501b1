#pragma once

#include "MethodPanel.h"

#include <array>

class QCheckBox;

namespace Rename {

// FraSS(8), "更改属性": the attribute value every listed file is given.
class AttributePanel : public MethodPanel
{
    Q_OBJECT

public:
    explicit AttributePanel(QWidget* parent = nullptr);

    void readOptions(RenameOptions& options) const override;

    // The value the execution applies, recomputed at every click on a box.
    int attributeMask() const { return m_attributeMask; }

private:
    void ChkSX_Click();

    std::array<QCheckBox*, 4> ChkSX;
    int m_attributeMask = 0;
};

} // namespace Rename
