#include "DesignGeometry.h"

#include "IndicatorStyle.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QLayout>
#include <QRadioButton>

#include <cmath>

namespace App {

namespace {

bool isOwnControl(const QWidget* widget)
{
    const QString name = widget->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

} // namespace

void DesignGeometry::record(QWidget* root)
{
    m_entries.clear();
    if (!m_indicatorStyle)
        m_indicatorStyle = new IndicatorStyle(root);
    const QList<QWidget*> widgets = root->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        if (!isOwnControl(widget))
            continue;
        // Lists draw the check boxes of their rows with the same metrics.
        if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget) ||
            qobject_cast<QAbstractItemView*>(widget))
            widget->setStyle(m_indicatorStyle);
        const QWidget* parent = widget->parentWidget();
        Entry entry;
        entry.widget = widget;
        entry.rect = widget->geometry();
        entry.pointSize = widget->font().pointSizeF();
        entry.placed = !(parent && parent->layout() && parent->layout()->indexOf(widget) >= 0);
        m_entries.append(entry);
    }
}

void DesignGeometry::scale(double sx, double sy)
{
    const double fontFactor = std::min(sx, sy);
    if (m_indicatorStyle)
        m_indicatorStyle->setFactor(fontFactor);
    for (const Entry& entry : std::as_const(m_entries)) {
        QWidget* widget = entry.widget;
        if (!widget)
            continue;
        if (entry.placed) {
            const QRect& r = entry.rect;
            widget->setGeometry(int(std::lround(r.x() * sx)), int(std::lround(r.y() * sy)),
                                int(std::lround(r.width() * sx)), int(std::lround(r.height() * sy)));
        }
        if (entry.pointSize > 0) {
            QFont font = widget->font();
            font.setPointSizeF(std::max(1.0, entry.pointSize * fontFactor));
            widget->setFont(font);
        }
    }
}

double DesignGeometry::indicatorFactor() const
{
    return m_indicatorStyle ? m_indicatorStyle->factor() : 1.0;
}

const DesignGeometry::Entry* DesignGeometry::find(const QWidget* widget) const
{
    for (const Entry& entry : m_entries) {
        if (entry.widget == widget)
            return &entry;
    }
    return nullptr;
}

bool DesignGeometry::contains(const QWidget* widget) const
{
    return find(widget) != nullptr;
}

QRect DesignGeometry::designRect(const QWidget* widget) const
{
    const Entry* entry = find(widget);
    return entry ? entry->rect : QRect();
}

qreal DesignGeometry::designPointSize(const QWidget* widget) const
{
    const Entry* entry = find(widget);
    return entry ? entry->pointSize : 0;
}

} // namespace App
