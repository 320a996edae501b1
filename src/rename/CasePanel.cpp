#include "CasePanel.h"

#include "Pinyin.h"

#include <QCheckBox>
#include <QRadioButton>

using namespace Qt::Literals::StringLiterals;

namespace Rename {

CasePanel::CasePanel(QWidget* parent) : MethodPanel(7, parent)
{
    const std::array<QString, 3> captions{u"字母全部转换为大写"_s, u"字母全部转换为小写"_s,
                                          u"首字母转换为大写"_s};
    for (int i = 0; i < 3; ++i) {
        OptZH[i] = new QRadioButton(captions[i], this);
        connect(OptZH[i], &QRadioButton::clicked, this, &MethodPanel::previewEnabled);
    }
    OptZH[1]->setChecked(true);
    ChkPY = new QCheckBox(u"中文转换成拼音"_s, this);
    ChkKG = new QCheckBox(u"转换拼音时去空格"_s, this);
    ChkKG->setEnabled(false);
    connect(ChkPY, &QCheckBox::clicked, this, &CasePanel::ChkPY_Click);
    connect(ChkKG, &QCheckBox::clicked, this, &CasePanel::ChkKG_Click);

    place(OptZH[0], u"OptZH_0"_s, 4, 136);
    place(OptZH[1], u"OptZH_1"_s, 144, 136);
    place(OptZH[2], u"OptZH_2"_s, 284, 124);
    place(ChkPY, u"ChkPY"_s, 420, 112);
    place(ChkKG, u"ChkKG"_s, 536, 124);
}

void CasePanel::readOptions(RenameOptions& options) const
{
    RenameOptions::LetterCase& o = options.letterCase;
    o.OptZH = int(caseMode()) - 1;
    o.ChkPY = ChkPY->isChecked();
    o.PinyinStripSpaces = PinyinStripSpaces;
}

void CasePanel::tabSelected()
{
    PinyinStripSpaces = ChkKG->isChecked();
    LoadPinyinTable();
}

CaseMode CasePanel::caseMode() const
{
    for (int i = 0; i < 3; ++i)
        if (OptZH[i]->isChecked())
            return caseModeOfOption(i);
    return CaseMode::Lower;
}

void CasePanel::ChkPY_Click()
{
    // The tick of ChkKG is kept while it is disabled.
    ChkKG->setEnabled(ChkPY->isChecked());
    PinyinStripSpaces = ChkPY->isChecked() && ChkKG->isChecked();
    Q_EMIT previewEnabled();
}

void CasePanel::ChkKG_Click()
{
    PinyinStripSpaces = ChkKG->isChecked();
    Q_EMIT previewEnabled();
}

} // namespace Rename
