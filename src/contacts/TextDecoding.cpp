#include "TextDecoding.h"

#include "platform/GbkText.h"

#include <QStringDecoder>

using namespace Qt::Literals::StringLiterals;

namespace Contacts {

bool isValidUtf8(QByteArrayView bytes)
{
    // A hand loop: ASCII runs, which most of a card is, cost one comparison a byte.
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const uchar c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra = 0;
        char32_t cp = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= extra)
            return false;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        p += extra + 1;
    }
    return true;
}

TextEncoding detectEncoding(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return TextEncoding::Utf16;
    return isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Gbk;
}

QString decodeText(const QByteArray& bytes, TextEncoding* detected)
{
    const TextEncoding encoding = detectEncoding(bytes);
    if (detected)
        *detected = encoding;
    switch (encoding) {
    case TextEncoding::Utf16: {
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                            : QStringDecoder::Utf16BE);
        return decoder(QByteArrayView(bytes).sliced(2));
    }
    case TextEncoding::Utf8:
        return QString::fromUtf8(bytes.startsWith("\xEF\xBB\xBF") ? QByteArrayView(bytes).sliced(3)
                                                                  : QByteArrayView(bytes));
    case TextEncoding::Gbk:
        break;
    }
    return Platform::decodeGbk(bytes);
}

QString decodeCharset(const QByteArray& bytes, const QString& charset)
{
    const QString name = charset.trimmed().toUpper();
    if (name.isEmpty() || name == u"UTF-8"_s || name == u"UTF8"_s)
        return QString::fromUtf8(bytes);
    if (name == u"GB2312"_s || name == u"GBK"_s || name == u"GB18030"_s || name == u"CP936"_s ||
        name == u"EUC-CN"_s || name == u"X-GBK"_s)
        return Platform::decodeGbk(bytes);
    if (name == u"ISO-8859-1"_s || name == u"LATIN1"_s || name == u"US-ASCII"_s || name == u"ASCII"_s)
        return QString::fromLatin1(bytes);
    QStringDecoder decoder(name.toLatin1().constData());
    if (decoder.isValid())
        return decoder(bytes);
    return QString::fromUtf8(bytes);
}

} // namespace Contacts
