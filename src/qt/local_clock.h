#pragma once

#include <QDateTime>

#include "platform/local_clock.h"

namespace quellgate::qt {

class QtLocalClock : public LocalClock {
public:
    LocalTime Now() const override {
        const QDateTime now = QDateTime::currentDateTime();
        // Qt counts the days from 1 for Monday.
        return {static_cast<std::size_t>(now.date().dayOfWeek() - 1),
                now.time().hour() * 60 + now.time().minute()};
    }
};

}  // namespace quellgate::qt
