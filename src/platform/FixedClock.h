#pragma once

#include "Clock.h"

namespace Platform {

// A clock that reads what it was set to.
class FixedClock final : public Clock
{
public:
    explicit FixedClock(const QDateTime& time) : m_time(time) {}
    QDateTime now() const override { return m_time; }
    void set(const QDateTime& time) { m_time = time; }

private:
    QDateTime m_time;
};

} // namespace Platform
