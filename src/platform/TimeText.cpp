#include "TimeText.h"

using namespace Qt::Literals::StringLiterals;

namespace Platform {

QString longTimeFormat(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    // Drop the time-zone name ("t" and its longer forms) outside quoted text.
    QString cleaned;
    bool quoted = false;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format.at(i);
        if (c == u'\'') {
            quoted = !quoted;
            cleaned += c;
            ++i;
            continue;
        }
        if (!quoted && c == u't') {
            while (i < format.size() && format.at(i) == u't')
                ++i;
            continue;
        }
        cleaned += c;
        ++i;
    }
    format = cleaned.simplified();
    if (locale.language() == QLocale::Chinese && format.startsWith(u"HH"_s))
        format.remove(0, 1);
    return format;
}

QString dateTimeText(const QDateTime& time, const QLocale& locale)
{
    if (!time.isValid())
        return {};
    const QString date = locale.toString(time.date(), QLocale::ShortFormat);
    const QTime t = time.time();
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0)
        return date;
    // Deriving the format parses the locale's pattern; large listings reuse it.
    static QString cachedLocale;
    static QString cachedFormat;
    if (cachedLocale != locale.bcp47Name() || cachedFormat.isEmpty()) {
        cachedLocale = locale.bcp47Name();
        cachedFormat = longTimeFormat(locale);
    }
    return date + u' ' + locale.toString(t, cachedFormat);
}

} // namespace Platform
