#include "TimeText.h"

#include <QHash>

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
    // Large listings repeat the same days and times of day: both texts are kept
    // per locale, which avoids formatting each of them again.
    thread_local QString cachedLocale;
    thread_local QString cachedFormat;
    thread_local QHash<qint64, QString> dates;
    thread_local QHash<int, QString> times;
    const QString localeName = locale.name() + u'|' + locale.bcp47Name();
    if (cachedLocale != localeName || cachedFormat.isEmpty()) {
        cachedLocale = localeName;
        cachedFormat = longTimeFormat(locale);
        dates.clear();
        times.clear();
    }
    const QDate day = time.date();
    auto date = dates.constFind(day.toJulianDay());
    if (date == dates.constEnd())
        date = dates.insert(day.toJulianDay(), locale.toString(day, QLocale::ShortFormat));
    const QTime t = time.time();
    const int second = t.msecsSinceStartOfDay() / 1000;
    if (second == 0)
        return *date;
    auto clock = times.constFind(second);
    if (clock == times.constEnd())
        clock = times.insert(second,
                             locale.toString(QTime::fromMSecsSinceStartOfDay(second * 1000), cachedFormat));
    return *date + u' ' + *clock;
}

} // namespace Platform
