#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "linux/system/event_source.h"
#include "platform/desktop.h"

struct wl_display;

namespace quellgate::wlroots {

// The desktop of a Wayland compositor of the wlroots family, through a
// connection of its own: the windows from the foreign-toplevel protocol,
// Alt+Home through one virtual keyboard that lives as long as the desktop
// (a keyboard made for each keystroke loses some of them).
//
// The list follows the compositor's events as they arrive; a listing takes
// what is pending too, without waiting, so a quiet tick costs no round trip.
// A compositor drops a client that falls too far behind its events: the
// connection is then made anew, at most every two seconds, and the windows
// are announced again. No compositor lets a program see a key and leave it
// to the focused window, so no key ever reads as pressed here.
class WlrootsDesktop final : public Desktop, public posix::EventSource {
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

    void WatchWith(std::function<void(int fd)> watch) override;
    void TakeEvents() override;

    bool IsConnected() const;
    // The interfaces it needs that the compositor does not offer, by name;
    // empty when it offers them all.
    std::vector<std::string> Missing() const;

    struct State;

private:
    // A fresh connection, waiting for the compositor's answer until `wait` is over.
    void Connect(std::chrono::milliseconds wait);
    // After a broken connection, a new one when the last try is long enough ago.
    void Reconnect();

    std::string display_;  // empty: $WAYLAND_DISPLAY
    std::unique_ptr<State> state_;
    std::function<void(int fd)> watch_;
    std::chrono::steady_clock::time_point nextTry_;
};

}  // namespace quellgate::wlroots
