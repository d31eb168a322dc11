#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/local_clock.h"
#include "platform/outcome.h"
#include "platform/settings_store.h"

namespace quellgate {

// Monday first, as the stored form and the windows name them.
inline constexpr std::array<std::string_view, kDaysInWeek> kDayNames = {"Mon", "Tue", "Wed", "Thu",
                                                                        "Fri", "Sat", "Sun"};
inline constexpr int kMinutesInDay = 24 * 60;

// When the scan may send Alt+Home: always, or on chosen days from a start to
// an end minute of the day. The start minute blocks, the end minute does not.
// An end before the start runs past midnight and belongs to the day it
// starts on; an end equal to the start makes it the whole 24 hours from the
// start, so 00:00-00:00 blocks the chosen days whole.
struct BlockingHours {
    bool always = true;
    std::array<bool, kDaysInWeek> days{};
    int start = 0, end = 0;

    bool Blocks(LocalTime now) const;
    bool operator==(const BlockingHours&) const = default;
};

// What the hours window offers while the rule in force is `always`.
inline constexpr BlockingHours kWorkingHours{
    false, {true, true, true, true, true, false, false}, 9 * 60, 17 * 60};

// The stored form, which a person can read and write: "always", or the days'
// names and the span, "Mon Tue Wed Thu Fri 09:00-17:00".
std::string ToText(const BlockingHours& hours);
// Case and runs of blanks aside, only what ToText writes; nothing for
// anything else, a rule without a day included.
std::optional<BlockingHours> BlockingHoursFrom(std::string_view text);

// "HH:MM" (or "H:MM") on the 24-hour clock, blanks around it aside, and back.
std::optional<int> MinuteOfDay(std::string_view text);
std::string TimeOfDay(int minute);

// The rule is kept as one string value beside the switches.
inline constexpr std::string_view kBlockingHoursSetting = "BlockingHours";
// No value means always; nothing when a value is there that cannot be understood.
std::optional<BlockingHours> LoadBlockingHours(const SettingsStore& store);
Outcome StoreBlockingHours(SettingsStore& store, const BlockingHours& hours);

}  // namespace quellgate
