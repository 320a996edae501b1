#pragma once

#include "Clock.h"

namespace Platform {

// The machine's own clock.
class SystemClock final : public Clock
{
public:
    QDateTime now() const override;
};

} // namespace Platform
