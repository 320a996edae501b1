#include "UpDownButtons.h"

#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace Rename {

namespace {

QToolButton* arrowButton(QWidget* parent, const QString& name, Qt::ArrowType arrow)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

UpDownButtons::UpDownButtons(QWidget* parent)
    : QWidget(parent), m_up(arrowButton(this, u"up"_s, Qt::UpArrow)),
      m_down(arrowButton(this, u"down"_s, Qt::DownArrow))
{
    connect(m_up, &QToolButton::clicked, this, &UpDownButtons::upClicked);
    connect(m_down, &QToolButton::clicked, this, &UpDownButtons::downClicked);
}

void UpDownButtons::resizeEvent(QResizeEvent*)
{
    // The buttons follow the control's size, so they scale with the window.
    const int upper = height() / 2;
    m_up->setGeometry(0, 0, width(), upper);
    m_down->setGeometry(0, upper, width(), height() - upper);
}

} // namespace Rename
