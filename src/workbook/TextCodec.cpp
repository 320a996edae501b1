#include "TextCodec.h"

#include <QList>
#include <QStringView>

namespace Xl {

namespace {

int hexValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// True when text[i..] is "_xHHHH_"; `value` gets the code.
bool escapeAt(const QString& text, qsizetype i, int* value)
{
    if (i + 7 > text.size() || text[i] != u'_' || text[i + 1] != u'x' || text[i + 6] != u'_')
        return false;
    int v = 0;
    for (int k = 2; k < 6; ++k) {
        const int h = hexValue(text[i + k]);
        if (h < 0)
            return false;
        v = v * 16 + h;
    }
    *value = v;
    return true;
}

} // namespace

QString unescapeXstring(const QString& text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        int v;
        if (escapeAt(text, i, &v)) {
            out += QChar(char16_t(v));
            i += 6;
        } else {
            out += text[i];
        }
    }
    return out;
}

QString escapeXstring(const QString& text)
{
    bool needed = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const ushort u = text[i].unicode();
        int v;
        if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE || u == 0xFFFF ||
            escapeAt(text, i, &v)) {
            needed = true;
            break;
        }
    }
    if (!needed)
        return text;
    QString out;
    out.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const ushort u = text[i].unicode();
        int v;
        if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE || u == 0xFFFF)
            out += QString::asprintf("_x%04X_", u);
        else if (escapeAt(text, i, &v))
            out += QLatin1String("_x005F_");
        else
            out += text[i];
    }
    return out;
}

bool isWideCharacter(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x2FFFD) ||
           (c >= 0x30000 && c <= 0x3FFFD);
}

int displayWidth(QStringView line)
{
    // Walked in place: AutoFit measures every cell of a sheet.
    int width = 0;
    const qsizetype n = line.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = line[i].unicode();
        if (c < 0x1100) {
            ++width;
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < n && line[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(line[i].unicode(), line[i + 1].unicode());
            ++i;
        }
        width += isWideCharacter(c) ? 2 : 1;
    }
    return width;
}

} // namespace Xl
