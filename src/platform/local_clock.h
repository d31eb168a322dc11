#pragma once

#include <cstddef>

namespace quellgate {

inline constexpr std::size_t kDaysInWeek = 7;

// A moment of the week on the local clock.
struct LocalTime {
    std::size_t day;  // 0 for Monday to 6 for Sunday
    int minute;       // of the day, 0 to 1439
};

// The computer's clock in the user's time zone, daylight-saving time included,
// asked afresh each time: the clock may be changed at any moment.
class LocalClock {
public:
    virtual ~LocalClock() = default;
    virtual LocalTime Now() const = 0;
};

}  // namespace quellgate
