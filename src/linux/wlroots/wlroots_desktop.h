#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop.h"

struct wl_display;

namespace quellgate::wlroots {

// The desktop of a Wayland compositor of the wlroots family, through a
// connection of its own: the windows from the foreign-toplevel protocol,
// Alt+Home through one virtual keyboard that lives as long as the desktop
// (a keyboard made for each keystroke loses some of them).
//
// Each call first takes the events that have come in, without waiting. No
// compositor lets a program see a key and leave it to the focused window, so
// no key ever reads as pressed here.
class WlrootsDesktop final : public Desktop {
public:
    // `display` null means $WAYLAND_DISPLAY. Waits at most a second for the
    // compositor to say what it offers.
    explicit WlrootsDesktop(const char* display = nullptr);
    ~WlrootsDesktop() override;
    WlrootsDesktop(const WlrootsDesktop&) = delete;
    WlrootsDesktop& operator=(const WlrootsDesktop&) = delete;

    void EnumerateWindows(const std::function<void(const TopLevelWindow&)>& visit) override;
    Outcome SendAltHome() override;
    bool IsKeyPressed(Key) override { return false; }

    bool IsConnected() const;
    // The interfaces it needs that the compositor does not offer, by name;
    // empty when it offers them all.
    std::vector<std::string> Missing() const;

    struct State;

private:
    void Dispatch();

    std::unique_ptr<State> state_;
};

}  // namespace quellgate::wlroots
