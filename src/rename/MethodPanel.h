#pragma once

#include "RenameOptions.h"

#include <QFrame>

namespace Rename {

// The frame of one method tab, FraSS(i): a single row of option controls placed
// in design pixels. The main window scales every control from the geometry it
// has at construction, so panels use no layouts.
class MethodPanel : public QFrame
{
    Q_OBJECT

public:
    static constexpr int designWidth = 775;
    static constexpr int designHeight = 36;

    // Copies the state of this panel's controls into its part of `options`.
    virtual void readOptions(RenameOptions& options) const = 0;
    // This panel's steps when its tab has been selected and the panel is shown.
    virtual void tabSelected() {}
    // Sets the Tab order of the row's controls to their order on screen, left
    // to right, whatever order they were made in.
    void orderTabsAsShown();

Q_SIGNALS:
    // The user changed an option that calls for a new preview ("预览新文件名").
    void previewEnabled();

protected:
    // The panel of tab `index`, with that tab's tooltip (methodToolTip()).
    MethodPanel(int index, QWidget* parent);

    // Places `widget` in the row at `x` with `width`, under `objectName`.
    template <typename W> W* place(W* widget, const QString& objectName, int x, int width)
    {
        widget->setObjectName(objectName);
        widget->setGeometry(x, rowTop, width, rowHeight);
        return widget;
    }

private:
    static constexpr int rowTop = 7;
    static constexpr int rowHeight = 22;
};

} // namespace Rename
