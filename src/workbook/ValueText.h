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
// A value as the preview shows it (see Cell::Text).
QString valueText(const CellValue& value, bool dateFormatted, bool date1904);

} // namespace Xl
