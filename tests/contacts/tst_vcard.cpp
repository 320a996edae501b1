// The name character table, the vCard writer and the vCard reader, byte for byte.

#include "TempTree.h"
#include "contacts/CharacterTable.h"
#include "contacts/VCardReader.h"
#include "contacts/VCardWriter.h"
#include "execute/ProgramFiles.h"
#include "platform/AppPaths.h"
#include "platform/GbkText.h"

#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::Literals::StringLiterals;
using Contacts::ContactRow;
using Contacts::ContactRows;

namespace {

ContactRow row(const QStringList& fields)
{
    ContactRow r;
    for (qsizetype i = 0; i < fields.size() && i < ContactRow::ColumnCount; ++i)
        r[int(i)] = fields.at(i);
    return r;
}

QStringList fieldsOf(const ContactRow& r)
{
    return QStringList(r.fields.begin(), r.fields.end());
}

// A table with the standard codes of a few characters, 一 first.
Contacts::CharacterTable smallTable()
{
    return Contacts::CharacterTable::fromLines(
        {u"=E4=B8=80一"_s, u"=E5=BC=A0张"_s, u"=E4=B8=89三"_s, u"=E6=9D=8E李"_s, u"=E5=9B=9B四"_s});
}

QByteArray card(const QByteArray& fn, const QByteArray& tels = {})
{
    return "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:" + fn + "\r\n" + tels +
           "END:VCARD\r\n";
}

ContactRows parse(const QByteArray& bytes)
{
    return Contacts::ParseVCardLines(Contacts::vCardLinesOf(bytes));
}

} // namespace

class TestVCard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encodeName_data();
    void encodeName();
    void shippedTableHoldsStandardCodes();
    void missingTableFileStillEncodes();

    void writerBytes_data();
    void writerBytes();
    void appendsAndCreates();
    void failedAppendLeavesOldLength();
    void unwritablePathFails();

    void readerRows_data();
    void readerRows();
    void writerCardsReadBackIntoSameColumns_data();
    void writerCardsReadBackIntoSameColumns();
    void realExports_data();
    void realExports();
    void readsFileInItsEncoding();
};

void TestVCard::encodeName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("codes");
    QTest::newRow("张三") << u"张三"_s << u"=E5=BC=A0=E4=B8=89"_s;
    QTest::newRow("spaces at the ends trimmed") << u"  张三 "_s << u"=E5=BC=A0=E4=B8=89"_s;
    QTest::newRow("inner space by its bytes") << u"张 三"_s << u"=E5=BC=A0=20=E4=B8=89"_s;
    QTest::newRow("Tom by its bytes, not 一") << u"Tom"_s << u"=54=6F=6D"_s;
    QTest::newRow("missing CJK by its bytes") << u"王"_s << u"=E7=8E=8B"_s;
    QTest::newRow("outside the BMP, whole code point") << u"𠀀"_s << u"=F0=A0=80=80"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("only spaces") << u"   "_s << QString();
    QTest::newRow("tab is no space to trim") << u"\t李"_s << u"=09=E6=9D=8E"_s;
}

void TestVCard::encodeName()
{
    QFETCH(QString, name);
    QFETCH(QString, codes);
    QCOMPARE(smallTable().EncodeName(name), codes);
}

void TestVCard::shippedTableHoldsStandardCodes()
{
    // The table the program ships: 一 first, every code the character's own
    // UTF-8 bytes, so encoding through it changes no name.
    TempTree tree;
    tree.write(u"app/HanZi.txt"_s, Execute::shippedFileContent(u"HanZi.txt"_s));
    Contacts::CharacterTable table;
    QString error;
    QVERIFY2(table.LoadCharacterTable(Platform::AppPaths(tree.file(u"app"_s), tree.file(u"data"_s)), &error),
             qPrintable(error));
    QVERIFY(table.size() > 20000);
    QCOMPARE(table.entries().first(), u"=E4=B8=80一"_s);
    for (const QString& entry : table.entries()) {
        const QString character = entry.right(1);
        QCOMPARE(entry.chopped(1), Contacts::quotedPrintableOf(character.toUtf8()));
    }
    // A name reads the same through the table and through its bytes.
    QCOMPARE(table.EncodeName(u"欧阳娜娜"_s), Contacts::quotedPrintableOf(u"欧阳娜娜"_s.toUtf8()));
}

void TestVCard::missingTableFileStillEncodes()
{
    TempTree tree;
    Contacts::CharacterTable table;
    QString error;
    QVERIFY(!table.LoadCharacterTable(Platform::AppPaths(tree.file(u"app"_s), tree.file(u"data"_s)), &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(table.EncodeName(u"张三"_s), u"=E5=BC=A0=E4=B8=89"_s);
}

void TestVCard::writerBytes_data()
{
    QTest::addColumn<ContactRows>("rows");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("every field") << ContactRows{row({u"7"_s, u"张三"_s, u"13800138000"_s, u"010-1234"_s,
                                                     u"020-5678"_s, u"021-9"_s, u"95555"_s})}
                                 << card("=E5=BC=A0=E4=B8=89",
                                         "TEL;CELL:13800138000\r\nTEL;HOME:010-1234\r\nTEL;VOICE:020-"
                                         "5678\r\nTEL;FAX:021-9\r\nTEL:95555\r\n");
    QTest::newRow("empty name") << ContactRows{row({u"1"_s, QString(), u"1"_s})}
                                << card("", "TEL;CELL:1\r\n");
    QTest::newRow("no telephone: four lines")
        << ContactRows{row({u"1"_s, u"李四"_s})} << card("=E6=9D=8E=E5=9B=9B");
    QTest::newRow("spaces kept, only-spaces written")
        << ContactRows{row({u"1"_s, u"张"_s, u"138 0013 8000"_s, QString(), u"  "_s})}
        << card("=E5=BC=A0", "TEL;CELL:138 0013 8000\r\nTEL;VOICE:  \r\n");
    QTest::newRow("only 其他") << ContactRows{row({u"1"_s, u"张"_s, {}, {}, {}, {}, u"+86 10"_s})}
                               << card("=E5=BC=A0", "TEL:+86 10\r\n");
    QTest::newRow("line breaks in a number become spaces")
        << ContactRows{row({u"1"_s, u"张"_s, u"138\r\n0013\n8000\r1"_s})}
        << card("=E5=BC=A0", "TEL;CELL:138 0013 8000 1\r\n");
    QTest::newRow("Chinese in a number in UTF-8") << ContactRows{row({u"1"_s, u"张"_s, {}, {}, u"转8001"_s})}
                                                  << card("=E5=BC=A0", "TEL;VOICE:\xE8\xBD\xAC"
                                                                       "8001\r\n");
    QTest::newRow("two rows follow directly, 编号 never written")
        << ContactRows{row({u"99"_s, u"张"_s, u"1"_s}), row({u"100"_s, u"三"_s, {}, u"2"_s})}
        << card("=E5=BC=A0", "TEL;CELL:1\r\n") + card("=E4=B8=89", "TEL;HOME:2\r\n");
    QTest::newRow("empty list") << ContactRows{} << QByteArray();
}

void TestVCard::writerBytes()
{
    QFETCH(ContactRows, rows);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Contacts::VCardText(rows, smallTable()), bytes);
}

void TestVCard::appendsAndCreates()
{
    TempTree tree;
    const QString path = tree.file(u"通讯录.vcf"_s);
    const ContactRows rows{row({u"1"_s, u"张三"_s, u"1"_s})};
    const QByteArray one = card("=E5=BC=A0=E4=B8=89", "TEL;CELL:1\r\n");
    QVERIFY(Contacts::WriteVCardFile(path, {}, smallTable()));
    QVERIFY(tree.exists(u"通讯录.vcf"_s));
    QCOMPARE(tree.read(u"通讯录.vcf"_s), QByteArray());
    QVERIFY(Contacts::WriteVCardFile(path, rows, smallTable()));
    QVERIFY(Contacts::WriteVCardFile(path, rows, smallTable()));
    QCOMPARE(tree.read(u"通讯录.vcf"_s), one + one);
    QVERIFY(Contacts::WriteVCardFile(path, {}, smallTable()));
    QCOMPARE(tree.read(u"通讯录.vcf"_s), one + one);
    QCOMPARE(Contacts::createdMessage(path), path + u"已创建！"_s);

    // Another program's file whose last line has no line end: the cards still
    // start on a line of their own, and both files' cards read back.
    const QByteArray foreign = "BEGIN:VCARD\nVERSION:3.0\nFN:Ann\nEND:VCARD";
    const QString other = tree.write(u"other.vcf"_s, foreign);
    QVERIFY(Contacts::WriteVCardFile(other, rows, smallTable()));
    QCOMPARE(tree.read(u"other.vcf"_s), foreign + "\r\n" + one);
    QCOMPARE(parse(tree.read(u"other.vcf"_s)).size(), 2);
}

void TestVCard::failedAppendLeavesOldLength()
{
    // A file-size limit makes the write fail part-way, as a full disk does.
    TempTree tree;
    const QByteArray old = card("=E5=BC=A0");
    const QString path = tree.write(u"old.vcf"_s, old);
    ContactRows many;
    for (int i = 0; i < 2000; ++i)
        many.append(row({QString::number(i), u"张三"_s, u"13800138000"_s}));

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 16384;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    QString error;
    const bool written = Contacts::WriteVCardFile(path, many, smallTable(), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!written);
    QVERIFY(!error.isEmpty());
    QCOMPARE(tree.read(u"old.vcf"_s), old);
}

void TestVCard::unwritablePathFails()
{
    TempTree tree;
    tree.mkdir(u"folder.vcf"_s);
    QString error;
    QVERIFY(!Contacts::WriteVCardFile(tree.file(u"folder.vcf"_s), {row({u"1"_s, u"张"_s})}, smallTable(),
                                      &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!Contacts::WriteVCardFile(tree.file(u"missing/x.vcf"_s), {row({u"1"_s, u"张"_s})}, smallTable()));
}

void TestVCard::readerRows_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<QStringList>>("rows");
    using Rows = QList<QStringList>;

    QTest::newRow("cell and fax go to their columns") << card("=E5=BC=A0", "TEL;CELL:1\r\nTEL;FAX:5\r\n")
                                                      << Rows{{u"1"_s, u"张"_s, u"1"_s, {}, {}, u"5"_s, {}}};
    QTest::newRow("seven lines: the typed first, then the rest in order, extra dropped")
        << card("=E5=BC=A0", "TEL;CELL:1\r\nTEL;CELL:2\r\nTEL;CELL:3\r\nTEL;FAX:4\r\nTEL;CELL:5\r\n"
                             "TEL;CELL:6\r\nTEL;CELL:7\r\n")
        << Rows{{u"1"_s, u"张"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}};
    QTest::newRow("several types: FAX before CELL, HOME, WORK")
        << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:A\r\nTEL;TYPE=WORK,FAX:4\r\nTEL;TYPE=VOICE,HOME:2\r\n"
                      "TEL;TYPE=CELL,VOICE,PREF:1\r\nTEL;TYPE=WORK:3\r\nEND:VCARD\r\n")
        << Rows{{u"1"_s, u"A"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s, {}}};
    QTest::newRow("type=pref alone and an unknown type fill from 移动")
        << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:A\r\nTEL;type=pref:9\r\nTEL;TYPE=HOME:2\r\n"
                      "TEL;TYPE=PAGER:8\r\nEND:VCARD\r\n")
        << Rows{{u"1"_s, u"A"_s, u"9"_s, u"2"_s, u"8"_s, {}, {}}};
    QTest::newRow("a TEL line first is no name")
        << QByteArray("BEGIN:VCARD\r\nTEL;CELL:138\r\nFN:Ann\r\nEND:VCARD\r\n")
        << Rows{{u"1"_s, u"Ann"_s, u"138"_s, {}, {}, {}, {}}};
    QTest::newRow("FN without parameters; N without FN")
        << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Smith;John;;;\r\nFN:John Smith\r\nEND:VCARD\r\n"
                      "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Smith;John;;;\r\nEND:VCARD\r\n"
                      "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=BC=A0;=E4="
                      "B8=89;;;\r\n"
                      "END:VCARD\r\n")
        << Rows{{u"1"_s, u"John Smith"_s, {}, {}, {}, {}, {}},
                {u"2"_s, u"Smith John"_s, {}, {}, {}, {}, {}},
                {u"3"_s, u"张三"_s, {}, {}, {}, {}, {}}};
    QTest::newRow("long name, lower-case hex, CHARSET absent")
        << QByteArray(
               "BEGIN:VCARD\r\nFN;ENCODING=QUOTED-PRINTABLE:=e5=bc=a0=E4=B8=89=E6=9D=8E=E5=9B=9B=E7=8E=8B"
               "=E4=BA=94=E8=B5=B5=E5=85=AD\r\nEND:VCARD\r\n")
        << Rows{{u"1"_s, u"张三李四王五赵六"_s, {}, {}, {}, {}, {}}};
    QTest::newRow("a colon inside a number is kept; tel: loses its scheme")
        << QByteArray("BEGIN:VCARD\r\nFN:A\r\nTEL;CELL:123:456\r\nTEL;VALUE=uri;TYPE=home:tel:+86-10-1234\r\n"
                      "END:VCARD\r\n")
        << Rows{{u"1"_s, u"A"_s, u"123:456"_s, u"+86-10-1234"_s, {}, {}, {}}};
    QTest::newRow("lines before BEGIN and other properties ignored")
        << QByteArray(
               "TEL;CELL:000\r\nBEGIN:VCARD\r\nFN:A\r\nEMAIL:a@b.c\r\nADR:;;x;;;;\r\nTEL:5\r\nEND:VCARD\r\n"
               "TEL:trailing\r\n")
        << Rows{{u"1"_s, u"A"_s, {}, {}, {}, {}, u"5"_s}};
    QTest::newRow("no END:VCARD gives no row") << QByteArray("BEGIN:VCARD\r\nFN:A\r\nTEL:1\r\n") << Rows{};
    QTest::newRow("a card with nothing kept gives its number")
        << QByteArray("begin:vcard\r\nend:vcard\r\n") << Rows{{u"1"_s, {}, {}, {}, {}, {}, {}}};
    QTest::newRow("folding, escapes, lower-case names")
        << QByteArray("begin:vcard\nversion:3.0\nfn:O\\, Brien\n  Jr\\;\ntel;type=cell:13\n 8\nend:vcard\n")
        << Rows{{u"1"_s, u"O, Brien Jr;"_s, u"138"_s, {}, {}, {}, {}}};
    QTest::newRow("soft line break in a quoted-printable name")
        << QByteArray("BEGIN:VCARD\r\nFN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=BC=A0=\r\n=E4=B8=89\r\n"
                      "END:VCARD\r\n")
        << Rows{{u"1"_s, u"张三"_s, {}, {}, {}, {}, {}}};
}

void TestVCard::readerRows()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<QStringList>, rows);
    const ContactRows read = parse(bytes);
    QList<QStringList> got;
    for (const ContactRow& r : read)
        got.append(fieldsOf(r));
    QCOMPARE(got, rows);
}

void TestVCard::writerCardsReadBackIntoSameColumns_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("all") << QStringList{u"1"_s, u"张三"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s};
    QTest::newRow("only fax") << QStringList{u"1"_s, u"张三"_s, {}, {}, {}, u"4"_s, {}};
    QTest::newRow("home and other") << QStringList{u"1"_s, u"李"_s, {}, u"2"_s, {}, {}, u"5"_s};
    QTest::newRow("work only") << QStringList{u"1"_s, u"欧阳娜娜娜娜娜娜娜"_s, {}, {}, u"3"_s, {}, {}};
    QTest::newRow("empty name, cell") << QStringList{u"1"_s, {}, u"1"_s, {}, {}, {}, {}};
    QTest::newRow("Latin name with a space") << QStringList{u"1"_s, u"Ann Lee"_s, u"1 2"_s, {}, {}, {}, {}};
    QTest::newRow("Chinese in a number") << QStringList{u"1"_s, u"张"_s, {}, u"转8001"_s, {}, {}, {}};
}

void TestVCard::writerCardsReadBackIntoSameColumns()
{
    QFETCH(QStringList, fields);
    const ContactRows rows = parse(Contacts::VCardText({row(fields)}, smallTable()));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(fieldsOf(rows.first()), fields);
}

void TestVCard::realExports_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<QStringList>>("rows");
    using Rows = QList<QStringList>;

    // An Android 2.1 export: quoted-printable split by soft breaks, a company of 20 characters.
    const QString company = u"北京市海淀区中关村科技发展有限责任公司"_s + u"甲"_s;
    QByteArray qp = Contacts::quotedPrintableOf(company.toUtf8()).toLatin1();
    QByteArray split;
    while (qp.size() > 74) {
        split += qp.left(72) + "=\r\n";
        qp = qp.mid(72);
    }
    split += qp;
    QTest::newRow("Android 2.1")
        << ("BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:;" + split +
            ";;;\r\nFN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:" + split +
            "\r\nTEL;CELL;PREF:+8613800138000\r\nTEL;WORK:010-62345678\r\nTEL;CELL:13900139000\r\n"
            "EMAIL;HOME:a@example.com\r\nEND:VCARD\r\n")
        << Rows{{u"1"_s, company, u"+8613800138000"_s, u"13900139000"_s, u"010-62345678"_s, {}, {}}};

    // An iOS 3.0 export: grouped properties, quoted types, a folded photo.
    QByteArray photo = "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAgGBgcGBQgHBwcJCQgKDBQN";
    for (int i = 0; i < 5; ++i)
        photo += "\r\n DBILDBkSEw8UHRofHh0aHBwgJC4nICIsIxwcKDcpLDAxNDQ0Hyc5PTgyPC4zNDL/2wBDAQkJCQwLDBgN";
    QTest::newRow("iOS 3.0") << QByteArray(QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Apple "
                                                      "Inc.//iPhone OS 17.0//EN\r\nN:王;小明;;;\r\n"
                                                      "FN:王小明\r\nORG:某某公司;\r\nitem1.TEL;type=pref:+86 "
                                                      "10 8888 0000\r\nitem1.X-ABLabel:_$!<Other>!$_\r\n"
                                                      "TEL;type=CELL;type=VOICE;type=pref:138 0000 "
                                                      "1111\r\nTEL;type=HOME;type=FAX:010 6666 7777\r\n"
                                                      "item2.TEL:400-800-0000\r\nitem2.X-ABLabel:客服\r\n") +
                                           photo + "\r\nEND:VCARD\r\n")
                             << Rows{{u"1"_s,
                                      u"王小明"_s,
                                      u"138 0000 1111"_s,
                                      u"+86 10 8888 0000"_s,
                                      {},
                                      u"010 6666 7777"_s,
                                      u"400-800-0000"_s}};

    // A 4.0 card: tel: URIs, quoted type lists, folded lines.
    QTest::newRow("vCard 4.0")
        << QByteArray("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Jane\r\n  Doe\r\nN:Doe;Jane;;;\r\n"
                      "TEL;VALUE=uri;PREF=1;TYPE=\"voice,home\":tel:+1-555-555-5555;ext=5555\r\n"
                      "TEL;VALUE=uri;TYPE=\"cell,text\":tel:+1-555-\r\n 555-1234\r\nEND:VCARD\r\n")
        << Rows{{u"1"_s, u"Jane Doe"_s, u"+1-555-555-1234"_s, u"+1-555-555-5555;ext=5555"_s, {}, {}, {}}};

    // An old phone's GB2312 card: lower-case names, only an N line, quoted-printable GBK bytes.
    const QByteArray gbk = Contacts::quotedPrintableOf(Platform::encodeGbk(u"赵"_s)).toLatin1() + ";" +
                           Contacts::quotedPrintableOf(Platform::encodeGbk(u"敏"_s)).toLatin1();
    QTest::newRow("GB2312 2.1 with only N")
        << ("begin:vcard\r\nversion:2.1\r\nn;charset=gb2312;encoding=quoted-printable:" + gbk +
            ";;;\r\ntel;cell:13812345678\r\nend:vcard\r\n")
        << Rows{{u"1"_s, u"赵敏"_s, u"13812345678"_s, {}, {}, {}, {}}};
}

void TestVCard::realExports()
{
    readerRows();
}

void TestVCard::readsFileInItsEncoding()
{
    TempTree tree;
    // Raw (not quoted-printable) values: a GBK file, a UTF-8 file with a mark.
    const QByteArray body = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:李四\r\nTEL;HOME:转8\r\nEND:VCARD\r\n";
    const QString gbkPath = tree.write(u"gbk.vcf"_s, Platform::encodeGbk(QString::fromUtf8(body)));
    const QString utf8Path = tree.write(u"utf8.vcf"_s, "\xEF\xBB\xBF" + body);
    for (const QString& path : {gbkPath, utf8Path}) {
        Contacts::VCardLines store;
        QVERIFY(Contacts::ReadVCardLines(path, store));
        const ContactRows rows = Contacts::ParseVCardLines(store);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(fieldsOf(rows.first()), (QStringList{u"1"_s, u"李四"_s, {}, u"转8"_s, {}, {}, {}}));
    }
    // The store a window keeps outlives the text it was read from.
    Contacts::VCardLines kept;
    {
        const Contacts::VCardLines store =
            Contacts::vCardLinesOf("BEGIN:VCARD\r\nFN:A\r\n B\r\nTEL:1\r\nEND:VCARD\r\n");
        kept = store;
    }
    QCOMPARE(Contacts::ParseVCardLines(kept).first()[ContactRow::Name], u"AB"_s);

    Contacts::VCardLines store;
    QString error;
    QVERIFY(!Contacts::ReadVCardLines(tree.file(u"none.vcf"_s), store, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(Contacts::looksLikeVCard("\xEF\xBB\xBF\r\nbegin:VCARD\r\n"));
    QVERIFY(!Contacts::looksLikeVCard("姓名,移动\r\n"));
}

QTEST_GUILESS_MAIN(TestVCard)
#include "tst_vcard.moc"
