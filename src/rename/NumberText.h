#pragma once

#include <QString>
#include <QStringView>

namespace Rename {

// The number `text` begins with: an optional "-" followed by the digits 0 to 9.
// An empty text, or one that does not begin with a number, gives 0; a number
// beyond the 64-bit range is limited to it.
qint64 numericValue(QStringView text);

// `value` limited to the 16-bit range -32768..32767.
int toInt16(qint64 value);

// The decimal digits of the absolute value of `n`, padded on the left with zeros
// to at least `digits` digits, with "-" in front when `n` is negative. With
// `digits` 0 or less the plain decimal number.
QString formatNumber(qint64 n, int digits);

} // namespace Rename
