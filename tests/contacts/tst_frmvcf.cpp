// The converter window driven offscreen through both directions, and opened
// from the main window's Tools menu.

#include "Fixtures.h"
#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "FocusWalk.h"
#include "TempTree.h"
#include "app/MainWindow.h"
#include "contacts/ContactListModel.h"
#include "contacts/FrmVCF.h"
#include "execute/ProgramFiles.h"
#include "platform/FixedClock.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeView>

using namespace Qt::Literals::StringLiterals;
using Contacts::ContactRow;
using Contacts::FrmVCF;
using Platform::MessageIcon;

namespace {

// A converter window over a temporary application folder holding the shipped table.
struct Fixture
{
    TempTree app;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    QString status = u"状态：合并工作表"_s;
    std::unique_ptr<FrmVCF> window;

    explicit Fixture(bool withTable = true)
    {
        if (withTable)
            app.write(u"HanZi.txt"_s, Execute::shippedFileContent(u"HanZi.txt"_s));
    }
    FrmVCF& make()
    {
        Contacts::ConverterServices services;
        services.dialogs = &dialogs;
        services.shell = &shell;
        services.paths = Platform::AppPaths(app.path(), app.file(u"user"_s));
        services.currentFolder = app.path() + u'/';
        services.statusText = [this] { return status; };
        services.setStatusText = [this](const QString& text) { status = text; };
        window = std::make_unique<FrmVCF>(services);
        return *window;
    }
};

struct States
{
    bool read, ok, view, sheet;
    bool operator==(const States&) const = default;
};

States states(const FrmVCF& w)
{
    return {w.CmdRead()->isEnabled(), w.CmdOK()->isEnabled(), !w.Cmdview()->isHidden(),
            !w.FrmSheet()->isHidden()};
}

char* toString(const States& s)
{
    return qstrdup(QString(u"read=%1 ok=%2 view=%3 sheet=%4"_s)
                       .arg(s.read)
                       .arg(s.ok)
                       .arg(s.view)
                       .arg(s.sheet)
                       .toLatin1()
                       .constData());
}

QList<QStringList> listed(const FrmVCF& w)
{
    QList<QStringList> rows;
    for (const ContactRow& r : w.rows())
        rows.append(QStringList(r.fields.begin(), r.fields.end()));
    return rows;
}

// The paths the next file dialogs answer.
void answer(ScriptedDialogs& dialogs, const QStringList& files)
{
    dialogs.files.clear();
    for (const QString& file : files)
        dialogs.files.enqueue(file);
}

void click(QPushButton* button)
{
    QVERIFY(button->isEnabled() && !button->isHidden());
    QTest::mouseClick(button, Qt::LeftButton);
}

const QByteArray kCsv =
    "\xEF\xBB\xBF" + u"姓名,移动,家庭\r\n张三,13800138000,010-1\r\n李四,,0755\r\n"_s.toUtf8();
const QByteArray kCards =
    "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=BC=A0=E4=B8=89\r\n"
    "TEL;CELL:13800138000\r\nTEL;HOME:010-1\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E6=9D=8E=E5=9B=9B\r\n"
    "TEL;HOME:0755\r\nEND:VCARD\r\n";

} // namespace

class TestFrmVCF : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadState();
    void tableToVCard();
    void workbookSheets();
    void vCardToWorkbook();
    void modeSwitchKeepsRows();
    void cancelledDialogs();
    void unreadableTableAtLoad();
    void proportionalLayout();
    void openedFromMainWindow();
    void keyboardAndScreenReaderWalk();
};

void TestFrmVCF::loadState()
{
    Fixture f;
    FrmVCF& w = f.make();
    QCOMPARE(w.windowTitle(), u"Tarnwick——Excel与VCF格式转换"_s);
    QCOMPARE(f.status, u"状态：Excel与VCF格式转换"_s);
    QCOMPARE(states(w), (States{false, false, false, false}));
    QVERIFY(w.OptXX(0)->isChecked());
    QCOMPARE(w.OptXX(0)->toolTip(), u"将csv、txt或excel格式转换为vcf"_s);
    QCOMPARE(w.OptXX(1)->text(), u"转换为Excel"_s);
    QCOMPARE(w.CmdOK()->text(), u"生成VCF"_s);
    QVERIFY(f.dialogs.messages.isEmpty());
    QVERIFY(w.characterTable().size() > 20000);
    QCOMPARE(w.TxtFile()->geometry(), QRect(8, 8, 625, 25));
    QCOMPARE(w.LvwVCF()->geometry(), QRect(8, 48, 625, 401));
    const QStringList headers{u"编号"_s, u"姓名"_s, u"移动"_s, u"家庭"_s, u"工作"_s, u"传真"_s, u"其他"_s};
    const int widths[] = {80, 72, 117, 117, 80, 80, 80};
    for (int c = 0; c < 7; ++c) {
        QCOMPARE(w.LvwVCF()->model()->headerData(c, Qt::Horizontal).toString(), headers.at(c));
        QCOMPARE(w.LvwVCF()->columnWidth(c), widths[c]);
    }
    w.show();
    w.close();
    QCOMPARE(f.status, u"状态：合并工作表"_s);
}

void TestFrmVCF::tableToVCard()
{
    Fixture f;
    FrmVCF& w = f.make();
    w.show();
    const QString csv = f.app.write(u"通讯录.csv"_s, kCsv);
    const QString vcf = f.app.file(u"名片.vcf"_s);
    answer(f.dialogs, {csv + u"  "_s});
    click(w.CmdOpen());
    QCOMPARE(
        f.dialogs.fileRequests.last().filter,
        u"CSV逗号分隔文件(*.csv)|*.csv|文本文件（制表符分隔）(*.txt)|*.txt|Excel 文件(*.xls)|*.xls;*.xlsx;*.xlsm"_s);
    QCOMPARE(f.dialogs.fileRequests.last().initialFolder, f.app.path() + u'/');
    QCOMPARE(w.TxtFile()->text(), csv);
    QCOMPARE(states(w), (States{true, false, false, false}));
    click(w.CmdRead());
    QCOMPARE(states(w), (States{false, true, false, false}));
    QCOMPARE(listed(w), (QList<QStringList>{{u"1"_s, u"张三"_s, u"13800138000"_s, u"010-1"_s, {}, {}, {}},
                                            {u"2"_s, u"李四"_s, {}, u"0755"_s, {}, {}, {}}}));
    QCOMPARE(w.LvwVCF()->model()->data(w.LvwVCF()->model()->index(0, 1), Qt::TextAlignmentRole).toInt() &
                 Qt::AlignHorizontal_Mask,
             int(Qt::AlignHCenter));

    answer(f.dialogs, {vcf});
    click(w.CmdOK());
    QCOMPARE(f.dialogs.fileRequests.last().filter, u"手机通讯录文件(.vcf)|*.vcf"_s);
    QCOMPARE(states(w), (States{false, false, false, false}));
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages.last().text, vcf + u"已创建！"_s);
    QCOMPARE(f.dialogs.messages.last().title, u"转换为VCF文件"_s);
    QCOMPARE(f.dialogs.messages.last().icon, MessageIcon::Information);
    QCOMPARE(f.app.read(u"名片.vcf"_s), kCards);

    // A text the reader cannot take: its message, and the rows before the stop.
    answer(f.dialogs, {f.app.write(u"bad.txt"_s, "t\tt\r\na\t1\r\n\r\nb\t2\r\n")});
    click(w.CmdOpen());
    QVERIFY(w.rows().isEmpty());
    click(w.CmdRead());
    QCOMPARE(w.rows().size(), 1);
    QCOMPARE(f.dialogs.messages.last().title, u"转换成VCF"_s);
    QVERIFY(f.dialogs.messages.last().text.startsWith(u"此类文本文件不能处理！\r\n"_s));

    const QString shot = QStringLiteral(SCREENSHOT_DIR) + u"/frmvcf-table.png"_s;
    QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
    answer(f.dialogs, {csv});
    click(w.CmdOpen());
    click(w.CmdRead());
    QVERIFY(w.grab().save(shot));
}

void TestFrmVCF::workbookSheets()
{
    Fixture f;
    FrmVCF& w = f.make();
    w.show();
    const QString path = f.app.file(u"通讯录.xlsx"_s);
    {
        Fixtures::XlsxBuilder book(path);
        book.sheet(u"同事"_s);
        book.text(1, 1, u"姓名"_s);
        book.text(2, 1, u"甲"_s);
        book.sheet(u"空"_s);
        book.sheet(u"家人"_s);
        book.text(1, 1, u"姓名"_s);
        book.text(2, 1, u"乙"_s);
        book.number(2, 5, 6);
        QVERIFY(book.close());
    }
    answer(f.dialogs, {path});
    click(w.CmdOpen());
    QCOMPARE(states(w), (States{true, false, false, true}));
    QStringList lines;
    for (int i = 0; i < w.LstSheet()->count(); ++i)
        lines.append(w.LstSheet()->item(i)->text());
    QCOMPARE(lines, (QStringList{u"同事"_s, u"空(空白工作表)"_s, u"家人"_s}));
    QCOMPARE(w.LstSheet()->currentRow(), 0);
    QCOMPARE(w.selectedSheet(), 1);
    QTest::mouseClick(w.LstSheet()->viewport(), Qt::LeftButton, {},
                      w.LstSheet()->visualItemRect(w.LstSheet()->item(2)).center());
    QCOMPARE(w.selectedSheet(), 3);
    click(w.CmdRead());
    QCOMPARE(listed(w), (QList<QStringList>{{u"1"_s, u"乙"_s, {}, {}, {}, u"6"_s, {}}}));

    // The sheet frame is for workbooks in mode 0 only.
    answer(f.dialogs, {f.app.write(u"t.csv"_s, kCsv)});
    click(w.CmdOpen());
    QCOMPARE(states(w), (States{true, true, false, false}));
    QCOMPARE(w.LstSheet()->count(), 0);
    w.OptXX_Click(1);
    answer(f.dialogs, {path});
    click(w.CmdOpen());
    QVERIFY(w.FrmSheet()->isHidden());
}

void TestFrmVCF::vCardToWorkbook()
{
    Fixture f;
    FrmVCF& w = f.make();
    w.show();
    QTest::mouseClick(w.OptXX(1), Qt::LeftButton);
    QCOMPARE(w.mode(), 1);
    QCOMPARE(w.CmdOK()->text(), u"生成Excel"_s);
    answer(f.dialogs, {f.app.write(u"名片.vcf"_s, kCards)});
    click(w.CmdOpen());
    QCOMPARE(f.dialogs.fileRequests.last().filter, u"手机通讯录文件(*.vcf)|*.vcf"_s);
    click(w.CmdRead());
    QCOMPARE(listed(w), (QList<QStringList>{{u"1"_s, u"张三"_s, u"13800138000"_s, u"010-1"_s, {}, {}, {}},
                                            {u"2"_s, u"李四"_s, {}, u"0755"_s, {}, {}, {}}}));
    // A second file shows only its own cards.
    answer(f.dialogs, {f.app.write(u"one.vcf"_s, kCards.left(kCards.indexOf("END:VCARD") + 11))});
    click(w.CmdOpen());
    click(w.CmdRead());
    QCOMPARE(w.rows().size(), 1);

    const QString xlsx = f.app.file(u"导出.xlsx"_s);
    answer(f.dialogs, {xlsx});
    click(w.CmdOK());
    QCOMPARE(f.dialogs.fileRequests.last().filter, u"Excel文件(.xls)|*.xls;*.xlsx"_s);
    QCOMPARE(f.dialogs.messages.last().text, xlsx + u"已创建！"_s);
    QCOMPARE(f.dialogs.messages.last().title, u"转换为Excel文件"_s);
    QCOMPARE(states(w), (States{false, false, true, false}));
    QCOMPARE(w.Tag(), xlsx);
    QVERIFY(f.app.exists(u"导出.xlsx"_s));
    QVERIFY(w.grab().save(QStringLiteral(SCREENSHOT_DIR) + u"/frmvcf-vcard.png"_s));
    click(w.Cmdview());
    QCOMPARE(f.shell.opened, QStringList{xlsx});
    QCOMPARE(states(w), (States{false, false, false, false}));

    // An export that fails says why instead of announcing success.
    answer(f.dialogs, {f.app.write(u"again.vcf"_s, kCards)});
    click(w.CmdOpen());
    click(w.CmdRead());
    answer(f.dialogs, {f.app.file(u"导出.txt"_s)});
    click(w.CmdOK());
    QCOMPARE(f.dialogs.messages.last().icon, MessageIcon::Warning);
    QVERIFY(!f.dialogs.messages.last().text.contains(u"已创建"_s));
    QVERIFY(!f.app.exists(u"导出.txt"_s));
}

void TestFrmVCF::modeSwitchKeepsRows()
{
    Fixture f;
    FrmVCF& w = f.make();
    w.OptXX_Click(1);
    answer(f.dialogs, {f.app.write(u"名片.vcf"_s, kCards)});
    w.CmdOpen_Click();
    w.CmdRead_Click();
    w.OptXX_Click(0);
    QCOMPARE(w.rows().size(), 2);
    QCOMPARE(w.CmdOK()->text(), u"生成VCF"_s);
    answer(f.dialogs, {f.app.file(u"again.vcf"_s)});
    w.CmdOK_Click();
    QCOMPARE(f.app.read(u"again.vcf"_s), kCards);
}

void TestFrmVCF::cancelledDialogs()
{
    Fixture f;
    FrmVCF& w = f.make();
    answer(f.dialogs, {f.app.write(u"t.csv"_s, kCsv)});
    w.CmdOpen_Click();
    w.CmdRead_Click();
    // A cancelled open empties the list and stops.
    w.CmdOpen_Click();
    QVERIFY(w.rows().isEmpty());
    QCOMPARE(w.TxtFile()->text(), f.app.file(u"t.csv"_s));
    answer(f.dialogs, {f.app.file(u"t.csv"_s)});
    w.CmdOpen_Click();
    w.CmdRead_Click();
    // A cancelled save writes nothing and leaves the generate button on.
    w.CmdOK_Click();
    QVERIFY(w.CmdOK()->isEnabled());
    QVERIFY(f.dialogs.messages.isEmpty());
}

void TestFrmVCF::unreadableTableAtLoad()
{
    Fixture f(false);
    f.app.mkdir(u"HanZi.txt"_s); // there, but no file to read
    FrmVCF& w = f.make();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages.first().icon, MessageIcon::Warning);
    QVERIFY(f.dialogs.messages.first().text.contains(u"HanZi.txt"_s));
    answer(f.dialogs, {f.app.write(u"t.csv"_s, kCsv), f.app.file(u"out.vcf"_s)});
    w.CmdOpen_Click();
    w.CmdRead_Click();
    w.CmdOK_Click();
    QCOMPARE(f.app.read(u"out.vcf"_s), kCards);
}

void TestFrmVCF::proportionalLayout()
{
    Fixture f;
    FrmVCF& w = f.make();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const qreal font = w.designGeometry().designPointSize(w.CmdOK());
    w.resize(FrmVCF::DesignWidth * 2, FrmVCF::DesignHeight * 3);
    QCoreApplication::processEvents();
    QCOMPARE(w.TxtFile()->geometry(), QRect(16, 24, 1250, 75));
    QCOMPARE(w.OptXX(1)->geometry(), QRect(16, 168, 194, 51)); // inside its frame
    QCOMPARE(w.CmdOK()->font().pointSizeF(), font * 2);        // the smaller ratio
    QVERIFY(w.grab().save(QStringLiteral(SCREENSHOT_DIR) + u"/frmvcf-large.png"_s));
    w.resize(FrmVCF::DesignWidth, FrmVCF::DesignHeight);
    QCoreApplication::processEvents();
    QCOMPARE(w.TxtFile()->geometry(), QRect(8, 8, 625, 25));
}

void TestFrmVCF::openedFromMainWindow()
{
    TempTree app;
    TempTree data;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    Platform::FixedClock clock{QDateTime(QDate(2013, 10, 17), QTime(9, 5, 30))};
    App::MainWindowServices services;
    services.paths = Platform::AppPaths(app.path(), data.file(u"user"_s));
    services.dialogs = &dialogs;
    services.shell = &shell;
    services.clock = &clock;
    services.executablePath = u"/opt/tarnwick/bin/tarnwick"_s;
    services.anotherCopyRuns = [] { return false; };
    App::MainWindow main(services);
    QVERIFY(main.startUp());
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    const QString before = main.statusPanel(1);

    QAction* entry = main.findChild<QAction*>(u"m_excelTovcf"_s);
    QVERIFY(entry);
    QVERIFY(entry->isEnabled());
    entry->trigger();
    auto* converter = main.findChild<FrmVCF*>();
    QVERIFY(converter);
    QVERIFY(QTest::qWaitForWindowExposed(converter));
    QCOMPARE(converter->windowModality(), Qt::ApplicationModal);
    QCOMPARE(main.statusPanel(1), u"状态：Excel与VCF格式转换"_s);
    const App::ToolWindowRect r = main.toolWindowRect();
    QCOMPARE(converter->size(), QSize(r.width / 15, r.height / 15));
    // The controls follow the window's size.
    QCOMPARE(converter->LvwVCF()->width(), qRound(625.0 * converter->width() / FrmVCF::DesignWidth));
    QVERIFY(converter->grab().save(QStringLiteral(SCREENSHOT_DIR) + u"/frmvcf-placed.png"_s));
    QVERIFY(converter->characterTable().size() > 20000); // the table start-up installed

    QPointer<FrmVCF> guard(converter);
    converter->close();
    QTRY_VERIFY(guard.isNull());
    QCOMPARE(main.statusPanel(1), before);
}

// Every control is reached by Tab and has a name a screen reader reads.
void TestFrmVCF::keyboardAndScreenReaderWalk()
{
    Fixture f;
    FrmVCF& w = f.make();
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const FocusWalk walk = walkFocusChain(&w);
    QVERIFY2(walk.problems.isEmpty(), qPrintable(walk.problems.join(u"; "_s)));
    QVERIFY(walk.visited.contains(w.LvwVCF()));
    w.close();
}

QTEST_MAIN(TestFrmVCF)
#include "tst_frmvcf.moc"
