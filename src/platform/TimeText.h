#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace Platform {

// Date and time texts as the desktop shows them: the locale's short date, a
// space and its long time without a time-zone name; exactly midnight shows the
// date alone. A Chinese locale writes the hour without a leading zero
// (2013/10/17 9:05:30), as Chinese desktops do.
QString dateTimeText(const QDateTime& time, const QLocale& locale = QLocale());
QString longTimeFormat(const QLocale& locale);

} // namespace Platform
