#include "MethodPanel.h"

#include "RenameMethod.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace Rename {

MethodPanel::MethodPanel(int index, QWidget* parent) : QFrame(parent)
{
    setObjectName(u"FraSS_%1"_s.arg(index));
    setFrameShape(QFrame::NoFrame);
    setToolTip(methodToolTip(RenameMethod(index)));
    // The design font: the geometry below is measured for it, and the main
    // window scales it with the window.
    QFont designFont = font();
    designFont.setPointSize(9);
    setFont(designFont);
    resize(designWidth, designHeight);
}

void MethodPanel::orderTabsAsShown()
{
    QList<QWidget*> controls;
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if ((child->focusPolicy() & Qt::TabFocus) == Qt::TabFocus)
            controls.append(child);
    std::stable_sort(controls.begin(), controls.end(), [](const QWidget* a, const QWidget* b) {
        return a->x() != b->x() ? a->x() < b->x() : a->y() < b->y();
    });
    for (qsizetype i = 1; i < controls.size(); ++i)
        QWidget::setTabOrder(controls.at(i - 1), controls.at(i));
}

} // namespace Rename
