#include "AffixPanel.h"

#include <QCheckBox>
#include <QLineEdit>

using namespace Qt::Literals::StringLiterals;

namespace Rename {

AffixPanel::AffixPanel(QWidget* parent) : MethodPanel(2, parent)
{
    const RenameOptions::PrefixSuffix design;
    for (int i = 0; i < 2; ++i) {
        ChkTJ[i] = new QCheckBox(i == 0 ? u"前缀"_s : u"后缀"_s, this);
        ChkTJ[i]->setChecked(design.ChkTJ[i]);
        connect(ChkTJ[i], &QCheckBox::clicked, this, [this, i] { ChkTJ_Click(i); });
        // Both boxes start disabled; selecting the tab enables the prefix box.
        TxtFB[i] = new QLineEdit(this);
        TxtFB[i]->setEnabled(false);
        TxtFB[i]->setAccessibleName(ChkTJ[i]->text());
    }
    ChkDelName =
        new QCheckBox(u"除去原文件名(不推荐使用，会引起文件重名，若要除去原文件名可使用自动编号）"_s, this);

    place(ChkTJ[0], u"ChkTJ_0"_s, 4, 50);
    place(TxtFB[0], u"TxtFB_0"_s, 54, 88);
    place(ChkTJ[1], u"ChkTJ_1"_s, 150, 50);
    place(TxtFB[1], u"TxtFB_1"_s, 200, 88);
    place(ChkDelName, u"ChkDelName"_s, 298, 474);
}

void AffixPanel::readOptions(RenameOptions& options) const
{
    RenameOptions::PrefixSuffix& o = options.prefixSuffix;
    for (int i = 0; i < 2; ++i) {
        o.ChkTJ[i] = ChkTJ[i]->isChecked();
        o.TxtFB[i] = TxtFB[i]->text();
    }
    o.ChkDelName = ChkDelName->isChecked();
}

void AffixPanel::tabSelected()
{
    TxtFB[0]->setEnabled(true);
    TxtFB[0]->setFocus();
}

void AffixPanel::ChkTJ_Click(int index)
{
    TxtFB[index]->setEnabled(ChkTJ[index]->isChecked());
    if (TxtFB[0]->isEnabled())
        TxtFB[0]->setFocus();
    else if (TxtFB[1]->isEnabled())
        TxtFB[1]->setFocus();
    Q_EMIT previewEnabled();
}

} // namespace Rename
