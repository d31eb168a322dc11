#include "x11_probes.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace quellgate::x11::testing {
namespace {

[[noreturn]] void Fail(const std::string& why) { throw std::runtime_error(why); }

// The whole keyboard map, one row of keysyms a keycode.
struct KeyMap {
    xcb_keycode_t first = 0;
    std::size_t columns = 0;
    std::vector<xcb_keysym_t> keysyms;

    explicit KeyMap(xcb_connection_t* c) {
        const xcb_setup_t* setup = xcb_get_setup(c);
        first = setup->min_keycode;
        const auto count = static_cast<std::uint8_t>(setup->max_keycode - first + 1);
        auto map =
            Take(xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, first, count), nullptr));
        if (!map) Fail("no keyboard mapping");
        const xcb_keysym_t* all = xcb_get_keyboard_mapping_keysyms(map.get());
        keysyms.assign(all, all + xcb_get_keyboard_mapping_keysyms_length(map.get()));
        columns = map->keysyms_per_keycode;
    }
    std::vector<xcb_keysym_t> Row(xcb_keycode_t keycode) const {
        const auto begin = keysyms.begin() + static_cast<std::ptrdiff_t>((keycode - first) * columns);
        return {begin, begin + static_cast<std::ptrdiff_t>(columns)};
    }
    xcb_keycode_t Find(const std::function<bool(const std::vector<xcb_keysym_t>&)>& wanted) const {
        for (std::size_t keycode = first + keysyms.size() / columns; keycode-- > first;)
            if (wanted(Row(static_cast<xcb_keycode_t>(keycode)))) return static_cast<xcb_keycode_t>(keycode);
        Fail("no such key");
    }
};

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

std::string SharedDisplay() {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) Fail("DISPLAY is not set: run these tests through tools/with-x11.sh");
    return display;
}

PrivateServer::PrivateServer(const std::vector<std::string>& options) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) Fail("pipe2 failed");
    fcntl(fds[1], F_SETFD, 0);  // Xvfb writes its display number here
    std::vector<std::string> arguments{"Xvfb",      "-displayfd", std::to_string(fds[1]),
                                       "-nolisten", "tcp",        "-noreset",
                                       "-screen",   "0",          "640x480x24"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp(&pid_, "Xvfb", &quiet, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&quiet);
    close(fds[1]);
    pollfd wait{fds[0], POLLIN, 0};
    char c = 0;
    while (pid_ > 0 && poll(&wait, 1, 20000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') display_ += c;
    close(fds[0]);
    if (display_.empty()) {
        Stop();
        Fail("Xvfb did not start");
    }
    display_.insert(0, ":");
}

void PrivateServer::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

Client::Client(const std::string& display) : connection_(xcb_connect(display.c_str(), nullptr)) {
    if (xcb_connection_has_error(get())) Fail("cannot connect to " + display);
    root_ = xcb_setup_roots_iterator(xcb_get_setup(get())).data->root;
}

xcb_atom_t Client::Atom(std::string_view name) const {
    auto reply = Take(xcb_intern_atom_reply(
        get(), xcb_intern_atom(get(), 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr));
    if (!reply) Fail("cannot intern " + std::string(name));
    return reply->atom;
}

void Client::Sync() const {
    std::free(xcb_get_input_focus_reply(get(), xcb_get_input_focus(get()), nullptr));
}

void Client::SetProperty(xcb_window_t window, std::string_view property, xcb_atom_t type, std::uint8_t format,
                         std::uint32_t count, const void* data) const {
    xcb_change_property(get(), XCB_PROP_MODE_REPLACE, window, Atom(property), type, format, count, data);
    Sync();
}

void Client::SetText(xcb_window_t window, std::string_view property, std::string_view type,
                     std::string_view text) const {
    SetProperty(window, property, Atom(type), 8, static_cast<std::uint32_t>(text.size()), text.data());
}

void Client::SetWindows(xcb_window_t window, std::string_view property,
                        const std::vector<xcb_window_t>& ids) const {
    SetProperty(window, property, XCB_ATOM_WINDOW, 32, static_cast<std::uint32_t>(ids.size()), ids.data());
}

std::vector<std::uint32_t> Client::Words(xcb_window_t window, std::string_view property) const {
    auto reply = Take(xcb_get_property_reply(
        get(), xcb_get_property(get(), 0, window, Atom(property), XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
        nullptr));
    if (!reply || reply->format != 32) return {};
    const auto* words = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return {words, words + xcb_get_property_value_length(reply.get()) / 4};
}

bool Client::Exists(xcb_window_t window) const {
    return Take(xcb_get_window_attributes_reply(get(), xcb_get_window_attributes(get(), window), nullptr)) !=
           nullptr;
}

void Client::AskWindowManager(xcb_window_t window, std::string_view message, std::uint32_t first,
                              std::uint32_t second) const {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = Atom(message);
    event.data.data32[0] = first;
    event.data.data32[1] = second;
    xcb_send_event(get(), 0, root_, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(get());
}

std::vector<xcb_keysym_t> Client::Keysyms(xcb_keycode_t keycode) const { return KeyMap(get()).Row(keycode); }

void Client::SetKeysyms(xcb_keycode_t keycode, const std::vector<xcb_keysym_t>& keysyms) const {
    xcb_change_keyboard_mapping(get(), 1, keycode, static_cast<std::uint8_t>(keysyms.size()), keysyms.data());
    Sync();
}

xcb_keycode_t Client::KeycodeOf(xcb_keysym_t keysym) const {
    return KeyMap(get()).Find([keysym](const auto& row) { return row.front() == keysym; });
}

xcb_keycode_t Client::UnusedKeycode() const {
    return KeyMap(get()).Find([](const auto& row) {
        return std::all_of(row.begin(), row.end(), [](xcb_keysym_t k) { return k == XCB_NO_SYMBOL; });
    });
}

void Client::Key(xcb_keysym_t keysym, bool press) const {
    xcb_test_fake_input(get(), press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, KeycodeOf(keysym), XCB_CURRENT_TIME,
                        XCB_WINDOW_NONE, 0, 0, 0);
    Sync();
}

void Client::Click(int x, int y) const {
    xcb_test_fake_input(get(), XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root_, static_cast<std::int16_t>(x),
                        static_cast<std::int16_t>(y), 0);
    for (const int type : {XCB_BUTTON_PRESS, XCB_BUTTON_RELEASE})
        xcb_test_fake_input(get(), static_cast<std::uint8_t>(type), 1, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0,
                            0, 0);
    Sync();
}

Probe::Probe(const std::string& display, std::optional<std::string> caption) : client_(display) {
    xcb_connection_t* c = client_.get();
    window_ = xcb_generate_id(c);
    const std::uint32_t events =
        XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window_, client_.Root(), 0, 0, 200, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    if (caption) client_.SetText(window_, "_NET_WM_NAME", "UTF8_STRING", *caption);
    visibleName_ = client_.Atom("_NET_WM_VISIBLE_NAME");
    client_.Sync();
}

void Probe::Map() {
    xcb_map_window(client_.get(), window_);
    xcb_flush(client_.get());
    if (!WaitUntil([&] { return Pump(), mapped_; })) Fail("the probe was not mapped");
}

void Probe::Iconify() {
    client_.AskWindowManager(window_, "WM_CHANGE_STATE", 3);  // IconicState
    if (!WaitUntil([&] { return client_.Words(window_, "WM_STATE") == std::vector<std::uint32_t>{3, 0}; }))
        Fail("the probe was not iconified");
}

void Probe::Withdraw() {
    xcb_unmap_window(client_.get(), window_);
    xcb_flush(client_.get());
    if (!WaitUntil([&] { return Pump(), !mapped_; })) Fail("the probe was not unmapped");
}

void Probe::Activate() {
    client_.AskWindowManager(window_, "_NET_ACTIVE_WINDOW", 2);  // from a pager: no focus-stealing prevention
    // The manager may still owe an earlier window the focus it gives new
    // windows, so the focus counts only once the manager has caught up: it
    // answers a caption with the name it shows, in turn.
    visibleNameSet_ = false;
    client_.SetText(window_, "_NET_WM_NAME", "UTF8_STRING", "Focus wanted");
    if (!WaitUntil([&] { return Pump(), visibleNameSet_; })) Fail("the window manager did not answer");
    // When a window has just gone, openbox may hand the focus on only after
    // it has answered.
    const bool focused = WaitUntil([&] {
        auto focus =
            Take(xcb_get_input_focus_reply(client_.get(), xcb_get_input_focus(client_.get()), nullptr));
        return focus && focus->focus == window_;
    });
    if (!focused) Fail("the window manager did not focus the probe");
}

void Probe::Pump() {
    while (auto event = Take(xcb_poll_for_event(client_.get()))) {
        const auto type = event->response_type & 0x7F;
        if (type == XCB_PROPERTY_NOTIFY &&
            reinterpret_cast<const xcb_property_notify_event_t&>(*event).atom == visibleName_)
            visibleNameSet_ = true;
        if (type == XCB_MAP_NOTIFY || type == XCB_UNMAP_NOTIFY) mapped_ = type == XCB_MAP_NOTIFY;
        if (type != XCB_KEY_PRESS) continue;
        const auto& key = reinterpret_cast<const xcb_key_press_event_t&>(*event);
        const xcb_keysym_t keysym = client_.Keysyms(key.detail).front();
        altHomes += keysym == kHome && (key.state & XCB_MOD_MASK_1);
        f5Presses += keysym == kF5;
    }
}

Listing ListByWindow(Desktop& desktop) {
    Listing windows;
    desktop.EnumerateWindows(
        [&](const TopLevelWindow& window) { windows[static_cast<xcb_window_t>(window.handle)] = window; });
    return windows;
}

std::vector<xcb_window_t> ListOrder(Desktop& desktop) {
    std::vector<xcb_window_t> order;
    desktop.EnumerateWindows(
        [&](const TopLevelWindow& window) { order.push_back(static_cast<xcb_window_t>(window.handle)); });
    return order;
}

void ExpectListed(Desktop& desktop, const std::vector<std::pair<xcb_window_t, std::string>>& expected) {
    Listing listing;
    const auto seen = [&](xcb_window_t window) -> std::string {
        const auto found = listing.find(window);
        if (found == listing.end()) return "absent";
        return (found->second.visible ? "shown \"" : "hidden \"") + found->second.caption + "\"";
    };
    WaitUntil([&] {
        listing = ListByWindow(desktop);
        return std::all_of(expected.begin(), expected.end(),
                           [&](const auto& w) { return seen(w.first) == w.second; });
    });
    for (const auto& [window, wanted] : expected) EXPECT_EQ(seen(window), wanted) << "window " << window;
}

}  // namespace quellgate::x11::testing
