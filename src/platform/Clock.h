#pragma once

#include <QDateTime>

namespace Platform {

// The clock the program reads; tests hand in a fixed one.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

} // namespace Platform
