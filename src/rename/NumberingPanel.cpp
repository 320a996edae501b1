#include "NumberingPanel.h"

#include "DigitKeyFilter.h"
#include "NumberText.h"
#include "UpDownButtons.h"
#include "platform/Dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>

#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace Rename {

NumberingPanel::NumberingPanel(Platform::Dialogs& dialogs, QWidget* parent)
    : MethodPanel(0, parent), m_dialogs(dialogs)
{
    const RenameOptions::Numbering design;
    for (int i = 0; i < 5; ++i) {
        TxtQH[i] = new QLineEdit(design.TxtQH[i], this);
        TxtQH[i]->setToolTip(TxtQH[i]->text());
        TxtQH[i]->installEventFilter(this);
        connect(TxtQH[i], &QLineEdit::textChanged, TxtQH[i], &QLineEdit::setToolTip);
    }
    for (int i = 0; i < 2; ++i) {
        ChkQH[i] = new QCheckBox(i == 0 ? u"前缀"_s : u"后缀"_s, this);
        ChkQH[i]->setChecked(design.ChkQH[i]);
        // A screen reader names each box after the check box that switches it.
        TxtQH[i]->setAccessibleName(ChkQH[i]->text());
        TxtQH[i]->setEnabled(design.ChkQH[i]);
        connect(ChkQH[i], &QCheckBox::clicked, this, [this, i] { ChkQH_Click(i); });
    }
    const std::array<QString, 3> labels{u"起始编号"_s, u"编号位数"_s, u"编号增量"_s};
    for (int i = 0; i < 3; ++i)
        LblBH[i] = new QLabel(labels[i], this);
    // The number boxes name themselves in their refusal as their labels do.
    const std::array<QString, 3> boxNames{u"编号位数"_s, u"编号增量"_s, u"起始编号"_s};
    for (int j = 0; j < 3; ++j) {
        auto* filter = new DigitKeyFilter(
            [this, name = boxNames[j]] { m_dialogs.error(name + u"只能为数字！"_s, u"自动编号"_s); },
            TxtQH[j + 2]);
        TxtQH[j + 2]->installEventFilter(filter);
        LblBH[(j + 1) % 3]->setBuddy(TxtQH[j + 2]);
        UpDown1[j] = new UpDownButtons(this);
        connect(UpDown1[j], &UpDownButtons::upClicked, this, [this, j] { UpDown1_UpClick(j); });
        connect(UpDown1[j], &UpDownButtons::downClicked, this, [this, j] { UpDown1_DownClick(j); });
    }
    ChkBF = new QCheckBox(u"原文件名保留在"_s, this);
    connect(ChkBF, &QCheckBox::clicked, this, &NumberingPanel::ChkBF_Click);
    m_keepGroup = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        OptBF[i] = new QRadioButton(i == 0 ? u"前"_s : u"后"_s, this);
        OptBF[i]->setEnabled(false);
        m_keepGroup->addButton(OptBF[i], i);
    }

    place(ChkQH[0], u"ChkQH_0"_s, 4, 50);
    place(TxtQH[0], u"TxtQH_0"_s, 56, 64);
    place(ChkQH[1], u"ChkQH_1"_s, 126, 50);
    place(TxtQH[1], u"TxtQH_1"_s, 178, 50);
    place(LblBH[1], u"LblBH_1"_s, 238, 52);
    place(TxtQH[2], u"TxtQH_2"_s, 290, 32);
    place(UpDown1[0], u"UpDown1_0"_s, 322, 16);
    place(LblBH[2], u"LblBH_2"_s, 346, 52);
    place(TxtQH[3], u"TxtQH_3"_s, 398, 32);
    place(UpDown1[1], u"UpDown1_1"_s, 430, 16);
    place(LblBH[0], u"LblBH_0"_s, 454, 52);
    place(TxtQH[4], u"TxtQH_4"_s, 506, 52);
    place(UpDown1[2], u"UpDown1_2"_s, 558, 16);
    place(ChkBF, u"ChkBF"_s, 584, 112);
    place(OptBF[0], u"OptBF_0"_s, 698, 37);
    place(OptBF[1], u"OptBF_1"_s, 736, 37);
}

void NumberingPanel::readOptions(RenameOptions& options) const
{
    RenameOptions::Numbering& o = options.numbering;
    for (int i = 0; i < 2; ++i)
        o.ChkQH[i] = ChkQH[i]->isChecked();
    for (int i = 0; i < 5; ++i)
        o.TxtQH[i] = TxtQH[i]->text();
    o.ChkBF = ChkBF->isChecked();
    o.OptBF = m_keepGroup->checkedId();
}

bool NumberingPanel::eventFilter(QObject* watched, QEvent* event)
{
    // A click into a box selects its whole text, after the box has placed its cursor.
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (QLineEdit* box : TxtQH) {
            if (watched == box) {
                box->event(event);
                box->selectAll();
                return true;
            }
        }
    }
    return MethodPanel::eventFilter(watched, event);
}

void NumberingPanel::ChkQH_Click(int index)
{
    TxtQH[index]->setEnabled(ChkQH[index]->isChecked());
    if (TxtQH[0]->isEnabled())
        TxtQH[0]->setFocus();
    else if (TxtQH[1]->isEnabled())
        TxtQH[1]->setFocus();
    Q_EMIT previewEnabled();
}

void NumberingPanel::ChkBF_Click()
{
    const bool keep = ChkBF->isChecked();
    for (QRadioButton* option : OptBF)
        option->setEnabled(keep);
    if (!keep) {
        // An exclusive group cannot be emptied while it is exclusive.
        m_keepGroup->setExclusive(false);
        for (QRadioButton* option : OptBF)
            option->setChecked(false);
        m_keepGroup->setExclusive(true);
    }
}

void NumberingPanel::stepNumber(int index, int step)
{
    qint64 value = numericValue(TxtQH[index]->text());
    if (step > 0 ? value < std::numeric_limits<qint64>::max() : value > std::numeric_limits<qint64>::min())
        value += step;
    TxtQH[index]->setText(QString::number(value));
}

void NumberingPanel::UpDown1_UpClick(int index)
{
    stepNumber(index + 2, 1);
    // The digit count runs 1 to 7 and round again; the increment from 8 to -8.
    if (TxtQH[2]->text() == u"8")
        TxtQH[2]->setText(u"1"_s);
    if (TxtQH[3]->text() == u"9")
        TxtQH[3]->setText(u"-8"_s);
    Q_EMIT previewEnabled();
}

void NumberingPanel::UpDown1_DownClick(int index)
{
    stepNumber(index + 2, -1);
    if (TxtQH[2]->text() == u"0")
        TxtQH[2]->setText(u"1"_s);
    if (TxtQH[3]->text() == u"-9")
        TxtQH[3]->setText(u"8"_s);
    Q_EMIT previewEnabled();
}

} // namespace Rename
