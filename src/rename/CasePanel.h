#pragma once

#include "CaseConvert.h"
#include "MethodPanel.h"

#include <array>

class QButtonGroup;
class QCheckBox;
class QRadioButton;

namespace Rename {

// FraSS(7), "汉字转拼音": letter case of the base name, after an optional
// conversion of its Chinese characters to pinyin.
class CasePanel : public MethodPanel
{
    Q_OBJECT

public:
    explicit CasePanel(QWidget* parent = nullptr);

    void readOptions(RenameOptions& options) const override;
    // Takes PinyinStripSpaces from the tick of ChkKG and builds the pinyin table.
    void tabSelected() override;

    // The mode of the selected option.
    CaseMode caseMode() const;
    bool pinyinStripSpaces() const { return PinyinStripSpaces; }

private:
    void ChkPY_Click();
    void ChkKG_Click();

    std::array<QRadioButton*, 3> OptZH;
    QCheckBox* ChkPY;
    QCheckBox* ChkKG;
    bool PinyinStripSpaces = false;
};

} // namespace Rename
