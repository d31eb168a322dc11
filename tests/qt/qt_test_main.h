#pragma once

#include "fakes/fakes.h"
#include "shell/view_commands.h"

namespace quellgate::qt::testing {

// What the application's event barrier noted.
fakes::RecordedNotes& Notes();

// What the windows ask goes nowhere.
struct NoCommands : ViewCommands {
    void OnWatchTick() override {}
    void ToggleNetwork(std::size_t) override {}
    void AddKeyword() override {}
    void RemoveSelectedKeyword() override {}
    void SetStartAtLogon(bool) override {}
    bool RequestExit() override { return false; }
    void Choose(int) override {}
    bool ChangePassword(std::string_view, std::string_view, std::string_view) override { return false; }
};

}  // namespace quellgate::qt::testing
