#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace Platform {

// Text files of the program are GBK (code page 936); written lines end with CR LF.

QString decodeGbk(const QByteArray& bytes);
QByteArray encodeGbk(const QString& text);
// True when every character of `text` has a GBK encoding.
bool gbkCanEncode(const QString& text);

// Splits text into lines: CR LF, a lone CR and a lone LF each end a line; the
// line end is not part of the line, and a final line end adds no empty line.
QStringList splitLines(const QString& text);

// Reads a GBK text file into lines. `ok` is false when it cannot be read.
QStringList readGbkLines(const QString& path, bool* ok = nullptr);

// Each line encoded in GBK and ended by CR LF.
QByteArray gbkLinesBytes(const QStringList& lines);

} // namespace Platform
