#include "linux/x11/x11_desktop.h"

#include <xcb/xinput.h>
#include <xcb/xtest.h>

#include <utility>

namespace quellgate::x11 {
namespace {

constexpr xcb_keysym_t kHome = 0xff50;
// Alt_L, else Meta_L, Alt_R or Meta_R: whichever the keyboard has.
constexpr std::array<xcb_keysym_t, 4> kAlts = {0xffe9, 0xffe7, 0xffea, 0xffe8};

// The watched keys, by their place in KeyWatch, and their keysyms.
constexpr std::array<std::pair<Key, xcb_keysym_t>, KeyWatch::kKeys> kWatched = {{
    {Key::F4, 0xffc1},
    {Key::F5, 0xffc2},
    {Key::F8, 0xffc5},
}};

// Asks for both extensions at once, so the key watch's question is answered
// in the same round trip as XTest's.
Connection& Prefetched(Connection& connection) {
    if (!connection.Broken()) {
        xcb_prefetch_extension_data(connection.get(), &xcb_input_id);
        xcb_prefetch_extension_data(connection.get(), &xcb_test_id);
    }
    return connection;
}

}  // namespace

X11Desktop::X11Desktop(const char* display)
    : connection_(display), windows_(connection_), keys_(Prefetched(connection_)) {
    if (connection_.Broken()) return;
    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(connection_.get(), &xcb_test_id);
    xtest_ = xtest && xtest->present;
}

void X11Desktop::DrainEvents() {
    while (const Reply<xcb_generic_event_t> event{xcb_poll_for_event(connection_.get())}) {
        const auto type = event->response_type & 0x7F;
        if (type == 0) continue;  // an error, from a window that went away while we asked about it
        if (type == XCB_MAPPING_NOTIFY) {
            if (reinterpret_cast<const xcb_mapping_notify_event_t&>(*event).request == XCB_MAPPING_KEYBOARD)
                keycodesStale_ = true;
        } else if (!keys_.OnEvent(*event)) {
            windows_.OnEvent(*event);
        }
    }
}

void X11Desktop::RefreshKeycodes() {
    if (!keycodesStale_) return;
    KeyboardMap map;
    if (!map.Load(connection_)) return;
    keycodesStale_ = false;
    for (std::size_t i = 0; i < kWatched.size(); ++i)
        watchedKeycodes_[i] = map.KeycodesOf(kWatched[i].second);
    const auto first = [](const std::vector<xcb_keycode_t>& keycodes) -> xcb_keycode_t {
        return keycodes.empty() ? 0 : keycodes.front();
    };
    home_ = first(map.KeycodesOf(kHome));
    alt_ = 0;
    for (const xcb_keysym_t alt : kAlts)
        if ((alt_ = first(map.KeycodesOf(alt))) != 0) break;
}

void X11Desktop::EnumerateWindows(const std::function<void(const TopLevelWindow&)>& visit) {
    DrainEvents();
    windows_.Refresh();
    if (connection_.Broken()) return;
    windows_.Visit(visit);
}

Outcome X11Desktop::SendAltHome() {
    DrainEvents();
    if (!IsConnected()) return Outcome::Failure("the connection to the X server is broken");
    if (!xtest_) return Outcome::Failure("the X server lacks the XTest extension");
    RefreshKeycodes();
    if (alt_ == 0 || home_ == 0) return Outcome::Failure("the keyboard has no Alt or no Home key");
    constexpr std::uint8_t kPress = XCB_KEY_PRESS, kRelease = XCB_KEY_RELEASE;
    const std::array<std::pair<std::uint8_t, xcb_keycode_t>, 4> strokes{
        {{kPress, alt_}, {kPress, home_}, {kRelease, home_}, {kRelease, alt_}}};
    for (const auto& [type, keycode] : strokes)
        xcb_test_fake_input(connection_.get(), type, keycode, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
    if (xcb_flush(connection_.get()) > 0 && IsConnected()) return Outcome::Success();
    return Outcome::Failure("the connection to the X server is broken");
}

bool X11Desktop::IsKeyPressed(Key key) {
    DrainEvents();
    if (!IsKeyWatchAvailable()) return false;
    RefreshKeycodes();
    for (std::size_t i = 0; i < kWatched.size(); ++i)
        if (kWatched[i].first == key) return keys_.Query(i, watchedKeycodes_[i]);
    return false;
}

void X11Desktop::WatchWith(std::function<void(int fd)> watch) {
    watch_ = std::move(watch);
    watch_(IsConnected() ? xcb_get_file_descriptor(connection_.get()) : -1);
}

void X11Desktop::TakeEvents() {
    DrainEvents();
    // A broken connection's descriptor reads as ready for ever.
    if (!IsConnected() && watch_) watch_(-1);
}

X11Desktop::Traffic X11Desktop::TrafficSoFar() {
    // A no-operation request's sequence number counts every request before it.
    const std::uint32_t sequence = xcb_no_operation(connection_.get()).sequence;
    ++trafficQueries_;
    return {sequence - trafficQueries_, connection_.RoundTrips()};
}

}  // namespace quellgate::x11
