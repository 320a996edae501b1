#pragma once

#include <QByteArray>
#include <QString>

namespace Contacts {

enum class TextEncoding
{
    Utf8,
    Utf16,
    Gbk
};

// The encoding of a text file: UTF-16 by its byte order mark; UTF-8 when the
// bytes are valid UTF-8 (with or without a mark); otherwise GBK, the system
// code page.
TextEncoding detectEncoding(const QByteArray& bytes);
bool isValidUtf8(QByteArrayView bytes);

// The text of a file in the detected encoding, without its byte order mark.
QString decodeText(const QByteArray& bytes, TextEncoding* detected = nullptr);

// Bytes in a named character set (UTF-8, GB2312/GBK/GB18030, ISO-8859-1,
// US-ASCII; anything unknown is read as UTF-8).
QString decodeCharset(const QByteArray& bytes, const QString& charset);

} // namespace Contacts
