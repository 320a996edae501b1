// Cards we write, read by a real vCard parser nobody here wrote (python3-vobject).

#include "TempTree.h"
#include "contacts/CharacterTable.h"
#include "contacts/VCardWriter.h"
#include "execute/ProgramFiles.h"
#include "platform/GbkText.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using Contacts::ContactRow;
using Contacts::ContactRows;

namespace {

// Prints each card's FN and its TEL lines (types, value) as JSON; the file must
// be UTF-8, as phones read it.
const char kReader[] = R"(
import json, sys, vobject
text = open(sys.argv[1], 'rb').read().decode('utf-8')
cards = []
for card in vobject.readComponents(text):
    fn = card.fn.value if hasattr(card, 'fn') else None
    tels = [[sorted(t.singletonparams + t.params.get('TYPE', [])), t.value] for t in card.contents.get('tel', [])]
    cards.append({'fn': fn, 'tels': tels})
print(json.dumps(cards, ensure_ascii=False))
)";

// The system's Python, which the Debian package serves.
QString python()
{
    if (QFileInfo::exists(u"/usr/bin/python3"_s))
        return u"/usr/bin/python3"_s;
    return QStandardPaths::findExecutable(u"python3"_s);
}

bool vobjectAvailable()
{
    const QString program = python();
    if (program.isEmpty())
        return false;
    QProcess process;
    process.start(program, {u"-c"_s, u"import vobject"_s});
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

ContactRow row(const QStringList& fields)
{
    ContactRow r;
    for (qsizetype i = 0; i < fields.size(); ++i)
        r[int(i)] = fields.at(i);
    return r;
}

} // namespace

class TestVCardClients : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void vobjectReadsOurCards();
};

void TestVCardClients::initTestCase()
{
    if (!vobjectAvailable())
        QSKIP(
            "python3-vobject is not installed (Debian package python3-vobject; scripts/dev.sh installs it): "
            "the cards cannot be checked with a real vCard parser");
}

void TestVCardClients::vobjectReadsOurCards()
{
    const Contacts::CharacterTable table = Contacts::CharacterTable::fromLines(
        Platform::splitLines(Platform::decodeGbk(Execute::shippedFileContent(u"HanZi.txt"_s))));
    QVERIFY(table.size() > 20000);
    const ContactRows rows{
        row({u"1"_s, u"张三"_s, u"13800138000"_s, u"010-62345678"_s, u"020 1234"_s, u"021-5"_s, u"95555"_s}),
        row({u"2"_s, u" 欧阳娜娜来自北京市海淀区中关村 "_s, {}, {}, {}, u"0755-1"_s}),
        row({u"3"_s, u"Ann Lee 𠀀"_s, u"+1 555 0100"_s}),
        row({u"4"_s, QString(), {}, u"转8001"_s}),
        row({u"5"_s, u"李四"_s}),
    };
    TempTree tree;
    const QString path = tree.file(u"cards.vcf"_s);
    QVERIFY(Contacts::WriteVCardFile(path, rows, table));
    const QString script = tree.write(u"read.py"_s, kReader);

    QProcess process;
    process.start(python(), {script, path});
    QVERIFY(process.waitForFinished(60000));
    QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
    const QJsonArray cards = QJsonDocument::fromJson(process.readAllStandardOutput()).array();
    QCOMPARE(cards.size(), rows.size());

    const QStringList types{u"CELL"_s, u"HOME"_s, u"VOICE"_s, u"FAX"_s, QString()};
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QJsonObject card = cards.at(i).toObject();
        QCOMPARE(card.value(u"fn"_s).toString(), rows.at(i)[ContactRow::Name].trimmed());
        QJsonArray expected;
        for (int column = ContactRow::Cell; column <= ContactRow::Tel; ++column) {
            const QString value = rows.at(i)[column];
            if (value.isEmpty())
                continue;
            const QString type = types.at(column - ContactRow::Cell);
            expected.append(QJsonArray{type.isEmpty() ? QJsonArray() : QJsonArray{type}, value});
        }
        QCOMPARE(card.value(u"tels"_s).toArray(), expected);
    }
}

QTEST_GUILESS_MAIN(TestVCardClients)
#include "tst_vcard_clients.moc"
