#include "SystemClock.h"

namespace Platform {

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

} // namespace Platform
