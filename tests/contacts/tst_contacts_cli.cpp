// The contacts commands of the built command-line tool, run as a user runs them.

#include "Fixtures.h"
#include "TempTree.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Result
{
    int exitCode = -1;
    QString out;
    QString err;
};

Result runCli(const QStringList& args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"QT_QPA_PLATFORM"_s);
    env.remove(u"DISPLAY"_s);
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral(TARNWICK_CLI), args);
    process.waitForFinished(120000);
    Result r;
    r.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.out = QString::fromUtf8(process.readAllStandardOutput());
    r.err = QString::fromUtf8(process.readAllStandardError());
    return r;
}

const QByteArray kCsv = "\xEF\xBB\xBF" + u"姓名,移动,家庭,工作,传真,其他\r\n张三,13800138000,,010-1,,\r\n"
                                         u"\"李\t四\",\"139\n0\",0755,,,x\r\n"_s.toUtf8();

const QByteArray kCards =
    "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=BC=A0=E4=B8=89\r\n"
    "TEL;CELL:13800138000\r\nTEL;VOICE:010-1\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E6=9D=8E=09=E5=9B=9B\r\n"
    "TEL;CELL:139 0\r\nTEL;HOME:0755\r\nTEL:x\r\nEND:VCARD\r\n";

} // namespace

class TestContactsCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readPrintsRows();
    void vcfAppendsCards();
    void excelWritesNewWorkbook();
    void sheetOption();
    void refusalsAndStops_data();
    void refusalsAndStops();
};

void TestContactsCli::readPrintsRows()
{
    TempTree tree;
    const QString csv = tree.write(u"通讯录.csv"_s, kCsv);
    const Result r = runCli({u"contacts"_s, u"read"_s, csv});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, u"1\t张三\t13800138000\t\t010-1\t\t\n2\t李 四\t139 0\t0755\t\t\tx\n"_s);

    // A vCard file found by its content, whatever its name.
    const QString cards = tree.write(u"cards.txt"_s, kCards);
    const Result json = runCli({u"contacts"_s, u"read"_s, cards, u"--json"_s});
    QCOMPARE(json.exitCode, 0);
    const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).object();
    const QJsonArray rows = object.value(u"rows"_s).toArray();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(1).toObject().value(u"Name"_s).toString(), u"李\t四"_s);
    QCOMPARE(rows.at(1).toObject().value(u"Tel"_s).toString(), u"x"_s);
    QCOMPARE(rows.at(0).toObject().value(u"voice"_s).toString(), u"010-1"_s);
    QVERIFY(object.value(u"messages"_s).toArray().isEmpty());
}

void TestContactsCli::vcfAppendsCards()
{
    TempTree tree;
    const QString csv = tree.write(u"通讯录.csv"_s, kCsv);
    const QString vcf = tree.file(u"名片.vcf"_s);
    const Result first = runCli({u"contacts"_s, u"vcf"_s, csv, u"-o"_s, vcf});
    QCOMPARE(first.exitCode, 0);
    QCOMPARE(first.out, vcf + u"已创建！\n"_s);
    QCOMPARE(tree.read(u"名片.vcf"_s), kCards);
    const Result second = runCli({u"contacts"_s, u"vcf"_s, csv, u"--output="_s + vcf, u"--json"_s});
    QCOMPARE(second.exitCode, 0);
    QCOMPARE(tree.read(u"名片.vcf"_s), kCards + kCards);
    const QJsonObject object = QJsonDocument::fromJson(second.out.toUtf8()).object();
    QCOMPARE(object.value(u"messages"_s).toArray().size(), 1);
    QCOMPARE(object.value(u"messages"_s).toArray().at(0).toString(), QString(vcf + u"已创建！"_s));
    QCOMPARE(object.value(u"rows"_s).toArray().size(), 2);
}

void TestContactsCli::excelWritesNewWorkbook()
{
    TempTree tree;
    const QString cards = tree.write(u"名片.vcf"_s, kCards);
    const QString xlsx = tree.file(u"导出.xlsx"_s);
    const Result r = runCli({u"contacts"_s, u"excel"_s, cards, u"-o"_s, xlsx});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, xlsx + u"已创建！\n"_s);
    // Read back through the tool itself: the title row is no contact.
    const Result back = runCli({u"contacts"_s, u"read"_s, xlsx});
    QCOMPARE(back.exitCode, 0);
    QCOMPARE(back.out, u"1\t1\t张三\t13800138000\t\t010-1\t\n2\t2\t李 四\t139 0\t0755\t\t\n"_s);

    const QByteArray before = tree.read(u"导出.xlsx"_s);
    const Result refused = runCli({u"contacts"_s, u"excel"_s, cards, u"-o"_s, xlsx});
    QCOMPARE(refused.exitCode, 2);
    QVERIFY(refused.err.contains(u"--yes"_s));
    QCOMPARE(tree.read(u"导出.xlsx"_s), before);
    const QString empty = tree.write(u"empty.vcf"_s, "");
    QCOMPARE(runCli({u"contacts"_s, u"excel"_s, empty, u"-o"_s, xlsx, u"--yes"_s}).exitCode, 0);
    QCOMPARE(runCli({u"contacts"_s, u"read"_s, xlsx}).out, QString());
}

void TestContactsCli::sheetOption()
{
    TempTree tree;
    const QString path = tree.file(u"book.xlsx"_s);
    {
        Fixtures::XlsxBuilder book(path);
        book.sheet(u"一"_s);
        book.text(1, 1, u"姓名"_s);
        book.text(2, 1, u"甲"_s);
        book.sheet(u"二"_s);
        book.text(1, 1, u"姓名"_s);
        book.text(2, 1, u"乙"_s);
        book.number(2, 2, 138);
        QVERIFY(book.close());
    }
    QCOMPARE(runCli({u"contacts"_s, u"read"_s, path}).out, u"1\t甲\t\t\t\t\t\n"_s);
    QCOMPARE(runCli({u"contacts"_s, u"read"_s, path, u"--sheet=2"_s}).out, u"1\t乙\t138\t\t\t\t\n"_s);
    QCOMPARE(runCli({u"contacts"_s, u"read"_s, path, u"--sheet"_s, u"2"_s}).out, u"1\t乙\t138\t\t\t\t\n"_s);
    QCOMPARE(runCli({u"contacts"_s, u"read"_s, path, u"--sheet"_s, u"3"_s}).exitCode, 2);
}

void TestContactsCli::refusalsAndStops_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("errorText");
    QTest::newRow("no -o") << QStringList{u"vcf"_s, u"@csv"_s} << 2 << u"-o"_s;
    QTest::newRow("unknown option") << QStringList{u"read"_s, u"@csv"_s, u"--bogus"_s} << 2 << u"bogus"_s;
    QTest::newRow("bad sheet") << QStringList{u"read"_s, u"@csv"_s, u"--sheet"_s, u"0"_s} << 2
                               << u"--sheet"_s;
    QTest::newRow("missing file") << QStringList{u"read"_s, u"@none"_s} << 2 << u"文件不存在"_s;
    QTest::newRow("not a workbook name")
        << QStringList{u"excel"_s, u"@csv"_s, u"-o"_s, u"@out.txt"_s} << 2 << u".xlsx"_s;
    QTest::newRow("unknown subcommand") << QStringList{u"print"_s} << 2 << u"print"_s;
    QTest::newRow("text that cannot be read")
        << QStringList{u"read"_s, u"@bad"_s} << 1 << u"此类文本文件不能处理！"_s;
    QTest::newRow("too many for .xls")
        << QStringList{u"excel"_s, u"@big"_s, u"-o"_s, u"@big.xls"_s} << 2 << u"65535"_s;
}

void TestContactsCli::refusalsAndStops()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, errorText);
    TempTree tree;
    tree.write(u"csv"_s, kCsv);
    tree.write(u"bad"_s, "just one line\r\n");
    QByteArray big = "t,t\r\n";
    for (int i = 0; i < 65536; ++i)
        big += "a,1\r\n";
    tree.write(u"big"_s, big);
    QStringList words{u"contacts"_s};
    for (const QString& arg : args)
        words.append(arg.startsWith(u'@') ? tree.file(arg.mid(1)) : arg);
    const Result r = runCli(words);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.err.contains(errorText), qPrintable(r.err));
    QVERIFY(!tree.exists(u"out.txt"_s));
    QVERIFY(!tree.exists(u"big.xls"_s));
}

QTEST_GUILESS_MAIN(TestContactsCli)
#include "tst_contacts_cli.moc"
