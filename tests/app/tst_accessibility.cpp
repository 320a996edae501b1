// Keyboard and screen-reader walk of the main window: Tab from the first control
// must reach every visible control that takes the focus by Tab, and each one
// must have a name a screen reader can read out.
#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "TempTree.h"
#include "app/MainWindow.h"
#include "platform/FixedClock.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QTabWidget>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace App;

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

// Presses Tab from the first focusable control until the focus comes back to it.
QList<QWidget*> tabWalk(QWidget* window, QString* problem)
{
    QWidget* first = nullptr;
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        if (takesTabFocus(w, window)) {
            first = w;
            break;
        }
    }
    if (!first) {
        *problem = u"no control takes the focus"_s;
        return {};
    }
    first->setFocus(Qt::TabFocusReason);
    QList<QWidget*> visited{QApplication::focusWidget()};
    for (int step = 0; step < 500; ++step) {
        QWidget* current = QApplication::focusWidget();
        QTest::keyClick(current, Qt::Key_Tab);
        QWidget* next = QApplication::focusWidget();
        if (next == visited.first())
            return visited;
        if (!next || visited.contains(next)) {
            *problem = u"Tab from "_s + describe(current) + u" goes to "_s +
                       (next ? describe(next) : u"nothing"_s) + u" and never back to the start"_s;
            return visited;
        }
        visited.append(next);
    }
    *problem = u"the focus chain does not close"_s;
    return visited;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mainWindowWalk_data();
    void mainWindowWalk();
};

void TestAccessibility::mainWindowWalk_data()
{
    QTest::addColumn<int>("tab");
    for (int tab = 0; tab < MainWindow::MethodCount; ++tab)
        QTest::addRow("tab %d", tab) << tab;
}

void TestAccessibility::mainWindowWalk()
{
    QFETCH(int, tab);
    TempTree app;
    TempTree data;
    TempTree folder;
    folder.write(u"a.txt"_s, "a");
    folder.write(u"张三.doc"_s, "b");
    ScriptedDialogs dialogs;
    RecordingShell shell;
    Platform::FixedClock clock{QDateTime(QDate(2013, 10, 17), QTime(9, 5, 30))};
    MainWindowServices services;
    services.paths = Platform::AppPaths(app.path(), data.file(u"user"_s));
    services.dialogs = &dialogs;
    services.shell = &shell;
    services.clock = &clock;
    services.executablePath = u"/usr/bin/tarnwick"_s;
    services.startFolder = folder.path();
    MainWindow w(services);
    QVERIFY(w.startUp());
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.selectTab(tab);
    QApplication::processEvents();

    QString problem;
    const QList<QWidget*> visited = tabWalk(&w, &problem);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));

    QStringList unnamed;
    for (QWidget* widget : visited) {
        if (accessibleName(widget).isEmpty())
            unnamed.append(describe(widget));
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(u"without an accessible name: "_s + unnamed.join(u", "_s)));

    QStringList skipped;
    for (QWidget* widget : w.findChildren<QWidget*>()) {
        if (!takesTabFocus(widget, &w) || visited.contains(widget))
            continue;
        const bool groupReached = std::any_of(visited.cbegin(), visited.cend(),
                                              [widget](QWidget* v) { return sameButtonGroup(v, widget); });
        if (!groupReached)
            skipped.append(describe(widget));
    }
    QVERIFY2(skipped.isEmpty(), qPrintable(u"not reached by Tab: "_s + skipped.join(u", "_s)));
    QVERIFY(visited.size() >= 3); // the tabs, the folder tree and the file list at least
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
