#pragma once

#include "CellValue.h"

#include <QDateTime>
#include <QString>

namespace Xl {

// A number as text: up to 15 significant digits, no trailing zeros, and
// exponent notation ("1E+16", "1E-05") outside the plain range.
QString numberText(double value);
// A date serial as text: "2024/1/5", "13:05:00" or "2024/1/5 13:05:00".
QString serialDateText(double serial, bool date1904);
QDateTime serialToDateTime(double serial, bool date1904, bool* ok = nullptr);
// An ISO 8601 date or date-time ("2024-01-05T13:05:00") as a date serial.
double isoToSerial(const QString& iso, bool date1904, bool* ok = nullptr);
// A number as a spreadsheet shows it under a number format that is not a date
// format: "General" and "@" as numberText; fixed decimals ("0.00"), thousands
// separators ("#,##0"), percent ("0.0%"), scientific and engineering notation
// ("0.00E+00", "##0.0E+0"), fractions ("# ?/?", "?/4") and literal text around
// the number ("¥#,##0.00", "0\"元\""). The section for negative numbers and
// zero is used when the format has one; colours and conditions are ignored.
QString formatNumberText(double value, const QString& formatCode);
// A value as the preview shows it (see Cell::Text).
QString valueText(const CellValue& value, bool dateFormatted, bool date1904);

} // namespace Xl
