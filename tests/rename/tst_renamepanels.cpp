#include "PanelFixture.h"

#include "platform/GbkText.h"
#include "rename/AttributePanel.h"
#include "rename/CasePanel.h"
#include "rename/FillNewName.h"
#include "rename/ReferencePanel.h"
#include "rename/UpDownButtons.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>

#include <functional>

using namespace Qt::Literals::StringLiterals;
using namespace Rename;

using Action = std::function<void(PanelFixture&)>;
Q_DECLARE_METATYPE(Action)

namespace {

// A click on a check box or option, as the user makes it.
void click(PanelFixture& f, int panel, const QString& name)
{
    auto* button = f.control<QAbstractButton>(panel, name);
    QVERIFY2(button, qPrintable(name));
    f.shown(panel);
    QTest::mouseClick(button, Qt::LeftButton);
}

void type(PanelFixture& f, int panel, const QString& name, const QString& text)
{
    QWidget* box = f.control<QWidget>(panel, name);
    QVERIFY2(box, qPrintable(name));
    f.shown(panel);
    box->setFocus();
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), {});
}

void arrow(PanelFixture& f, int j, bool up)
{
    auto* arrows = f.control<UpDownButtons>(0, u"UpDown1_%1"_s.arg(j));
    QVERIFY(arrows);
    f.shown(0);
    QTest::mouseClick(up ? arrows->upButton() : arrows->downButton(), Qt::LeftButton);
}

QString focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

} // namespace

class TestRenamePanels : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void panelsAreTheFrames();
    void designState_data();
    void designState();
    void designOptionsAreTheDefaults();

    void numberBoxesTakeOnlyDigits_data();
    void numberBoxesTakeOnlyDigits();
    void numberBoxRefusesInputMethodText();
    void deleteCountTakesOnlyDigits();
    void arrows_data();
    void arrows();
    void numberBoxClickSelectsAllAndTooltipShowsText();
    void prefixSuffixTicksEnableTheirBoxes();
    void keepNameUntickedDeselectsBoth();

    void deleteOptionsSwitchTheBoxes();
    void affixTabEnablesThePrefixBox();
    void tabSelectionFocus_data();
    void tabSelectionFocus();

    void extensionBoxRules_data();
    void extensionBoxRules();
    void extensionBoxPasteIsCleared();
    void extensionFromInputMethod();

    void separatorTakesEffectWhenCommitted();
    void swapModeUnticksAndDisablesChecks();

    void cancelledDocumentDialogSelectsDefault();
    void chosenDocumentIsUsed();
    void defaultDocumentIsCreatedOnFirstUse();
    void keepNameBoxesExcludeEachOther();

    void pinyinChecks();
    void caseModeSurvivesTabChanges();

    void attributeMaskFollowsTicks();

    void reEnablingList_data();
    void reEnablingList();

private:
    std::unique_ptr<PanelFixture> f;
};

void TestRenamePanels::init()
{
    f = std::make_unique<PanelFixture>();
}

void TestRenamePanels::cleanup()
{
    f.reset();
}

void TestRenamePanels::panelsAreTheFrames()
{
    const QStringList tips{u"去除原文件名，可按设定规则为文件自动编号"_s,
                           u"删除文件名前面或后面若干个字符"_s,
                           u"为文件名添加前缀或后缀"_s,
                           u"替换文件名中的某些字符"_s,
                           u"修改文件的扩展名"_s,
                           u"利用分割字符分割文件名"_s,
                           u"利用引用文档，将文件名命名为特定的文本"_s,
                           u"转换文件名中字母的大小写"_s,
                           u"更改文件的属性"_s};
    QCOMPARE(RenamePanels::count, 9);
    for (int i = 0; i < RenamePanels::count; ++i) {
        MethodPanel* panel = f->panels.panel(i);
        QVERIFY(panel);
        QCOMPARE(panel->objectName(), u"FraSS_%1"_s.arg(i));
        QCOMPARE(panel->toolTip(), tips[i]);
        QCOMPARE(panel->size(), QSize(775, 36));
        QVERIFY(!panel->layout());
    }
    QVERIFY(!f->panels.panel(9));
    QVERIFY(!f->panels.panel(-1));
}

void TestRenamePanels::designState_data()
{
    QTest::addColumn<int>("panel");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("checked"); // -1: not a check box or option
    QTest::addColumn<QString>("toolTip");

    const auto row = [](int panel, const QString& name, const QString& text, bool enabled, int checked,
                        const QString& tip = {}) {
        QTest::addRow("%d %s", panel, qPrintable(name)) << panel << name << text << enabled << checked << tip;
    };
    row(0, u"ChkQH_0"_s, u"前缀"_s, true, 1);
    row(0, u"TxtQH_0"_s, u"360430"_s, true, -1, u"360430"_s);
    row(0, u"ChkQH_1"_s, u"后缀"_s, true, 0);
    row(0, u"TxtQH_1"_s, u"2011"_s, false, -1, u"2011"_s);
    row(0, u"LblBH_1"_s, u"编号位数"_s, true, -1);
    row(0, u"TxtQH_2"_s, u"3"_s, true, -1, u"3"_s);
    row(0, u"LblBH_2"_s, u"编号增量"_s, true, -1);
    row(0, u"TxtQH_3"_s, u"1"_s, true, -1, u"1"_s);
    row(0, u"LblBH_0"_s, u"起始编号"_s, true, -1);
    row(0, u"TxtQH_4"_s, u"1"_s, true, -1, u"1"_s);
    row(0, u"ChkBF"_s, u"原文件名保留在"_s, true, 0);
    row(0, u"OptBF_0"_s, u"前"_s, false, 0);
    row(0, u"OptBF_1"_s, u"后"_s, false, 0);

    row(1, u"OptDel_0"_s, u"删除前面字符"_s, true, 1);
    row(1, u"OptDel_1"_s, u"删除后面字符"_s, true, 0);
    row(1, u"TxtNumDel_0"_s, QString(), true, -1, u"输入删除字符个数"_s);
    row(1, u"TxtNumDel_1"_s, QString(), false, -1, u"输入删除字符个数"_s);
    row(1, u"LblDel"_s, u"先选择删除前面或后面字符，再在后面文本框中输入删除字符个数"_s, true, -1);

    row(2, u"ChkTJ_0"_s, u"前缀"_s, true, 1);
    row(2, u"TxtFB_0"_s, QString(), false, -1);
    row(2, u"ChkTJ_1"_s, u"后缀"_s, true, 0);
    row(2, u"TxtFB_1"_s, QString(), false, -1);
    row(2, u"ChkDelName"_s, u"除去原文件名(不推荐使用，会引起文件重名，若要除去原文件名可使用自动编号）"_s,
        true, 0);

    row(3, u"Label1_0"_s, u"将"_s, true, -1);
    row(3, u"TxtFind"_s, QString(), true, -1);
    row(3, u"Label1_1"_s, u"替换为"_s, true, -1);
    row(3, u"TxtRep"_s, QString(), true, -1);
    row(3, u"Label1_2"_s, u"如果文件名中没有替换文本，将保留原文件名"_s, true, -1);

    row(4, u"Label2"_s, u"输入新扩展名："_s, true, -1);
    row(4, u"TxtExt"_s, QString(), true, -1);
    row(4, u"Label3"_s, u"注意：以.开始"_s, true, -1);

    row(5, u"LblFG"_s, u"选择或输入分割字符"_s, true, -1);
    row(5, u"cboFG"_s, QString(), true, -1);
    row(5, u"OptFG_0"_s, u"去除分割字符后部分"_s, true, 1);
    row(5, u"OptFG_1"_s, u"去除分割字符前部分"_s, true, 0);
    row(5, u"OptFG_2"_s, u"分割字符前后部分对换"_s, true, 0);
    row(5, u"ChkFG_0"_s, u"去掉分割符"_s, true, 1);
    row(5, u"ChkFG_1"_s, u"去掉空格"_s, true, 0);

    row(6, u"OptFile_0"_s, u"使用默认文本文档"_s, true, 0);
    row(6, u"OptFile_1"_s, u"使用自定义文本文档"_s, true, 0);
    row(6, u"ChkFore"_s, u"原文件名保留在前面"_s, true, 0);
    row(6, u"ChkBack"_s, u"原文件名保留在后面"_s, true, 0);

    row(7, u"OptZH_0"_s, u"字母全部转换为大写"_s, true, 0);
    row(7, u"OptZH_1"_s, u"字母全部转换为小写"_s, true, 1);
    row(7, u"OptZH_2"_s, u"首字母转换为大写"_s, true, 0);
    row(7, u"ChkPY"_s, u"中文转换成拼音"_s, true, 0);
    row(7, u"ChkKG"_s, u"转换拼音时去空格"_s, false, 0);

    row(8, u"ChkSX_0"_s, u"常规"_s, true, 1);
    row(8, u"ChkSX_1"_s, u"只读"_s, true, 0);
    row(8, u"ChkSX_2"_s, u"隐藏"_s, true, 0);
    row(8, u"ChkSX_3"_s, u"存档"_s, true, 0);
}

void TestRenamePanels::designState()
{
    QFETCH(int, panel);
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(bool, enabled);
    QFETCH(int, checked);
    QFETCH(QString, toolTip);
    QWidget* w = f->control<QWidget>(panel, name);
    QVERIFY(w);
    QCOMPARE(w->parentWidget(), f->panels.panel(panel));
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        QCOMPARE(button->text(), text);
        QCOMPARE(int(button->isChecked()), checked);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        QCOMPARE(label->text(), text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        QCOMPARE(edit->text(), text);
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        QCOMPARE(combo->currentText(), text);
        QVERIFY(combo->isEditable());
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        QCOMPARE(items, (QStringList{u"-"_s, u"!"_s, u"@"_s, u"#"_s, u"$"_s, u"%"_s, u"&"_s}));
    } else {
        QFAIL("unexpected control type");
    }
    if (checked < 0)
        QVERIFY(!qobject_cast<QAbstractButton*>(w));
    QCOMPARE(w->isEnabled(), enabled);
    QCOMPARE(w->toolTip(), toolTip);
}

void TestRenamePanels::designOptionsAreTheDefaults()
{
    QVERIFY(f->panels.options() == RenameOptions());
    QCOMPARE(f->panels.attributes()->attributeMask(), 0);
}

void TestRenamePanels::numberBoxesTakeOnlyDigits_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message"); // empty: none
    QTest::newRow("digit count refuses a letter")
        << u"TxtQH_2"_s << u"a"_s << u"3"_s << u"编号位数只能为数字！"_s;
    QTest::newRow("increment refuses a letter")
        << u"TxtQH_3"_s << u"a"_s << u"1"_s << u"编号增量只能为数字！"_s;
    QTest::newRow("start refuses a minus") << u"TxtQH_4"_s << u"-"_s << u"1"_s << u"起始编号只能为数字！"_s;
    QTest::newRow("start refuses chinese") << u"TxtQH_4"_s << u"张"_s << u"1"_s << u"起始编号只能为数字！"_s;
    QTest::newRow("full-width digit refused")
        << u"TxtQH_2"_s << u"５"_s << u"3"_s << u"编号位数只能为数字！"_s;
    QTest::newRow("digits accepted") << u"TxtQH_4"_s << u"05"_s << u"105"_s << QString();
    QTest::newRow("prefix takes anything") << u"TxtQH_0"_s << u"a-张"_s << u"360430a-张"_s << QString();
}

void TestRenamePanels::numberBoxesTakeOnlyDigits()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(QString, message);
    auto* edit = f->control<QLineEdit>(0, box);
    edit->end(false);
    type(*f, 0, box, typed);
    QCOMPARE(edit->text(), text);
    if (message.isEmpty()) {
        QVERIFY(f->dialogs.messages.isEmpty());
        return;
    }
    QCOMPARE(f->dialogs.messages.size(), typed.size());
    const Platform::MessageRequest& m = f->dialogs.messages.first();
    QCOMPARE(m.text, message);
    QCOMPARE(m.title, u"自动编号"_s);
    QCOMPARE(m.icon, Platform::MessageIcon::Critical);
    QCOMPARE(m.buttons, Platform::MessageButtons::Ok);

    // Backspace and keys that type nothing pass without a message.
    f->dialogs.clear();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(edit->text(), text.chopped(1));
    QVERIFY(f->dialogs.messages.isEmpty());
}

void TestRenamePanels::numberBoxRefusesInputMethodText()
{
    auto* edit = f->control<QLineEdit>(0, u"TxtQH_3"_s);
    f->shown(0);
    edit->setFocus();
    QInputMethodEvent commit;
    commit.setCommitString(u"一"_s);
    QApplication::sendEvent(edit, &commit);
    QCOMPARE(edit->text(), u"1"_s);
    QCOMPARE(f->dialogs.texts(), QStringList{u"编号增量只能为数字！"_s});
    QInputMethodEvent digits;
    digits.setCommitString(u"2"_s);
    QApplication::sendEvent(edit, &digits);
    QCOMPARE(edit->text(), u"12"_s);
    QCOMPARE(f->dialogs.messages.size(), 1);
}

void TestRenamePanels::deleteCountTakesOnlyDigits()
{
    auto* edit = f->control<QLineEdit>(1, u"TxtNumDel_0"_s);
    type(*f, 1, u"TxtNumDel_0"_s, u"1x2"_s);
    QCOMPARE(edit->text(), u"12"_s);
    QCOMPARE(f->dialogs.messages.size(), 1);
    const Platform::MessageRequest& m = f->dialogs.messages.first();
    QCOMPARE(m.text, u"请输入删除字符的个数，\r\n只能输入数字0\uFF0D\uFF19！"_s);
    QCOMPARE(m.title, QString());
    QCOMPARE(m.icon, Platform::MessageIcon::None);
    QCOMPARE(m.buttons, Platform::MessageButtons::Ok);
}

void TestRenamePanels::arrows_data()
{
    QTest::addColumn<QStringList>("before"); // digit count, increment, start
    QTest::addColumn<int>("arrow");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QStringList>("after");
    const QStringList design{u"3"_s, u"1"_s, u"1"_s};
    QTest::newRow("digit count up") << design << 0 << true << QStringList{u"4"_s, u"1"_s, u"1"_s};
    QTest::newRow("digit count 7 up wraps to 1")
        << QStringList{u"7"_s, u"1"_s, u"1"_s} << 0 << true << QStringList{u"1"_s, u"1"_s, u"1"_s};
    QTest::newRow("digit count stops at 1")
        << QStringList{u"1"_s, u"1"_s, u"1"_s} << 0 << false << QStringList{u"1"_s, u"1"_s, u"1"_s};
    QTest::newRow("increment 8 up wraps to -8")
        << QStringList{u"3"_s, u"8"_s, u"1"_s} << 1 << true << QStringList{u"3"_s, u"-8"_s, u"1"_s};
    QTest::newRow("increment -8 down wraps to 8")
        << QStringList{u"3"_s, u"-8"_s, u"1"_s} << 1 << false << QStringList{u"3"_s, u"8"_s, u"1"_s};
    QTest::newRow("increment through 0") << design << 1 << false << QStringList{u"3"_s, u"0"_s, u"1"_s};
    QTest::newRow("start goes negative")
        << QStringList{u"3"_s, u"1"_s, u"0"_s} << 2 << false << QStringList{u"3"_s, u"1"_s, u"-1"_s};
    QTest::newRow("start unbounded") << QStringList{u"3"_s, u"1"_s, u"99999"_s} << 2 << true
                                     << QStringList{u"3"_s, u"1"_s, u"100000"_s};
    QTest::newRow("empty box counts as 0")
        << QStringList{u"3"_s, u"1"_s, QString()} << 2 << true << QStringList{u"3"_s, u"1"_s, u"1"_s};
    QTest::newRow("text counts as its number")
        << QStringList{u"3"_s, u"1"_s, u"12ab"_s} << 2 << false << QStringList{u"3"_s, u"1"_s, u"11"_s};
    QTest::newRow("any up click wraps a typed digit count")
        << QStringList{u"8"_s, u"1"_s, u"1"_s} << 2 << true << QStringList{u"1"_s, u"1"_s, u"2"_s};
    QTest::newRow("any up click wraps a typed increment")
        << QStringList{u"3"_s, u"9"_s, u"1"_s} << 0 << true << QStringList{u"4"_s, u"-8"_s, u"1"_s};
    QTest::newRow("any down click lifts a digit count of 0")
        << QStringList{u"0"_s, u"1"_s, u"5"_s} << 2 << false << QStringList{u"1"_s, u"1"_s, u"4"_s};
}

void TestRenamePanels::arrows()
{
    QFETCH(QStringList, before);
    QFETCH(int, arrow);
    QFETCH(bool, up);
    QFETCH(QStringList, after);
    for (int i = 0; i < 3; ++i)
        f->control<QLineEdit>(0, u"TxtQH_%1"_s.arg(i + 2))->setText(before[i]);
    QSignalSpy spy(&f->panels, &RenamePanels::previewEnabled);
    ::arrow(*f, arrow, up);
    QStringList texts;
    for (int i = 0; i < 3; ++i)
        texts << f->control<QLineEdit>(0, u"TxtQH_%1"_s.arg(i + 2))->text();
    QCOMPARE(texts, after);
    QCOMPARE(spy.count(), 1);
}

void TestRenamePanels::numberBoxClickSelectsAllAndTooltipShowsText()
{
    auto* edit = f->control<QLineEdit>(0, u"TxtQH_0"_s);
    f->shown(0);
    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(5, edit->height() / 2));
    QCOMPARE(edit->selectedText(), u"360430"_s);
    type(*f, 0, u"TxtQH_0"_s, u"ab"_s);
    QCOMPARE(edit->text(), u"ab"_s);
    QCOMPARE(edit->toolTip(), u"ab"_s);
}

void TestRenamePanels::prefixSuffixTicksEnableTheirBoxes()
{
    auto* prefix = f->control<QLineEdit>(0, u"TxtQH_0"_s);
    auto* suffix = f->control<QLineEdit>(0, u"TxtQH_1"_s);
    click(*f, 0, u"ChkQH_1"_s);
    QVERIFY(suffix->isEnabled());
    QCOMPARE(focusName(), u"TxtQH_0"_s);
    click(*f, 0, u"ChkQH_0"_s);
    QVERIFY(!prefix->isEnabled());
    QCOMPARE(focusName(), u"TxtQH_1"_s);
    click(*f, 0, u"ChkQH_1"_s);
    QVERIFY(!suffix->isEnabled());
    const RenameOptions::Numbering o = f->panels.options().numbering;
    QCOMPARE(o.ChkQH, (std::array<bool, 2>{false, false}));
}

void TestRenamePanels::keepNameUntickedDeselectsBoth()
{
    auto* before = f->control<QRadioButton>(0, u"OptBF_0"_s);
    auto* after = f->control<QRadioButton>(0, u"OptBF_1"_s);
    click(*f, 0, u"ChkBF"_s);
    QVERIFY(before->isEnabled() && after->isEnabled());
    click(*f, 0, u"OptBF_1"_s);
    QCOMPARE(f->panels.options().numbering.OptBF, 1);
    click(*f, 0, u"ChkBF"_s);
    QVERIFY(!before->isEnabled() && !after->isEnabled());
    QVERIFY(!before->isChecked() && !after->isChecked());
    QCOMPARE(f->panels.options().numbering.OptBF, -1);
    QCOMPARE(FillNewName({u"photo.JPG"_s}, RenameMethod::Numbering, f->panels.options()).names,
             QStringList{u"360430001.jpg"_s});
    // The options exclude each other again once the box is ticked.
    click(*f, 0, u"ChkBF"_s);
    click(*f, 0, u"OptBF_0"_s);
    click(*f, 0, u"OptBF_1"_s);
    QVERIFY(!before->isChecked() && after->isChecked());
}

void TestRenamePanels::deleteOptionsSwitchTheBoxes()
{
    auto* start = f->control<QLineEdit>(1, u"TxtNumDel_0"_s);
    auto* end = f->control<QLineEdit>(1, u"TxtNumDel_1"_s);
    click(*f, 1, u"OptDel_1"_s);
    QVERIFY(!start->isEnabled() && end->isEnabled());
    QCOMPARE(focusName(), u"TxtNumDel_1"_s);
    type(*f, 1, u"TxtNumDel_1"_s, u"2"_s);
    const RenameOptions options = f->panels.options();
    QCOMPARE(options.deleteCharacters.OptDel, 1);
    QCOMPARE(FillNewName({u"abcdef.TXT"_s}, RenameMethod::DeleteCharacters, options).names,
             QStringList{u"abcd.txt"_s});
    click(*f, 1, u"OptDel_0"_s);
    QVERIFY(start->isEnabled() && !end->isEnabled());
    QCOMPARE(focusName(), u"TxtNumDel_0"_s);
}

void TestRenamePanels::affixTabEnablesThePrefixBox()
{
    auto* prefix = f->control<QLineEdit>(2, u"TxtFB_0"_s);
    auto* suffix = f->control<QLineEdit>(2, u"TxtFB_1"_s);
    f->shown(2);
    f->panels.tabSelected(2);
    QVERIFY(prefix->isEnabled());
    QCOMPARE(focusName(), u"TxtFB_0"_s);
    click(*f, 2, u"ChkTJ_1"_s);
    QVERIFY(suffix->isEnabled());
    QCOMPARE(focusName(), u"TxtFB_0"_s);
    click(*f, 2, u"ChkTJ_0"_s);
    QVERIFY(!prefix->isEnabled());
    QCOMPARE(focusName(), u"TxtFB_1"_s);
    // Selecting the tab enables the prefix box whatever its tick.
    f->panels.tabSelected(2);
    QVERIFY(prefix->isEnabled());
    QVERIFY(!f->panels.options().prefixSuffix.ChkTJ[0]);
}

void TestRenamePanels::tabSelectionFocus_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("focus");
    QTest::newRow("delete") << 1 << u"TxtNumDel_0"_s;
    QTest::newRow("affix") << 2 << u"TxtFB_0"_s;
    QTest::newRow("replace") << 3 << u"TxtFind"_s;
    QTest::newRow("extension") << 4 << u"TxtExt"_s;
}

void TestRenamePanels::tabSelectionFocus()
{
    QFETCH(int, tab);
    QFETCH(QString, focus);
    f->shown(tab);
    if (QWidget* w = QApplication::focusWidget())
        w->clearFocus();
    QVERIFY(focusName() != focus);
    f->panels.tabSelected(tab);
    QCOMPARE(focusName(), focus);
    if (tab == 1) {
        // Not into a disabled box.
        click(*f, 1, u"OptDel_1"_s);
        f->control<QWidget>(1, u"OptDel_0"_s)->setFocus();
        f->panels.tabSelected(1);
        QCOMPARE(focusName(), u"OptDel_0"_s);
    }
}

void TestRenamePanels::extensionBoxRules_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::newRow("first key becomes the dot") << u"jpg"_s << u".pg"_s;
    QTest::newRow("dot typed first") << u".jpg"_s << u".jpg"_s;
    QTest::newRow("letter case kept") << u".JPEG"_s << u".JPEG"_s;
    QTest::newRow("chinese key") << u"张三"_s << u".三"_s;
}

void TestRenamePanels::extensionBoxRules()
{
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QSignalSpy spy(&f->panels, &RenamePanels::previewEnabled);
    type(*f, 4, u"TxtExt"_s, typed);
    auto* edit = f->control<QLineEdit>(4, u"TxtExt"_s);
    QCOMPARE(edit->text(), text);
    QVERIFY(spy.count() > 0);
    QCOMPARE(f->panels.options().extension.TxtExt, text);
    // Taking away the leading dot leaves a text that is cleared.
    edit->home(false);
    QTest::keyClick(edit, Qt::Key_Delete);
    QCOMPARE(edit->text(), QString());
}

void TestRenamePanels::extensionBoxPasteIsCleared()
{
    auto* edit = f->control<QLineEdit>(4, u"TxtExt"_s);
    f->shown(4);
    QApplication::clipboard()->setText(u"jpg"_s);
    QSignalSpy spy(&f->panels, &RenamePanels::previewEnabled);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), QString());
    QVERIFY(spy.count() > 0);
    QApplication::clipboard()->setText(u".gz"_s);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), u".gz"_s);
}

void TestRenamePanels::extensionFromInputMethod()
{
    auto* edit = f->control<QLineEdit>(4, u"TxtExt"_s);
    f->shown(4);
    edit->setFocus();
    QInputMethodEvent commit;
    commit.setCommitString(u"文本"_s);
    QApplication::sendEvent(edit, &commit);
    QCOMPARE(edit->text(), u".本"_s);
}

void TestRenamePanels::separatorTakesEffectWhenCommitted()
{
    auto* combo = f->control<QComboBox>(5, u"cboFG"_s);
    QSignalSpy spy(&f->panels, &RenamePanels::previewEnabled);
    type(*f, 5, u"cboFG"_s, u"_"_s);
    QCOMPARE(combo->currentText(), u"_"_s);
    QVERIFY(spy.count() > 0);
    // Typed but not committed: the preview still uses the previous separator.
    QCOMPARE(f->panels.options().split.SplitSeparator, QString());
    const QStringList names{u"a_b-c.txt"_s};
    QCOMPARE(FillNewName(names, RenameMethod::Split, f->panels.options()).names, QStringList{u"a_b-c.txt"_s});
    // Leaving the combo commits it.
    f->control<QWidget>(5, u"OptFG_1"_s)->setFocus();
    QCOMPARE(f->panels.options().split.SplitSeparator, u"_"_s);
    QCOMPARE(FillNewName(names, RenameMethod::Split, f->panels.options()).names, QStringList{u"a.txt"_s});
    // Picking an item from the list takes effect at once.
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentText(), u"-"_s);
    QVERIFY(combo->hasFocus());
    QCOMPARE(f->panels.options().split.SplitSeparator, u"-"_s);
    QCOMPARE(FillNewName(names, RenameMethod::Split, f->panels.options()).names, QStringList{u"a_b.txt"_s});
}

void TestRenamePanels::swapModeUnticksAndDisablesChecks()
{
    auto* drop = f->control<QCheckBox>(5, u"ChkFG_0"_s);
    auto* trim = f->control<QCheckBox>(5, u"ChkFG_1"_s);
    click(*f, 5, u"ChkFG_1"_s);
    QVERIFY(drop->isChecked() && trim->isChecked());
    click(*f, 5, u"OptFG_2"_s);
    QVERIFY(!drop->isChecked() && !trim->isChecked());
    QVERIFY(!drop->isEnabled() && !trim->isEnabled());
    QCOMPARE(f->panels.options().split.SplitMode, 2);
    click(*f, 5, u"OptFG_1"_s);
    QVERIFY(drop->isEnabled() && trim->isEnabled());
    QVERIFY(!drop->isChecked() && !trim->isChecked());
    QCOMPARE(f->panels.options().split.SplitMode, 1);
}

void TestRenamePanels::cancelledDocumentDialogSelectsDefault()
{
    const QString defaultDocument = f->tree.write(u"app/新文件名引用文档.txt"_s, "Alpha\r\nBeta\r\n");
    QSignalSpy spy(&f->panels, &RenamePanels::previewEnabled);
    f->dialogs.files.enqueue(QString()); // cancel
    click(*f, 6, u"OptFile_1"_s);
    QCOMPARE(f->dialogs.fileRequests.size(), 1);
    const Platform::FileDialogRequest& request = f->dialogs.fileRequests.first();
    QCOMPARE(request.filter, u"文本文档(*.txt)|*.txt"_s);
    QCOMPARE(request.initialFolder, f->paths.applicationFolder());
    QVERIFY(f->control<QRadioButton>(6, u"OptFile_0"_s)->isChecked());
    QVERIFY(!f->control<QRadioButton>(6, u"OptFile_1"_s)->isChecked());
    QCOMPARE(f->panels.options().referenceDocument.ReferenceDocumentPath, defaultDocument);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(
        FillNewName({u"a.TXT"_s, u"b.doc"_s}, RenameMethod::ReferenceDocument, f->panels.options()).names,
        (QStringList{u"Alpha.txt"_s, u"Beta.doc"_s}));
}

void TestRenamePanels::chosenDocumentIsUsed()
{
    const QString chosen = f->tree.write(u"elsewhere/names.txt"_s, Platform::gbkLinesBytes({u"甲"_s}));
    f->dialogs.files.enqueue(chosen);
    click(*f, 6, u"OptFile_1"_s);
    QVERIFY(f->control<QRadioButton>(6, u"OptFile_1"_s)->isChecked());
    QCOMPARE(f->panels.options().referenceDocument.ReferenceDocumentPath, chosen);
    click(*f, 6, u"ChkBack"_s);
    QCOMPARE(FillNewName({u"a.TXT"_s}, RenameMethod::ReferenceDocument, f->panels.options()).names,
             QStringList{u"甲a.txt"_s});
    // The default option points at the application folder's document.
    click(*f, 6, u"OptFile_0"_s);
    QCOMPARE(f->panels.options().referenceDocument.ReferenceDocumentPath,
             f->paths.applicationFolder() + u"/新文件名引用文档.txt"_s);
}

// Without a default document the option creates an empty one where the user
// can write it, so the first preview works and names the file to edit.
void TestRenamePanels::defaultDocumentIsCreatedOnFirstUse()
{
    const QString expected = f->paths.dataFolder() + u"/新文件名引用文档.txt"_s;
    QVERIFY(!QFileInfo::exists(expected));
    click(*f, 6, u"OptFile_1"_s); // choose a custom one first, then come back
    click(*f, 6, u"OptFile_0"_s);
    QCOMPARE(f->panels.options().referenceDocument.ReferenceDocumentPath, expected);
    QVERIFY(QFileInfo(expected).isFile());
    QCOMPARE(QFileInfo(expected).size(), 0);
    const NewNameResult result =
        FillNewName({u"a.TXT"_s}, RenameMethod::ReferenceDocument, f->panels.options());
    QVERIFY(!result.documentUnreadable);
    QVERIFY(result.messages.isEmpty());
    QCOMPARE(result.names, QStringList{u"a.TXT"_s}); // beyond the last line: kept as it is
    // An existing document is left as the user wrote it.
    f->tree.write(u"app/新文件名引用文档.txt"_s, "Mine\r\n");
    click(*f, 6, u"OptFile_0"_s);
    QCOMPARE(f->tree.read(u"app/新文件名引用文档.txt"_s), QByteArray("Mine\r\n"));
}

void TestRenamePanels::keepNameBoxesExcludeEachOther()
{
    auto* fore = f->control<QCheckBox>(6, u"ChkFore"_s);
    auto* back = f->control<QCheckBox>(6, u"ChkBack"_s);
    click(*f, 6, u"ChkFore"_s);
    QVERIFY(fore->isChecked() && !back->isChecked());
    click(*f, 6, u"ChkBack"_s);
    QVERIFY(!fore->isChecked() && back->isChecked());
    click(*f, 6, u"ChkFore"_s);
    QVERIFY(fore->isChecked() && !back->isChecked());
    click(*f, 6, u"ChkFore"_s);
    QVERIFY(!fore->isChecked() && !back->isChecked());
}

void TestRenamePanels::pinyinChecks()
{
    auto* strip = f->control<QCheckBox>(7, u"ChkKG"_s);
    const QStringList names{u"张 三.TXT"_s};
    const auto compute = [&] {
        return FillNewName(names, RenameMethod::LetterCase, f->panels.options()).names;
    };
    click(*f, 7, u"OptZH_2"_s);
    click(*f, 7, u"ChkPY"_s);
    QVERIFY(strip->isEnabled());
    QCOMPARE(compute(), QStringList{u"Zhang San.txt"_s});
    click(*f, 7, u"ChkKG"_s);
    QVERIFY(f->panels.letterCase()->pinyinStripSpaces());
    QCOMPARE(compute(), QStringList{u"Zhangsan.txt"_s});
    // Unticking the pinyin box disables ChkKG but keeps its tick.
    click(*f, 7, u"ChkPY"_s);
    QVERIFY(!strip->isEnabled());
    QVERIFY(strip->isChecked());
    QVERIFY(!f->panels.letterCase()->pinyinStripSpaces());
    QCOMPARE(compute(), QStringList{u"张 三.txt"_s});
    // Selecting the tab takes the flag from ChkKG alone; it counts only with pinyin.
    f->panels.tabSelected(7);
    QVERIFY(f->panels.letterCase()->pinyinStripSpaces());
    QCOMPARE(compute(), QStringList{u"张 三.txt"_s});
    click(*f, 7, u"ChkPY"_s);
    QVERIFY(f->panels.letterCase()->pinyinStripSpaces());
    QCOMPARE(compute(), QStringList{u"Zhangsan.txt"_s});
}

void TestRenamePanels::caseModeSurvivesTabChanges()
{
    click(*f, 7, u"OptZH_0"_s);
    f->panels.tabSelected(3);
    f->panels.tabSelected(7);
    QCOMPARE(f->panels.letterCase()->caseMode(), CaseMode::Upper);
    QCOMPARE(FillNewName({u"MyFile.TXT"_s}, RenameMethod::LetterCase, f->panels.options()).names,
             QStringList{u"MYFILE.txt"_s});
}

void TestRenamePanels::attributeMaskFollowsTicks()
{
    AttributePanel* panel = f->panels.attributes();
    click(*f, 8, u"ChkSX_1"_s);
    click(*f, 8, u"ChkSX_2"_s);
    QCOMPARE(panel->attributeMask(), 3);
    click(*f, 8, u"ChkSX_3"_s);
    QCOMPARE(panel->attributeMask(), 35);
    for (int i = 0; i < 4; ++i)
        click(*f, 8, u"ChkSX_%1"_s.arg(i));
    QCOMPARE(panel->attributeMask(), 0);
    QCOMPARE(f->panels.options().attributes.ChkSX, (std::array<bool, 4>{false, false, false, false}));
    f->panels.tabSelected(2);
    f->panels.tabSelected(8);
    QCOMPARE(panel->attributeMask(), 0);
}

void TestRenamePanels::reEnablingList_data()
{
    QTest::addColumn<Action>("prepare");
    QTest::addColumn<Action>("act");
    QTest::addColumn<bool>("enables");

    const Action nothing = [](PanelFixture&) {};
    const auto clicking = [](int panel, const QString& name) -> Action {
        return [=](PanelFixture& f) { click(f, panel, name); };
    };
    const auto typing = [](int panel, const QString& name, const QString& text) -> Action {
        return [=](PanelFixture& f) { type(f, panel, name, text); };
    };
    const auto row = [](const char* name, Action prepare, Action act, bool enables) {
        QTest::newRow(name) << prepare << act << enables;
    };

    row("ChkQH click", nothing, clicking(0, u"ChkQH_1"_s), true);
    row(
        "UpDown1 up", nothing, [](PanelFixture& f) { arrow(f, 0, true); }, true);
    row(
        "UpDown1 down", nothing, [](PanelFixture& f) { arrow(f, 2, false); }, true);
    row("OptDel click", nothing, clicking(1, u"OptDel_1"_s), true);
    row("ChkTJ click", nothing, clicking(2, u"ChkTJ_1"_s), true);
    row("TxtFind edit", nothing, typing(3, u"TxtFind"_s, u"a"_s), true);
    row("TxtRep edit", nothing, typing(3, u"TxtRep"_s, u"b"_s), true);
    row("TxtExt edit", nothing, typing(4, u"TxtExt"_s, u".x"_s), true);
    row("cboFG edit", nothing, typing(5, u"cboFG"_s, u"#"_s), true);
    row("OptFG click", nothing, clicking(5, u"OptFG_1"_s), true);
    row("ChkFG click", nothing, clicking(5, u"ChkFG_1"_s), true);
    row("OptFile default", nothing, clicking(6, u"OptFile_0"_s), true);
    row(
        "OptFile chosen", [](PanelFixture& f) { f.dialogs.files.enqueue(f.tree.write(u"n.txt"_s)); },
        clicking(6, u"OptFile_1"_s), true);
    row("OptZH click", nothing, clicking(7, u"OptZH_0"_s), true);
    row("ChkPY click", nothing, clicking(7, u"ChkPY"_s), true);
    row("ChkKG click", clicking(7, u"ChkPY"_s), clicking(7, u"ChkKG"_s), true);
    row("ChkSX click", nothing, clicking(8, u"ChkSX_2"_s), true);

    row("TxtQH typing", nothing, typing(0, u"TxtQH_0"_s, u"x"_s), false);
    row("TxtQH digits", nothing, typing(0, u"TxtQH_4"_s, u"9"_s), false);
    row("TxtQH refused key", nothing, typing(0, u"TxtQH_3"_s, u"z"_s), false);
    row("TxtNumDel typing", nothing, typing(1, u"TxtNumDel_0"_s, u"3"_s), false);
    row(
        "TxtFB typing", [](PanelFixture& f) { f.panels.tabSelected(2); }, typing(2, u"TxtFB_0"_s, u"p"_s),
        false);
    row("ChkBF click", nothing, clicking(0, u"ChkBF"_s), false);
    row("OptBF click", clicking(0, u"ChkBF"_s), clicking(0, u"OptBF_0"_s), false);
    row("ChkDelName click", nothing, clicking(2, u"ChkDelName"_s), false);
    row("ChkFore click", nothing, clicking(6, u"ChkFore"_s), false);
    row("ChkBack click", nothing, clicking(6, u"ChkBack"_s), false);
}

void TestRenamePanels::reEnablingList()
{
    QFETCH(Action, prepare);
    QFETCH(Action, act);
    QFETCH(bool, enables);
    prepare(*f);
    const RenameOptions before = f->panels.options();
    QSignalSpy spy(&f->panels, &RenamePanels::previewEnabled);
    act(*f);
    QCOMPARE(spy.count() > 0, enables);
    // The edit did take place (or was refused with its message).
    if (!enables)
        QVERIFY(!(f->panels.options() == before) || !f->dialogs.messages.isEmpty());
}

QTEST_MAIN(TestRenamePanels)
#include "tst_renamepanels.moc"
