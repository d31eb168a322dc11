#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/local_clock.h"

namespace quellgate {

// What the change-password window may ask: true when it may close.
class PasswordCommands {
public:
    virtual ~PasswordCommands() = default;
    virtual bool ChangePassword(std::string_view oldPassword, std::string_view newPassword,
                                std::string_view retyped) = 0;
};

// What the blocking-hours window holds: Always or Only on, the day boxes
// Monday first, and the two times as typed.
struct HoursEntry {
    bool always = true;
    std::array<bool, kDaysInWeek> days{};
    std::string from, to;
};

// What the blocking-hours window may ask: true when it may close.
class HoursCommands {
public:
    virtual ~HoursCommands() = default;
    virtual bool SetBlockingHours(const HoursEntry& entry) = 0;
};

// What the windows may ask of the controller: the user's actions and the
// watch timer's tick. Each window is given it when it is made.
class ViewCommands : public PasswordCommands, public HoursCommands {
public:
    // Every kWatchIntervalMs, from StartWatch on.
    virtual void OnWatchTick() = 0;
    virtual void ToggleNetwork(std::size_t network) = 0;
    virtual void AddKeyword() = 0;             // asks for it
    virtual void RemoveSelectedKeyword() = 0;  // the one selected in the view
    virtual void SetStartAtLogon(bool on) = 0;
    // A request to close the main window, whatever its source. True when the
    // user confirmed and the program is ending.
    virtual bool RequestExit() = 0;
    // A menu entry of layout::kProgramMenu or layout::kInfoMenu, by its id.
    virtual void Choose(int menuEntry) = 0;
};

}  // namespace quellgate
