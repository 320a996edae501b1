#include "GbkText.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace Platform {

namespace {

// True when `bytes` ends with a GBK lead byte whose trail byte is missing.
bool endsInsideACharacter(const QByteArray& bytes)
{
    qsizetype i = 0;
    const qsizetype size = bytes.size();
    while (i < size) {
        const uchar byte = uchar(bytes.at(i));
        i += byte >= 0x81 && byte <= 0xFE ? 2 : 1;
    }
    return i > size;
}

} // namespace

QString decodeGbk(const QByteArray& bytes)
{
    QStringDecoder decoder("GBK");
    if (!decoder.isValid())
        return QString::fromLocal8Bit(bytes);
    QString text = decoder.decode(bytes);
    // The converter keeps a cut-off last character back instead of replacing it.
    if (endsInsideACharacter(bytes))
        text += QChar(QChar::ReplacementCharacter);
    return text;
}

QByteArray encodeGbk(const QString& text)
{
    QStringEncoder encoder("GBK");
    if (!encoder.isValid())
        return text.toLocal8Bit();
    return encoder.encode(text);
}

bool gbkCanEncode(const QString& text)
{
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(text);
    return !encoder.hasError() && decodeGbk(bytes) == text;
}

QStringList splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < size && text.at(i + 1) == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

QStringList readGbkLines(const QString& path, bool* ok)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (ok)
            *ok = false;
        return {};
    }
    const QByteArray bytes = file.readAll();
    if (ok)
        *ok = file.error() == QFile::NoError;
    return splitLines(decodeGbk(bytes));
}

QByteArray gbkLinesBytes(const QStringList& lines)
{
    QByteArray out;
    for (const QString& line : lines) {
        out += encodeGbk(line);
        out += "\r\n";
    }
    return out;
}

} // namespace Platform
