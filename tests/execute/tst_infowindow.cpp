#include "execute/InfoWindow.h"

#include <QApplication>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using Execute::InfoWindow;

// The information window of the Help menu.
class TestInfoWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensOnTheGivenPage_data()
    {
        QTest::addColumn<InfoWindow::Page>("page");
        QTest::addColumn<QString>("caption");
        QTest::newRow("contact") << InfoWindow::Page::Contact << u"联系作者"_s;
        QTest::newRow("usage") << InfoWindow::Page::Usage << u"使用说明"_s;
    }

    void opensOnTheGivenPage()
    {
        QFETCH(InfoWindow::Page, page);
        QFETCH(QString, caption);
        QWidget owner;
        InfoWindow* shown = nullptr;
        InfoWindow::Page shownPage{};
        QString shownCaption;
        QTimer::singleShot(0, this, [&] {
            shown = qobject_cast<InfoWindow*>(QApplication::activeModalWidget());
            if (!shown)
                return;
            shownPage = shown->currentPage();
            shownCaption = shown->tabs()->tabText(shown->tabs()->currentIndex());
            shown->accept();
        });
        InfoWindow::showModal(page, &owner); // returns once closed
        QVERIFY(shown);
        QCOMPARE(shownPage, page);
        QCOMPARE(shownCaption, caption);
    }

    void contactPageNamesTheProject()
    {
        InfoWindow window(InfoWindow::Page::Contact);
        QCOMPARE(window.tabs()->count(), 2);
        QVERIFY(window.isModal());
        const QString html = window.contactText()->toHtml();
        QVERIFY(window.contactText()->toPlainText().contains(u"Tarnwick 项目"_s));
        QVERIFY(html.contains(u"href=\"https://tarnwick.example.org\""_s));
        QVERIFY(html.contains(u"href=\"https://tarnwick.example.org/issues\""_s));
        QVERIFY(window.contactText()->openExternalLinks());
    }

    void usagePageExplainsTheCycle()
    {
        InfoWindow window(InfoWindow::Page::Usage);
        const QString text = window.usageText()->toPlainText();
        for (const QString& step : {u"预览新文件名"_s, u"执行重命名"_s, u"撤消重命名"_s})
            QVERIFY2(text.contains(step), qPrintable(step));
    }
};

QTEST_MAIN(TestInfoWindow)
#include "tst_infowindow.moc"
