#include "TempTree.h"
#include "platform/DesktopShell.h"
#include "platform/HelpViewer.h"
#include "platform/PropertyWindow.h"
#include "platform/QtDialogs.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTextBrowser>

using namespace Qt::Literals::StringLiterals;

class TestPlatformWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void propertyWindowDescribesTheFolder();
    void propertyWindowClosesWhileCounting();
    void helpViewerShowsTheDocument();
    void dialogFilters_data();
    void dialogFilters();
};

void TestPlatformWindows::propertyWindowDescribesTheFolder()
{
    TempTree tree;
    tree.write(u"照片/a.jpg"_s, QByteArray(1000, 'x'));
    tree.write(u"照片/sub/b.jpg"_s, QByteArray(24, 'x'));
    Platform::PropertyWindow window(tree.file(u"照片"_s));
    // The count runs beside the window and fills in when done.
    QTRY_VERIFY(window.countFinished());
    QStringList texts;
    QTRY_VERIFY([&] {
        texts.clear();
        for (QLabel* label : window.findChildren<QLabel*>())
            texts.append(label->text());
        return texts.contains(u"2 个文件，1 个文件夹"_s);
    }());
    QVERIFY2(texts.contains(tree.file(u"照片"_s)), qPrintable(texts.join(u" | "_s)));
    QVERIFY(texts.contains(u"2 个文件，1 个文件夹"_s));
    QVERIFY(std::any_of(texts.begin(), texts.end(), [](const QString& t) {
        return t.contains(u"1,024 字节"_s) || t.contains(u"1024 字节"_s);
    }));
    QVERIFY(window.windowTitle().contains(u"照片"_s));
}

// Closing the window stops a count still running; a folder that is gone shows nothing.
void TestPlatformWindows::propertyWindowClosesWhileCounting()
{
    TempTree tree;
    for (int i = 0; i < 50; ++i)
        for (int j = 0; j < 100; ++j)
            tree.write(u"big/%1/%2.txt"_s.arg(i).arg(j));
    {
        Platform::PropertyWindow window(tree.file(u"big"_s));
    }
    Platform::DesktopShell shell;
    QVERIFY(!shell.showProperties(tree.file(u"gone"_s), nullptr));
    QVERIFY(QApplication::topLevelWidgets().isEmpty() ||
            std::none_of(QApplication::topLevelWidgets().cbegin(), QApplication::topLevelWidgets().cend(),
                         [](QWidget* w) { return qobject_cast<Platform::PropertyWindow*>(w) != nullptr; }));
}

void TestPlatformWindows::helpViewerShowsTheDocument()
{
    TempTree tree;
    const QString path = tree.write(u"FileHelp.html"_s,
                                    "<html><body><h1>\xE5\xB8\xAE\xE5\x8A\xA9</h1><p>undo</p></body></html>");
    Platform::HelpViewer viewer;
    QVERIFY(viewer.openDocument(path));
    QVERIFY(viewer.browser()->toPlainText().contains(u"帮助"_s));
    Platform::HelpViewer missing;
    QVERIFY(!missing.openDocument(tree.file(u"nothing.html"_s)));
}

void TestPlatformWindows::dialogFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("qt");
    QTest::newRow("text") << u"文本文档(*.txt)|*.txt"_s << u"文本文档(*.txt) (*.txt)"_s;
    QTest::newRow("two") << u"Excel(*.xls;*.xlsx)|*.xls;*.xlsx|所有文件|*.*"_s
                         << u"Excel(*.xls;*.xlsx) (*.xls *.xlsx);;所有文件 (*.*)"_s;
    QTest::newRow("none") << QString() << QString();
}

void TestPlatformWindows::dialogFilters()
{
    QFETCH(QString, filter);
    QFETCH(QString, qt);
    QCOMPARE(Platform::QtDialogs::qtFilter(filter), qt);
}

QTEST_MAIN(TestPlatformWindows)
#include "tst_platformwindows.moc"
