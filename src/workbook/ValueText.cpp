#include "ValueText.h"

#include <cmath>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

QString numberText(double value)
{
    if (std::isnan(value) || std::isinf(value))
        return u"#NUM!"_s;
    if (value == 0)
        return u"0"_s;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15G", value);
    return QString::fromLatin1(buf);
}

QDateTime serialToDateTime(double serial, bool date1904, bool* ok)
{
    if (ok)
        *ok = false;
    if (std::isnan(serial) || serial < 0 || serial > 2958466) // up to 9999-12-31
        return {};
    double days = std::floor(serial);
    double fraction = serial - days;
    qint64 seconds = qint64(std::llround(fraction * 86400.0));
    if (seconds >= 86400) {
        seconds -= 86400;
        days += 1;
    }
    QDate base;
    if (date1904) {
        base = QDate(1904, 1, 1);
    } else {
        // Serial 60 is the 1900-02-29 that never was; serials below it start a
        // day later than the rest.
        base = days <= 60 ? QDate(1899, 12, 31) : QDate(1899, 12, 30);
        if (days == 60)
            days = 59;
    }
    const QDate date = base.addDays(qint64(days));
    if (ok)
        *ok = date.isValid();
    return QDateTime(date, QTime(0, 0).addSecs(int(seconds)));
}

QString serialDateText(double serial, bool date1904)
{
    bool ok = false;
    const QDateTime dt = serialToDateTime(serial, date1904, &ok);
    if (!ok)
        return numberText(serial);
    const QString time = dt.time().toString(u"H:mm:ss"_s);
    const QString date = u"%1/%2/%3"_s.arg(dt.date().year()).arg(dt.date().month()).arg(dt.date().day());
    if (std::floor(serial) == 0 && !date1904)
        return time;
    if (dt.time() == QTime(0, 0))
        return date;
    return date + u' ' + time;
}

double isoToSerial(const QString& iso, bool date1904, bool* ok)
{
    QDateTime dt = QDateTime::fromString(iso, Qt::ISODateWithMs);
    if (!dt.isValid())
        dt = QDateTime(QDate::fromString(iso.left(10), Qt::ISODate), QTime(0, 0));
    if (!dt.isValid()) {
        // A time alone: "13:05:00".
        const QTime t = QTime::fromString(iso, Qt::ISODateWithMs);
        if (t.isValid()) {
            if (ok)
                *ok = true;
            return t.msecsSinceStartOfDay() / 86400000.0;
        }
        if (ok)
            *ok = false;
        return 0;
    }
    const QDate base = date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    double days = double(base.daysTo(dt.date()));
    if (!date1904 && days < 61)
        days -= 1; // before the phantom leap day
    if (ok)
        *ok = true;
    return days + dt.time().msecsSinceStartOfDay() / 86400000.0;
}

QString valueText(const CellValue& value, bool dateFormatted, bool date1904)
{
    switch (value.type()) {
    case CellValue::Type::Empty:
        return {};
    case CellValue::Type::Number:
        return dateFormatted ? serialDateText(value.toNumber(), date1904) : numberText(value.toNumber());
    case CellValue::Type::Text:
    case CellValue::Type::Error:
        return value.toText();
    case CellValue::Type::Boolean:
        return value.toBool() ? u"TRUE"_s : u"FALSE"_s;
    }
    return {};
}

} // namespace Xl
