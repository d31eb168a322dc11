#pragma once

#include <functional>
#include <string>

#include "linux/kwin/fake_input_grant.h"
#include "linux/kwin/fake_keyboard.h"
#include "linux/kwin/script_windows.h"
#include "platform/desktop.h"

namespace quellgate::kwin {

// KDE Plasma's Wayland desktop: the windows from a script inside KWin
// (script_windows.h), Alt+Home through KWin's fake input (fake_keyboard.h),
// granted by a desktop entry (fake_input_grant.h). Made once the application
// exists, whose event loop carries both. No program can see a key there and
// leave it to the focused window, so no key ever reads as pressed.
class KWinDesktop final : public Desktop {
public:
    KWinDesktop();

    void EnumerateWindows(const std::function<void(const TopLevelWindow&)>& visit) override {
        windows_.Visit(visit);
    }
    Outcome SendAltHome() override { return keyboard_.Press(); }
    bool IsKeyPressed(Key) override { return false; }

    // What keeps it from listing windows or sending keys, in words; empty
    // when nothing does.
    const std::string& ScriptFailure() const { return windows_.Failure(); }
    std::string KeystrokeFailure() const;

private:
    explicit KWinDesktop(const FakeInputGrant& grant);

    std::string grantFailure_;
    ScriptWindows windows_;
    FakeKeyboard keyboard_;
};

}  // namespace quellgate::kwin
