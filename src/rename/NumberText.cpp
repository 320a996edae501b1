#include "NumberText.h"

#include <algorithm>
#include <limits>

namespace Rename {

qint64 numericValue(QStringView text)
{
    qsizetype i = 0;
    const bool negative = !text.isEmpty() && text[0] == u'-';
    if (negative)
        ++i;
    constexpr qint64 limit = std::numeric_limits<qint64>::max();
    qint64 value = 0;
    bool saturated = false;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            break;
        const int digit = c - u'0';
        if (!saturated && value > (limit - digit) / 10)
            saturated = true;
        if (!saturated)
            value = value * 10 + digit;
    }
    if (saturated)
        return negative ? std::numeric_limits<qint64>::min() : limit;
    return negative ? -value : value;
}

int toInt16(qint64 value)
{
    return int(std::clamp<qint64>(value, -32768, 32767));
}

QString formatNumber(qint64 n, int digits)
{
    // The magnitude as unsigned, so the most negative value has one too.
    const quint64 magnitude = n < 0 ? quint64(0) - quint64(n) : quint64(n);
    QString text = QString::number(magnitude);
    if (digits > text.size())
        text.prepend(QString(digits - text.size(), u'0'));
    if (n < 0)
        text.prepend(u'-');
    return text;
}

} // namespace Rename
