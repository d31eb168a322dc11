#pragma once

#include "platform/local_clock.h"
#include "win32/windows_api.h"

namespace quellgate::win32 {

class WinLocalClock : public LocalClock {
public:
    LocalTime Now() const override {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        // Windows counts the days from Sunday.
        return {(now.wDayOfWeek + kDaysInWeek - 1) % kDaysInWeek, now.wHour * 60 + now.wMinute};
    }
};

}  // namespace quellgate::win32
