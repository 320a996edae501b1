#pragma once

#include <QList>
#include <QPointer>
#include <QRect>
#include <QWidget>

namespace App {

class IndicatorStyle;

// The design geometry record: once, every named control's position, size and
// font size; afterwards every control is scaled by the ratio of the current to
// the design client size. Controls that a layout places (toolbar buttons,
// status bar panels) keep their layout and only take the font.
class DesignGeometry
{
public:
    // Records the named controls under `root`. Its check boxes, radio buttons
    // and lists take a style whose indicators scale with the fonts.
    void record(QWidget* root);
    // Scales the recorded controls: geometry by sx and sy, fonts and the
    // indicators of check boxes and radio buttons by the smaller.
    void scale(double sx, double sy);
    // The factor the indicators are drawn at (1 until the first scale()).
    double indicatorFactor() const;
    bool contains(const QWidget* widget) const;
    QRect designRect(const QWidget* widget) const;
    qreal designPointSize(const QWidget* widget) const;

private:
    struct Entry
    {
        QPointer<QWidget> widget;
        QRect rect;
        qreal pointSize = 0;
        bool placed = true;
    };
    const Entry* find(const QWidget* widget) const;

    QList<Entry> m_entries;
    // Owned by the recorded root, so it outlives every control that uses it.
    QPointer<IndicatorStyle> m_indicatorStyle;
};

} // namespace App
