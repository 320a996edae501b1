#include "SplitPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using namespace Qt::Literals::StringLiterals;

namespace Rename {

SplitPanel::SplitPanel(QWidget* parent) : MethodPanel(5, parent)
{
    LblFG = new QLabel(u"选择或输入分割字符"_s, this);
    cboFG = new QComboBox(this);
    LblFG->setBuddy(cboFG);
    cboFG->setEditable(true);
    cboFG->setInsertPolicy(QComboBox::NoInsert);
    cboFG->addItems({u"-"_s, u"!"_s, u"@"_s, u"#"_s, u"$"_s, u"%"_s, u"&"_s});
    cboFG->setCurrentIndex(-1);
    cboFG->clearEditText();
    cboFG->installEventFilter(this);
    connect(cboFG, &QComboBox::activated, this,
            [this](int index) { SplitSeparator = cboFG->itemText(index); });
    connect(cboFG, &QComboBox::editTextChanged, this, &MethodPanel::previewEnabled);

    const std::array<QString, 3> modes{u"去除分割字符后部分"_s, u"去除分割字符前部分"_s,
                                       u"分割字符前后部分对换"_s};
    for (int i = 0; i < 3; ++i) {
        OptFG[i] = new QRadioButton(modes[i], this);
        connect(OptFG[i], &QRadioButton::clicked, this, [this, i] { OptFG_Click(i); });
    }
    OptFG[0]->setChecked(true);
    const RenameOptions::Split design;
    for (int i = 0; i < 2; ++i) {
        ChkFG[i] = new QCheckBox(i == 0 ? u"去掉分割符"_s : u"去掉空格"_s, this);
        ChkFG[i]->setChecked(design.ChkFG[i]);
        connect(ChkFG[i], &QCheckBox::clicked, this, &MethodPanel::previewEnabled);
    }

    place(LblFG, u"LblFG"_s, 4, 108);
    place(cboFG, u"cboFG"_s, 116, 56);
    place(OptFG[0], u"OptFG_0"_s, 178, 136);
    place(OptFG[1], u"OptFG_1"_s, 316, 136);
    place(OptFG[2], u"OptFG_2"_s, 454, 148);
    place(ChkFG[0], u"ChkFG_0"_s, 606, 88);
    place(ChkFG[1], u"ChkFG_1"_s, 696, 76);
}

SplitPanel::~SplitPanel()
{
    // The combo reports a last pick when it loses the focus while the window
    // goes away, after this panel's part of the object is already gone.
    disconnect(cboFG, nullptr, this, nullptr);
    cboFG->removeEventFilter(this);
}

void SplitPanel::readOptions(RenameOptions& options) const
{
    RenameOptions::Split& o = options.split;
    o.SplitSeparator = SplitSeparator;
    o.SplitMode = SplitMode;
    for (int i = 0; i < 2; ++i)
        o.ChkFG[i] = ChkFG[i]->isChecked();
}

bool SplitPanel::eventFilter(QObject* watched, QEvent* event)
{
    // The combo's own list taking the focus is no leaving of the combo.
    if (watched == cboFG && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        SplitSeparator = cboFG->currentText();
    return MethodPanel::eventFilter(watched, event);
}

void SplitPanel::OptFG_Click(int index)
{
    SplitMode = index;
    for (QCheckBox* box : ChkFG) {
        if (index == 2)
            box->setChecked(false);
        box->setEnabled(index != 2);
    }
    Q_EMIT previewEnabled();
}

} // namespace Rename
