#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "linux/system/event_source.h"
#include "linux/x11/keyboard.h"
#include "linux/x11/window_list.h"
#include "linux/x11/xcb_handles.h"
#include "platform/desktop.h"

namespace quellgate::x11 {

// The desktop of an X server, through a connection of its own.
//
// Events are taken as they arrive, and again, without waiting, before a
// listing, a keystroke or a key query; the window list and the key states
// follow from them,
// so on a quiet desktop a tick sends the server nothing but the keystrokes.
// When the connection breaks, nothing is listed, sent or seen pressed.
class X11Desktop final : public Desktop, public posix::EventSource {
public:
    // `display` null means $DISPLAY.
    explicit X11Desktop(const char* display = nullptr);

    void EnumerateWindows(const std::function<void(const TopLevelWindow&)>& visit) override;
    Outcome SendAltHome() override;
    bool IsKeyPressed(Key key) override;

    void WatchWith(std::function<void(int fd)> watch) override;
    void TakeEvents() override;

    bool IsConnected() const { return !connection_.Broken(); }
    // False on a server without XInput 2: F4, F5 and F8 then never read as pressed.
    bool IsKeyWatchAvailable() const { return IsConnected() && keys_.Available(); }
    // False on a server without XTest: SendAltHome then always fails.
    bool CanSendKeystrokes() const { return IsConnected() && xtest_; }
    // True while an EWMH window manager's client list is the window list.
    bool ListsWindowManagerClients() const { return windows_.FromWindowManager(); }

    // What the connection has cost so far, for measurements: requests sent
    // (this call's own excluded) and waits for replies.
    struct Traffic {
        std::uint64_t requests = 0;
        std::uint64_t roundTrips = 0;
    };
    Traffic TrafficSoFar();

private:
    void DrainEvents();
    void RefreshKeycodes();

    Connection connection_;
    WindowList windows_;
    KeyWatch keys_;
    bool xtest_ = false;
    bool keycodesStale_ = true;
    std::array<std::vector<xcb_keycode_t>, KeyWatch::kKeys> watchedKeycodes_;
    xcb_keycode_t alt_ = 0;
    xcb_keycode_t home_ = 0;
    std::uint64_t trafficQueries_ = 0;
    std::function<void(int fd)> watch_;
};

}  // namespace quellgate::x11
