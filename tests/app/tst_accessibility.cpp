// Keyboard and screen-reader walk of the main window on each method tab: Tab
// from the first control must reach every visible control that takes the focus
// by Tab, and each one must have a name a screen reader can read out.
#include "FocusWalk.h"
#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "TempTree.h"
#include "app/MainWindow.h"
#include "platform/FixedClock.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace App;

namespace {

struct Fixture
{
    TempTree app;
    TempTree data;
    TempTree folder;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    Platform::FixedClock clock{QDateTime(QDate(2013, 10, 17), QTime(9, 5, 30))};
    std::unique_ptr<MainWindow> window;

    MainWindow& started()
    {
        folder.write(u"a.txt"_s, "a");
        folder.write(u"张三.doc"_s, "b");
        MainWindowServices services;
        services.paths = Platform::AppPaths(app.path(), data.file(u"user"_s));
        services.dialogs = &dialogs;
        services.shell = &shell;
        services.clock = &clock;
        services.executablePath = u"/usr/bin/tarnwick"_s;
        services.startFolder = folder.path();
        window = std::make_unique<MainWindow>(services);
        if (!window->startUp())
            qFatal("start-up refused");
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("window not active");
        return *window;
    }
};

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mainWindowWalk_data();
    void mainWindowWalk();
    void walkFindsFaults();
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
    Fixture f;
    MainWindow& w = f.started();
    w.selectTab(tab);
    QApplication::processEvents();
    const FocusWalk walk = walkFocusChain(&w);
    QVERIFY2(walk.problems.isEmpty(), qPrintable(walk.problems.join(u"; "_s)));
    QVERIFY(walk.visited.contains(w.findChild<QWidget*>(u"ExpTree1"_s)));
    QVERIFY(walk.visited.contains(w.findChild<QWidget*>(u"LstMain"_s)));
    if (tab == 9)
        return; // the workbook tab's own controls are tested with the tab

    // On a method panel Tab goes left to right, as the row reads, and each label
    // in front of a box is that box's buddy (a screen reader reads it out with
    // the box, and a mnemonic would move there).
    QWidget* panel = w.methodPanel(tab);
    QWidget* previous = nullptr;
    for (QWidget* visited : walk.visited) {
        if (!panel->isAncestorOf(visited))
            continue;
        if (previous)
            QVERIFY2(visited->mapTo(panel, QPoint()).x() > previous->mapTo(panel, QPoint()).x(),
                     qPrintable(u"Tab goes back from "_s + previous->objectName() + u" to "_s +
                                visited->objectName()));
        previous = visited;
    }
    QVERIFY(previous);
    const QList<QWidget*> row = panel->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QLabel* label : panel->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        QWidget* next = nullptr;
        for (QWidget* control : row)
            if (control->x() > label->x() && (!next || control->x() < next->x()))
                next = control;
        if (qobject_cast<QLineEdit*>(next) || qobject_cast<QComboBox*>(next))
            QVERIFY2(label->buddy() == next,
                     qPrintable(label->objectName() + u" is not the buddy of "_s + next->objectName()));
    }
}

void TestAccessibility::walkFindsFaults()
{
    // The walk itself: an unnamed box, and a box that keeps the focus so the
    // controls after it are never reached.
    Fixture f;
    MainWindow& w = f.started();
    auto* unnamed = new QLineEdit(w.clientArea());
    unnamed->setObjectName(u"Unnamed"_s);
    unnamed->show();
    FocusWalk walk = walkFocusChain(&w);
    QVERIFY2(walk.problems.contains(u"no accessible name: QLineEdit Unnamed"_s),
             qPrintable(walk.problems.join(u"; "_s)));
    unnamed->setAccessibleName(u"名称"_s);
    QVERIFY(walkFocusChain(&w).problems.isEmpty());

    auto* trap = new QPlainTextEdit(w.clientArea());
    trap->setObjectName(u"Trap"_s);
    trap->setAccessibleName(u"说明"_s);
    trap->show();
    QWidget::setTabOrder(w.findChild<QWidget*>(u"ExpTree1"_s), trap);
    walk = walkFocusChain(&w);
    QVERIFY(!walk.problems.isEmpty());
    QVERIFY2(walk.problems.first().startsWith(u"Tab from QPlainTextEdit Trap"_s),
             qPrintable(walk.problems.join(u"; "_s)));
    QVERIFY2(walk.problems.contains(u"not reached by Tab: QTreeView LstMain"_s),
             qPrintable(walk.problems.join(u"; "_s)));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
