#include "AttributePanel.h"

#include "AttributeMask.h"

#include <QCheckBox>

using namespace Qt::Literals::StringLiterals;

namespace Rename {

AttributePanel::AttributePanel(QWidget* parent) : MethodPanel(8, parent)
{
    const std::array<QString, 4> captions{u"常规"_s, u"只读"_s, u"隐藏"_s, u"存档"_s};
    const RenameOptions::Attributes design;
    for (int i = 0; i < 4; ++i) {
        ChkSX[i] = new QCheckBox(captions[i], this);
        ChkSX[i]->setChecked(design.ChkSX[i]);
        connect(ChkSX[i], &QCheckBox::clicked, this, &AttributePanel::ChkSX_Click);
        place(ChkSX[i], u"ChkSX_%1"_s.arg(i), 4 + 64 * i, 56);
    }
}

void AttributePanel::readOptions(RenameOptions& options) const
{
    for (int i = 0; i < 4; ++i)
        options.attributes.ChkSX[i] = ChkSX[i]->isChecked();
}

void AttributePanel::ChkSX_Click()
{
    std::array<bool, 4> ticks{};
    for (int i = 0; i < 4; ++i)
        ticks[i] = ChkSX[i]->isChecked();
    m_attributeMask = AttributeMask(ticks);
    Q_EMIT previewEnabled();
}

} // namespace Rename
