#include "app/ApplicationSetup.h"
#include "platform/QtDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

// What the program sets up before its first window: Qt's own texts in Chinese
// and titles that are exactly the program's own.
class TestApplication : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_translated = App::setUpApplication(*qApp);
        QCOMPARE(QCoreApplication::applicationName(), u"tarnwick"_s);
        // A display name set on its own would be appended to every title
        // (" — Tarnwick"); one never set follows the application name.
        QCoreApplication::setApplicationName(u"probe"_s);
        QCOMPARE(QGuiApplication::applicationDisplayName(), u"probe"_s);
        QCoreApplication::setApplicationName(u"tarnwick"_s);
    }

    void messageBoxButtonsAreChinese()
    {
        if (!m_translated)
            QSKIP("Qt's Chinese translations (qt6-translations-l10n) are not installed");
        QMessageBox box(QMessageBox::Information, u"标题"_s, u"是否重命名这些文件?"_s,
                        QMessageBox::Yes | QMessageBox::No);
        const QString yes = box.button(QMessageBox::Yes)->text();
        const QString no = box.button(QMessageBox::No)->text();
        QVERIFY2(yes.contains(u"是"_s), qPrintable(yes));
        QVERIFY2(no.contains(u"否"_s), qPrintable(no));
    }

    void fileDialogShowsEachFilterOnceInChinese()
    {
        Platform::FileDialogRequest request;
        request.filter = u"文本文档(*.txt)|*.txt|所有文件(*.*)|*.*"_s;
        const std::unique_ptr<QFileDialog> dialog(Platform::QtDialogs::fileDialog(nullptr, request, false));
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        auto* types = dialog->findChild<QComboBox*>(u"fileTypeCombo"_s);
        QVERIFY(types);
        QCOMPARE(types->count(), 2);
        QCOMPARE(types->itemText(0).trimmed(), u"文本文档(*.txt)"_s);
        QCOMPARE(types->itemText(1).trimmed(), u"所有文件(*.*)"_s);
        if (!m_translated)
            QSKIP("Qt's Chinese translations (qt6-translations-l10n) are not installed");
        // A dialog the program gives no title is titled by its kind, in Chinese.
        QVERIFY2(dialog->windowTitle() != u"Open"_s, qPrintable(dialog->windowTitle()));
        auto* lookIn = dialog->findChild<QLabel*>(u"lookInLabel"_s);
        QVERIFY(lookIn);
        QVERIFY2(!lookIn->text().contains(u"Look in"_s), qPrintable(lookIn->text()));
    }

private:
    bool m_translated = false;
};

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
