#include "FocusWalk.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <QWidget>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

bool takesTabFocus(QWidget* w, QWidget* window)
{
    return (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && !w->focusProxy() && w->isEnabled() &&
           w->isVisibleTo(window) && w->window() == window;
}

// The name a screen reader announces for `w`.
QString accessibleName(QWidget* w)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name).trimmed() : QString();
}

QString describe(QWidget* w)
{
    return QString::fromLatin1(w->metaObject()->className()) + u' ' +
           (w->objectName().isEmpty() ? u"(no object name)"_s : w->objectName());
}

// Auto-exclusive radio buttons are one Tab stop: the arrows move inside the group.
bool sameButtonGroup(QWidget* a, QWidget* b)
{
    auto* x = qobject_cast<QAbstractButton*>(a);
    auto* y = qobject_cast<QAbstractButton*>(b);
    return x && y && x->autoExclusive() && y->autoExclusive() && x->isCheckable() && y->isCheckable() &&
           x->parentWidget() == y->parentWidget();
}

} // namespace

FocusWalk walkFocusChain(QWidget* window)
{
    FocusWalk walk;
    QWidget* first = nullptr;
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        if (takesTabFocus(w, window)) {
            first = w;
            break;
        }
    }
    if (!first) {
        walk.problems.append(u"no control takes the focus"_s);
        return walk;
    }
    first->setFocus(Qt::TabFocusReason);
    walk.visited.append(QApplication::focusWidget());
    bool closed = false;
    for (int step = 0; step < 1000 && !closed; ++step) {
        QWidget* current = QApplication::focusWidget();
        QTest::keyClick(current, Qt::Key_Tab);
        QWidget* next = QApplication::focusWidget();
        if (next == walk.visited.first()) {
            closed = true;
        } else if (!next || walk.visited.contains(next)) {
            walk.problems.append(u"Tab from "_s + describe(current) + u" goes to "_s +
                                 (next ? describe(next) : u"nothing"_s) + u", never back to the start"_s);
            break;
        } else {
            walk.visited.append(next);
        }
    }
    if (!closed && walk.problems.isEmpty())
        walk.problems.append(u"the focus chain does not close"_s);

    for (QWidget* widget : std::as_const(walk.visited)) {
        if (accessibleName(widget).isEmpty())
            walk.problems.append(u"no accessible name: "_s + describe(widget));
    }
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!takesTabFocus(widget, window) || walk.visited.contains(widget))
            continue;
        const bool groupReached = std::any_of(walk.visited.cbegin(), walk.visited.cend(),
                                              [widget](QWidget* v) { return sameButtonGroup(v, widget); });
        if (!groupReached)
            walk.problems.append(u"not reached by Tab: "_s + describe(widget));
    }
    return walk;
}
