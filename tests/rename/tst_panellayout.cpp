#include "PanelFixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::Literals::StringLiterals;

// Every control sits in the panel's one row, apart from the others, wide enough
// for its caption; each panel is also grabbed to a picture for a look by eye.
class TestPanelLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layout_data();
    void layout();
};

void TestPanelLayout::layout_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < Rename::RenamePanels::count; ++i)
        QTest::addRow("FraSS_%d", i) << i;
}

void TestPanelLayout::layout()
{
    QFETCH(int, index);
    PanelFixture f;
    Rename::MethodPanel* panel = f.shown(index);
    const QRect bounds = panel->rect();
    const QList<QWidget*> controls = panel->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    QVERIFY(!controls.isEmpty());
    for (QWidget* control : controls) {
        const QString name = control->objectName();
        QVERIFY2(!name.isEmpty(), control->metaObject()->className());
        QVERIFY2(bounds.contains(control->geometry()), qPrintable(name));
        for (QWidget* other : controls)
            QVERIFY2(other == control || !control->geometry().intersects(other->geometry()),
                     qPrintable(name + u" overlaps "_s + other->objectName()));
        // Captions are shown whole.
        if (qobject_cast<QAbstractButton*>(control) || qobject_cast<QLabel*>(control))
            QVERIFY2(control->sizeHint().width() <= control->width(),
                     qPrintable(u"%1 needs %2 px, has %3"_s.arg(name)
                                    .arg(control->sizeHint().width())
                                    .arg(control->width())));
        if (qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control))
            QVERIFY2(control->height() >= control->minimumSizeHint().height(), qPrintable(name));
    }
    const QString folder = QStringLiteral(TARNWICK_PANEL_PICTURES);
    QDir().mkpath(folder);
    QVERIFY(panel->grab().save(folder + u"/FraSS_%1.png"_s.arg(index)));
}

QTEST_MAIN(TestPanelLayout)
#include "tst_panellayout.moc"
