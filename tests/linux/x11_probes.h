#pragma once

#include <sys/types.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "linux/xcb_handles.h"
#include "platform/desktop.h"

namespace quellgate::x11::testing {

using namespace std::chrono_literals;

inline constexpr xcb_keysym_t kF4 = 0xffc1, kF5 = 0xffc2, kF8 = 0xffc5, kHome = 0xff50;

// An xcb reply, freed when it goes.
template <typename T>
x11::Reply<T> Take(T* reply) {
    return x11::Reply<T>(reply);
}

// Polls until the condition holds; false when the time runs out.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s);

// $DISPLAY, for tests that need openbox: run them through tools/with-x11.sh.
std::string SharedDisplay();

// An Xvfb of the test's own, on a display number it chooses itself.
class PrivateServer {
public:
    explicit PrivateServer(const std::vector<std::string>& options = {});
    ~PrivateServer() { Stop(); }
    PrivateServer(const PrivateServer&) = delete;
    PrivateServer& operator=(const PrivateServer&) = delete;

    const std::string& Display() const { return display_; }
    void Stop();

private:
    pid_t pid_ = -1;
    std::string display_;
};

// One connection of the test's own.
class Client {
public:
    explicit Client(const std::string& display);

    xcb_connection_t* get() const { return connection_.get(); }
    xcb_window_t Root() const { return root_; }
    xcb_atom_t Atom(std::string_view name) const;
    void Sync() const;  // one round trip: the server has done all asked so far

    void SetProperty(xcb_window_t window, std::string_view property, xcb_atom_t type, std::uint8_t format,
                     std::uint32_t count, const void* data) const;
    void SetText(xcb_window_t window, std::string_view property, std::string_view type,
                 std::string_view text) const;
    void SetWindows(xcb_window_t window, std::string_view property,
                    const std::vector<xcb_window_t>& ids) const;
    // A property's 32-bit items; none when it is missing or of another format.
    std::vector<std::uint32_t> Words(xcb_window_t window, std::string_view property) const;
    bool Exists(xcb_window_t window) const;
    // Sends a client message to the window manager about the window.
    void AskWindowManager(xcb_window_t window, std::string_view message, std::uint32_t first,
                          std::uint32_t second = 0) const;

    // The keyboard: keys go through XTest, like a keyboard's.
    std::vector<xcb_keysym_t> Keysyms(xcb_keycode_t keycode) const;
    void SetKeysyms(xcb_keycode_t keycode, const std::vector<xcb_keysym_t>& keysyms) const;
    xcb_keycode_t KeycodeOf(xcb_keysym_t keysym) const;  // the first that gives it unshifted
    xcb_keycode_t UnusedKeycode() const;
    void Key(xcb_keysym_t keysym, bool press) const;
    void Click(int x, int y) const;  // the first button, at a place on the root

private:
    struct Disconnect {
        void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
    };
    std::unique_ptr<xcb_connection_t, Disconnect> connection_;
    xcb_window_t root_ = XCB_WINDOW_NONE;
};

// A top-level window on a connection of its own, which counts the keys it gets.
class Probe {
public:
    Probe(const std::string& display, std::optional<std::string> caption);

    xcb_window_t Id() const { return window_; }
    Client& Connection() { return client_; }

    void Map();       // returns once it is mapped
    void Iconify();   // through the window manager; returns once WM_STATE says Iconic
    void Withdraw();  // the program unmaps it
    void Activate();  // through the window manager; returns once it has the focus. Renames it.

    // Reads the events that came in.
    void Pump();
    int altHomes = 0;  // Home pressed with Alt held
    int f5Presses = 0;

private:
    Client client_;
    xcb_window_t window_ = XCB_WINDOW_NONE;
    xcb_atom_t visibleName_ = XCB_ATOM_NONE;
    bool mapped_ = false;
    bool visibleNameSet_ = false;
};

using Listing = std::map<xcb_window_t, TopLevelWindow>;
Listing ListByWindow(Desktop& desktop);
std::vector<xcb_window_t> ListOrder(Desktop& desktop);

// Lists until every window is seen as expected ("absent", or "shown" or
// "hidden" and the caption in quotes), or time runs out; then checks the last
// listing, window by window.
void ExpectListed(Desktop& desktop, const std::vector<std::pair<xcb_window_t, std::string>>& expected);

}  // namespace quellgate::x11::testing
