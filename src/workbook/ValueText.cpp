#include "ValueText.h"

#include <QStringList>

#include <algorithm>
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

namespace Xl {

namespace {

// The sections of a format code split at ";" outside quotes and escapes.
QStringList formatSections(const QString& code)
{
    QStringList out;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == u'\\' && i + 1 < code.size()) {
            current += c;
            current += code[++i];
            continue;
        } else if (!quoted && c == u';') {
            out << current;
            current.clear();
            continue;
        }
        current += c;
    }
    out << current;
    return out;
}

bool isPlaceholder(QChar c)
{
    return c == u'0' || c == u'#' || c == u'?';
}

// Digits of `digits` (a plain integer text) grouped by thousands.
QString grouped(const QString& digits)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += u',';
        out += digits[i];
    }
    return out;
}

// The integer part placeholders ("#,##0") applied to `digits`.
QString integerPart(const QString& digits, const QString& pattern, bool group)
{
    const qsizetype zeros = pattern.count(u'0');
    QString d = digits == u"0"_s ? QString() : digits;
    if (d.size() < zeros)
        d = d.rightJustified(zeros, u'0');
    return group ? grouped(d) : d;
}

// Fixed decimals: `minimum` always shown ("0"), up to `maximum` ("#"/"?").
QString fixed(double value, int minimum, int maximum, QString* integer)
{
    // Spreadsheets round the 15-digit decimal value half away from zero;
    // printf rounds the binary value (2.5 -> "2", 1.25 -> "1.2").
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    double v = std::strtod(buf, nullptr);
    if (std::fabs(v) < 1e15 && maximum <= 15) {
        const double scale = std::pow(10.0, maximum);
        const double q = std::fabs(v) * scale;
        double r = std::round(q);
        if (std::fabs(q - (std::floor(q) + 0.5)) <= 1e-9 * std::max(1.0, q))
            r = std::floor(q) + 1;
        v = std::copysign(r / scale, v);
    }
    std::snprintf(buf, sizeof buf, "%.*f", maximum, v);
    QString text = QString::fromLatin1(buf);
    const qsizetype dot = text.indexOf(u'.');
    *integer = dot < 0 ? text : text.left(dot);
    QString decimals = dot < 0 ? QString() : text.mid(dot + 1);
    while (decimals.size() > minimum && decimals.endsWith(u'0'))
        decimals.chop(1);
    return decimals;
}

QString fractionText(double value, const QString& pattern)
{
    // "# ?/?": a whole part; "?/4": a fixed denominator; "??/??": up to 99.
    const qsizetype slash = pattern.indexOf(u'/');
    const QString left = pattern.left(slash).trimmed();
    const QString right = pattern.mid(slash + 1).trimmed();
    const bool whole = left.contains(u' ');
    double intPart = whole ? std::floor(value) : 0;
    const double frac = value - intPart;
    long long bestNum = 0, bestDen = 1;
    bool ok = false;
    const long long fixedDen = right.toLongLong(&ok);
    if (ok && fixedDen > 0) {
        bestDen = fixedDen;
        bestNum = std::llround(frac * double(fixedDen));
    } else {
        const int digits =
            int(std::clamp<qsizetype>(right.count(u'?') + right.count(u'#') + right.count(u'0'), 1, 4));
        const long long maxDen = static_cast<long long>(std::pow(10, digits)) - 1;
        double bestErr = 2;
        for (long long den = 1; den <= maxDen; ++den) {
            const long long num = std::llround(frac * double(den));
            const double err = std::fabs(frac - double(num) / double(den));
            if (err < bestErr - 1e-12) {
                bestErr = err;
                bestNum = num;
                bestDen = den;
            }
        }
    }
    if (whole && bestNum == bestDen) {
        intPart += 1;
        bestNum = 0;
    }
    QString out;
    if (whole && (intPart != 0 || bestNum == 0))
        out = QString::number(intPart, 'f', 0); // a double's whole part may be past every qint64
    if (bestNum != 0) {
        if (!out.isEmpty())
            out += u' ';
        out += QString::number(bestNum) + u'/' + QString::number(bestDen);
    }
    return out.isEmpty() ? u"0"_s : out;
}

QString scientific(double value, const QString& mantissa, const QString& exponentPattern, QChar sign)
{
    const qsizetype dot = mantissa.indexOf(u'.');
    const QString intPattern = dot < 0 ? mantissa : mantissa.left(dot);
    const QString decPattern = dot < 0 ? QString() : mantissa.mid(dot + 1);
    const int intDigits =
        int(std::max<qsizetype>(1, intPattern.count(u'0') + intPattern.count(u'#') + intPattern.count(u'?')));
    const int decimals = int(decPattern.count(u'0') + decPattern.count(u'#') + decPattern.count(u'?'));
    int exponent = value == 0 ? 0 : int(std::floor(std::log10(std::fabs(value))));
    // "##0.0E+0": the exponent is a multiple of the integer digits.
    const int step = intPattern.contains(u'#') ? intDigits : 1;
    if (step > 1)
        exponent = int(std::floor(double(exponent) / step)) * step;
    double m = value / std::pow(10.0, exponent);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, m);
    if (step == 1 && std::fabs(std::strtod(buf, nullptr)) >= 10) {
        ++exponent;
        m = value / std::pow(10.0, exponent);
        std::snprintf(buf, sizeof buf, "%.*f", decimals, m);
    }
    const int expDigits = int(std::max<qsizetype>(1, exponentPattern.count(u'0')));
    QString e = QString::number(std::abs(exponent)).rightJustified(expDigits, u'0');
    const QString expSign = exponent < 0 ? u"-"_s : (sign == u'+' ? u"+"_s : QString());
    return QString::fromLatin1(buf) + u'E' + expSign + e;
}

} // namespace

QString formatNumberText(double value, const QString& formatCode)
{
    if (std::isnan(value) || std::isinf(value))
        return u"#NUM!"_s;
    const QStringList sections = formatSections(formatCode);
    QString section = sections.value(0);
    bool dropSign = false;
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty()) {
        section = sections[1];
        dropSign = true;
    } else if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty()) {
        section = sections[2];
    }

    // Literal text before and after the number, the number's pattern between.
    QString prefix, pattern, suffix;
    bool seenNumber = false;
    QString* literal = &prefix;
    auto toLiteral = [&]() -> QString& {
        if (seenNumber)
            literal = &suffix;
        return *literal;
    };
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == u'"') {
            const qsizetype close = section.indexOf(u'"', i + 1);
            toLiteral() += section.mid(i + 1, (close < 0 ? section.size() : close) - i - 1);
            i = close < 0 ? section.size() : close;
            continue;
        }
        if (c == u'\\' && i + 1 < section.size()) {
            toLiteral() += section[++i];
            continue;
        }
        if (c == u'_' && i + 1 < section.size()) {
            ++i;
            toLiteral() += u' ';
            continue;
        }
        if (c == u'*' && i + 1 < section.size()) {
            ++i;
            continue;
        }
        if (c == u'[') {
            const qsizetype close = section.indexOf(u']', i);
            i = close < 0 ? section.size() : close;
            continue;
        }
        if (c == u'@') {
            toLiteral() += numberText(value);
            continue;
        }
        if (section.mid(i, 7).compare(u"General"_s, Qt::CaseInsensitive) == 0) {
            toLiteral() += numberText(dropSign ? std::fabs(value) : value);
            i += 6;
            continue;
        }
        const bool inPattern = seenNumber && literal == &pattern;
        const bool numeric =
            isPlaceholder(c) || c == u'.' || c == u',' || c == u'/' ||
            ((c == u'E' || c == u'e') && i + 1 < section.size() &&
             (section[i + 1] == u'+' || section[i + 1] == u'-')) ||
            (inPattern && (c == u'+' || c == u'-' || (c.isDigit() && pattern.contains(u'/')) ||
                           (c == u' ' && section.indexOf(u'/', i) > i)));
        if (numeric && literal != &suffix) {
            seenNumber = true;
            literal = &pattern;
            pattern += c;
            continue;
        }
        toLiteral() += c;
    }
    if (!seenNumber)
        return prefix + suffix;

    double v = dropSign ? std::fabs(value) : value;
    const qsizetype percents = QString(prefix + suffix).count(u'%');
    for (qsizetype i = 0; i < percents; ++i)
        v *= 100;
    if (std::isinf(v)) // a percent of a value near the largest double
        return u"#NUM!"_s;

    QString number;
    bool negative = v < 0;
    v = std::fabs(v);
    qsizetype e = -1;
    for (qsizetype i = 0; i + 1 < pattern.size() && e < 0; ++i) {
        if ((pattern[i] == u'E' || pattern[i] == u'e') && (pattern[i + 1] == u'+' || pattern[i + 1] == u'-'))
            e = i;
    }
    if (e >= 0) {
        number = scientific(v, pattern.left(e), pattern.mid(e + 2), pattern[e + 1]);
    } else if (pattern.contains(u'/')) {
        number = fractionText(v, pattern);
        negative = negative && number != u"0"_s;
    } else {
        // Commas right of the last digit placeholder scale by a thousand.
        QString p = pattern;
        while (p.endsWith(u',')) {
            p.chop(1);
            v /= 1000;
        }
        const qsizetype dot = p.indexOf(u'.');
        const QString intPattern = dot < 0 ? p : p.left(dot);
        const QString decPattern = dot < 0 ? QString() : p.mid(dot + 1);
        const int minimum = int(decPattern.count(u'0'));
        const int maximum = int(decPattern.count(u'0') + decPattern.count(u'#') + decPattern.count(u'?'));
        QString integer;
        const QString decimals = fixed(v, minimum, maximum, &integer);
        number = integerPart(integer, intPattern, intPattern.contains(u','));
        if (!decimals.isEmpty() || (dot >= 0 && decPattern.isEmpty()))
            number += u'.' + decimals;
        if (number.isEmpty())
            number = u"0"_s;
        // A value that rounds to zero shows no sign.
        negative = negative && (integer.toLongLong() != 0 || decimals.toLongLong() != 0);
    }
    return (negative ? u"-"_s : QString()) + prefix + number + suffix;
}

} // namespace Xl
