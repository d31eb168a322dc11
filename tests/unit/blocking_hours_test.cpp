// Blocking hours: the rule and its stored form, and the controller that
// follows the clock, shows the rule in force and keeps it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "blocklist/blocking_hours.h"
#include "fakes/fakes.h"

using namespace quellgate;
using namespace ::testing;

enum : std::size_t { kMon, kTue, kWed, kThu, kFri, kSat, kSun };

// Each rule with moments it blocks, and moments it does not.
TEST(BlockingHours, BlockFromTheStartMinuteToBeforeTheEndOnTheDayTheSpanStarts) {
    const struct {
        const char* stored;
        std::vector<LocalTime> blocking, free;
    } cases[] = {
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
    EXPECT_EQ(ToText(BlockingHoursFrom("sun\tmon  FRI mon 9:05-17:00 ").value()), "Mon Fri Sun 09:05-17:00");
    for (const std::string& damaged : std::initializer_list<std::string>{
             "", "never", "Mon", "09:00-17:00", "Mon 09:00", "Mon 9-17", "Mon 24:00-01:00", "Mon 09:60-10:00",
             "Monday 09:00-17:00", "Mon,Tue 09:00-17:00", "M\xCE\xBFn 09:00-17:00", "always always",
             std::string("Mon 09:00-17:00\0", 16), std::string(100000, 'M')})
        EXPECT_EQ(BlockingHoursFrom(damaged), std::nullopt) << damaged;
}

struct Hours : Test, fakes::FakeSystem {};

TEST_F(Hours, FollowTheClockAndChangeOnlyWhenAnEntryIsStored) {
    fakes::RecordingView view;
    Controller app(platform());
    const auto altHomesAt = [&](std::size_t day, int minute) {
        clock.now = {day, minute};
        const int before = desktop.altHomes;
        app.OnWatchTick();
        return desktop.altHomes - before;
    };
    settings.values = {{"A", "True"}, {"BlockingHours", "Mon 25:00-26:00"}};
    for (int i = 0; i < 3; ++i) desktop.AddWindow("Facebook - Log In");
    ASSERT_TRUE(app.Start(view));
    EXPECT_EQ(altHomesAt(kSat, 0), 3) << "a value that cannot be understood means always";
    const std::array<bool, kDaysInWeek> friday{false, false, false, false, true, false, false};
    EXPECT_FALSE(app.SetBlockingHours({false, {}, "22:00", "06:00"}));
    EXPECT_FALSE(app.SetBlockingHours({false, friday, "22", "06:00"}));
    EXPECT_TRUE(app.SetBlockingHours({false, friday, " 22:00", "6:00 "}));
    EXPECT_EQ(settings.values["BlockingHours"], "Fri 22:00-06:00");
    desktop.taps = {Key::F8};
    EXPECT_EQ(altHomesAt(kSat, 360), 1) << "outside them, F8 alone";
    EXPECT_EQ(altHomesAt(kFri, 1320) + altHomesAt(kSat, 359), 6)
        << "inside, every matching window every tick";
    EXPECT_EQ(altHomesAt(kFri, 1319), 0) << "the clock put back";
    settings.refused = {"BlockingHours"};
    EXPECT_FALSE(app.SetBlockingHours({}));
    EXPECT_EQ(altHomesAt(kMon, 720), 0) << "the stored rule stays in force";
    ASSERT_EQ(dialogs.messages.size(), 4u) << "each told once";
    EXPECT_THAT(dialogs.messages[0].text, AllOf(HasSubstr("could not understand the blocking hours"),
                                                HasSubstr("BlockingHours in\r\nthe settings store")));
    EXPECT_THAT(dialogs.messages[3].text, AllOf(HasSubstr("NOT changed"), HasSubstr("Access is denied."),
                                                HasSubstr("still \"Fri 22:00-06:00\"")));
    EXPECT_THAT(view.hoursLines,
                ElementsAre("Blocking hours: always", "Blocking hours: Fri 22:00-06:00, blocking now",
                            "Blocking hours: Fri 22:00-06:00, paused now",
                            "Blocking hours: Fri 22:00-06:00, blocking now",
                            "Blocking hours: Fri 22:00-06:00, paused now"));
}
