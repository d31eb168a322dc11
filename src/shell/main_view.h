#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/view_commands.h"

namespace quellgate {

inline constexpr int kWatchIntervalMs = 300;

// What the controller asks of the windows on screen. The main window is
// created hidden, and the program stays out of the task bar for all its run.
class MainView {
public:
    virtual ~MainView() = default;

    virtual void ShowMain() = 0;
    virtual void HideMain() = 0;
    virtual void ShowSwitch(std::size_t network, bool blocked) = 0;
    // The keyword list's rows, ready to show, in the list's order.
    virtual void ShowKeywords(const std::vector<std::string>& rows) = 0;
    virtual std::optional<std::size_t> SelectedKeyword() const = 0;
    virtual void ShowStartAtLogon(bool on) = 0;
    // The line that says which blocking hours are in force, and whether
    // blocking is paused now.
    virtual void ShowHoursInForce(std::string_view line) = 0;
    // Starts the kWatchIntervalMs timer, which calls OnWatchTick for the rest of
    // the run, also while any box is open.
    virtual void StartWatch() = 0;
    virtual void ShowSplash() = 0;
    // The modeless companions, made when first shown.
    virtual void ShowInfo() = 0;
    virtual void ShowChangePassword() = 0;
    // The blocking-hours window, filled with `entry` each time.
    virtual void ShowBlockingHours(const HoursEntry& entry) = 0;
    // Leaves the message loop; every window closes without further events.
    virtual void Terminate() = 0;
};

}  // namespace quellgate
