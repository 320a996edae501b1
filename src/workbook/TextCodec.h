#pragma once

#include <QString>

namespace Xl {

// Text in workbook XML escapes characters XML cannot carry as "_xHHHH_" (and a
// literal "_x" sequence that would read as such an escape as "_x005F_").
QString unescapeXstring(const QString& text);
QString escapeXstring(const QString& text);

// Whether a character takes two columns of width (CJK, full-width forms).
bool isWideCharacter(char32_t c);
// Display width in columns of a single line: wide characters count double.
int displayWidth(QStringView line);

} // namespace Xl
