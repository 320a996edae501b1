#pragma once

#include <QList>
#include <QStringList>

class QWidget;

// The keyboard and screen-reader walk every window must pass: Tab from the
// window's first focusable control until the focus comes back to it.
struct FocusWalk
{
    QList<QWidget*> visited; // in Tab order
    QStringList problems;    // empty when the walk passed
};

// Walks `window` (shown and active). Problems: Tab that does not come back to
// the start (a control that keeps the focus, a chain that does not close), a
// visited control without an accessible name, and a visible, enabled control
// that takes the focus by Tab but is never reached (a radio button counts as
// reached when a button of its group is).
FocusWalk walkFocusChain(QWidget* window);
