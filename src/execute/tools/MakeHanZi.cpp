// Writes the name character table "HanZi.txt": one line per Chinese character of
// GBK, each the character's UTF-8 bytes in quoted-printable form followed by the
// character, GBK-encoded with CR LF line ends. The first line is 一, the
// character that stands in for every character the table lacks. The order
// follows GBK: GB2312 level 1 (the commonest characters, so lookups end early),
// level 2, then the rest of GBK's ideographs.
//
// It uses the program's own GBK conversion, so every line it writes reads back
// exactly as the program will read it.

#include "platform/GbkText.h"

#include <QFile>
#include <QSet>
#include <QString>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

bool isIdeograph(char16_t c)
{
    return c == 0x3007                      // 〇
           || (c >= 0x3400 && c <= 0x4DBF)  // extension A
           || (c >= 0x4E00 && c <= 0x9FFF)  // unified ideographs
           || (c >= 0xF900 && c <= 0xFAFF); // compatibility ideographs
}

QByteArray quotedPrintable(const QString& text)
{
    QByteArray out;
    for (const char byte : text.toUtf8())
        out += '=' + QByteArray::number(uchar(byte), 16).toUpper().rightJustified(2, '0');
    return out;
}

QByteArray twoBytes(int lead, int trail)
{
    QByteArray code;
    code.append(char(lead));
    code.append(char(trail));
    return code;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s output-file\n", argv[0]);
        return 2;
    }

    QList<QByteArray> codes;
    for (int lead = 0xB0; lead <= 0xF7; ++lead)
        for (int trail = 0xA1; trail <= 0xFE; ++trail)
            codes.append(twoBytes(lead, trail));
    for (int lead = 0x81; lead <= 0xFE; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const bool gb2312 = lead >= 0xB0 && lead <= 0xF7 && trail >= 0xA1;
            if (trail != 0x7F && !gb2312)
                codes.append(twoBytes(lead, trail));
        }

    const QString first = u"一"_s;
    QStringList characters{first};
    QSet<QString> seen{first};
    for (const QByteArray& code : codes) {
        const QString character = Platform::decodeGbk(code);
        if (character.size() != 1 || !isIdeograph(character.at(0).unicode()))
            continue;
        if (Platform::encodeGbk(character) != code || seen.contains(character))
            continue;
        seen.insert(character);
        characters.append(character);
    }
    if (characters.size() < 6763) {
        std::fprintf(stderr, "the GBK conversion knows only %lld characters\n",
                     static_cast<long long>(characters.size()));
        return 1;
    }

    QByteArray table;
    for (const QString& character : characters)
        table += quotedPrintable(character) + Platform::encodeGbk(character) + "\r\n";

    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(table) != table.size() || !out.flush()) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
