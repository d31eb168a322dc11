// Blocking hours: the rule and its stored form.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "blocklist/blocking_hours.h"

using namespace quellgate;
using namespace ::testing;

enum : std::size_t { kMon, kTue, kWed, kThu, kFri, kSat, kSun };

// Each rule with moments it blocks, and moments it does not.
TEST(BlockingHours, BlockFromTheStartMinuteToBeforeTheEndOnTheDayTheSpanStarts) {
    const struct {
        const char* stored;
        std::vector<LocalTime> blocking, free;
    } cases[] = {
        {"always", {{kSun, 180}}, {}},
        {"Mon Wed 09:00-17:00", {{kWed, 540}, {kMon, 1019}}, {{kWed, 539}, {kWed, 1020}, {kTue, 720}}},
        {"Fri 22:00-06:00", {{kFri, 1320}, {kSat, 359}}, {{kSat, 360}, {kFri, 300}, {kSat, 1380}}},
        {"Sun 22:00-06:00", {{kMon, 0}}, {{kSun, 0}}},
        {"Sat 00:00-00:00", {{kSat, 0}, {kSat, 1439}}, {{kSun, 0}, {kFri, 1439}}},
        {"Wed 08:00-08:00", {{kThu, 479}}, {{kThu, 480}}}};
    for (const auto& c : cases)
        for (const bool blocks : {true, false})
            for (const LocalTime& at : blocks ? c.blocking : c.free)
                EXPECT_EQ(BlockingHoursFrom(c.stored).value().Blocks(at), blocks)
                    << c.stored << ", day " << at.day << ", minute " << at.minute;
}

TEST(BlockingHours, ReadOnlyTheStoredFormWhateverItsCaseAndBlanks) {
    EXPECT_EQ(ToText(BlockingHoursFrom(" ALWAYS\t").value()), "always");
    EXPECT_EQ(ToText(BlockingHoursFrom("sun\tmon  FRI mon 9:05-17:00 ").value()), "Mon Fri Sun 09:05-17:00");
    for (const std::string& damaged : std::initializer_list<std::string>{
             "", "never", "Mon", "09:00-17:00", "Mon 09:00", "Mon 9-17", "Mon 09:00 - 17:00",
             "Mon 24:00-01:00", "Mon 09:60-10:00", "Mon 0900-1700", "Monday 09:00-17:00",
             "Mon,Tue 09:00-17:00", "M\xCE\xBFn 09:00-17:00", "always always",
             std::string("Mon 09:00-17:00\0", 16), std::string(100000, 'M')})
        EXPECT_EQ(BlockingHoursFrom(damaged), std::nullopt) << damaged;
}
