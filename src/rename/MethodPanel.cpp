#include "MethodPanel.h"

#include "RenameMethod.h"

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

} // namespace Rename
