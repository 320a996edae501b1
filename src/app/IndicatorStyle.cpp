#include "IndicatorStyle.h"

#include <QApplication>

#include <cmath>

namespace App {

IndicatorStyle::IndicatorStyle(QObject* parent)
    : QProxyStyle(QApplication::style() ? QApplication::style()->name() : QString())
{
    setParent(parent);
}

int IndicatorStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    const int base = QProxyStyle::pixelMetric(metric, option, widget);
    switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing:
        return int(std::lround(base * m_factor));
    default:
        return base;
    }
}

} // namespace App
