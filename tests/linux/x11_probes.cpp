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
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace quellgate::x11::testing {
namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;
template <typename T>
Reply<T> Take(T* reply) {
    return Reply<T>(reply, &std::free);
}

[[noreturn]] void Fail(const std::string& why) { throw std::runtime_error(why); }

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
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        pid_ = -1;
        Fail("cannot start Xvfb");
    }
    std::string number;
    pollfd wait{fds[0], POLLIN, 0};
    char c = 0;
    while (poll(&wait, 1, 20000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) {
        Stop();
        Fail("Xvfb did not say its display");
    }
    display_ = ":" + number;
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

std::optional<std::uint32_t> Client::WmState(xcb_window_t window) const {
    const xcb_atom_t state = Atom("WM_STATE");
    auto reply =
        Take(xcb_get_property_reply(get(), xcb_get_property(get(), 0, window, state, state, 0, 2), nullptr));
    if (!reply || xcb_get_property_value_length(reply.get()) < 4) return std::nullopt;
    return *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
}

bool Client::Exists(xcb_window_t window) const {
    return Take(xcb_get_window_attributes_reply(get(), xcb_get_window_attributes(get(), window), nullptr)) !=
           nullptr;
}

xcb_keycode_t Client::KeycodeOf(xcb_keysym_t keysym) const {
    const xcb_setup_t* setup = xcb_get_setup(get());
    const auto count = static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1);
    auto map = Take(xcb_get_keyboard_mapping_reply(
        get(), xcb_get_keyboard_mapping(get(), setup->min_keycode, count), nullptr));
    if (!map) Fail("no keyboard mapping");
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(map.get());
    for (int row = 0; row < count; ++row)
        if (keysyms[row * map->keysyms_per_keycode] == keysym)
            return static_cast<xcb_keycode_t>(setup->min_keycode + row);
    Fail("no keycode gives keysym " + std::to_string(keysym));
}

xcb_keycode_t Client::UnusedKeycode() const {
    const xcb_setup_t* setup = xcb_get_setup(get());
    for (int keycode = setup->max_keycode; keycode >= setup->min_keycode; --keycode) {
        const auto keysyms = Keysyms(static_cast<xcb_keycode_t>(keycode));
        if (std::all_of(keysyms.begin(), keysyms.end(), [](xcb_keysym_t k) { return k == XCB_NO_SYMBOL; }))
            return static_cast<xcb_keycode_t>(keycode);
    }
    Fail("every keycode is in use");
}

xcb_keysym_t Client::KeysymOf(xcb_keycode_t keycode) const {
    const auto keysyms = Keysyms(keycode);
    return keysyms.empty() ? XCB_NO_SYMBOL : keysyms.front();
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

std::vector<xcb_keysym_t> Client::Keysyms(xcb_keycode_t keycode) const {
    auto reply =
        Take(xcb_get_keyboard_mapping_reply(get(), xcb_get_keyboard_mapping(get(), keycode, 1), nullptr));
    if (!reply) Fail("no keyboard mapping");
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply.get());
    return {keysyms, keysyms + xcb_get_keyboard_mapping_keysyms_length(reply.get())};
}

void Client::SetKeysyms(xcb_keycode_t keycode, std::vector<xcb_keysym_t> keysyms) const {
    xcb_change_keyboard_mapping(get(), 1, keycode, static_cast<std::uint8_t>(keysyms.size()), keysyms.data());
    Sync();
}

Probe::Probe(const std::string& display, std::optional<std::string> caption) : client_(display) {
    xcb_connection_t* c = client_.get();
    window_ = xcb_generate_id(c);
    const std::uint32_t events = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                                 XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_FOCUS_CHANGE |
                                 XCB_EVENT_MASK_PROPERTY_CHANGE;
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
    SendToWindowManager("WM_CHANGE_STATE", 3);  // IconicState
    if (!WaitUntil([&] { return client_.WmState(window_) == 3u; })) Fail("the probe was not iconified");
}

void Probe::Withdraw() {
    xcb_unmap_window(client_.get(), window_);
    xcb_flush(client_.get());
    if (!WaitUntil([&] { return Pump(), !mapped_; })) Fail("the probe was not unmapped");
}

void Probe::SendToWindowManager(std::string_view message, std::uint32_t data) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window_;
    event.type = client_.Atom(message);
    event.data.data32[0] = data;
    xcb_send_event(client_.get(), 0, client_.Root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(client_.get());
}

void Probe::Activate() {
    SendToWindowManager("_NET_ACTIVE_WINDOW", 2);  // from a pager: no focus-stealing prevention
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
        if (type == XCB_FOCUS_IN || type == XCB_FOCUS_OUT) {
            const auto& f = reinterpret_cast<const xcb_focus_in_event_t&>(*event);
            history += (type == XCB_FOCUS_IN ? " in" : " out") + std::to_string(f.mode) + "/" +
                       std::to_string(f.detail);
        }
        if (type == XCB_PROPERTY_NOTIFY &&
            reinterpret_cast<const xcb_property_notify_event_t&>(*event).atom == visibleName_)
            visibleNameSet_ = true;
        if (type == XCB_MAP_NOTIFY) mapped_ = true;
        if (type == XCB_UNMAP_NOTIFY) mapped_ = false;
        if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) continue;
        const auto& key = reinterpret_cast<const xcb_key_press_event_t&>(*event);
        const xcb_keysym_t keysym = client_.KeysymOf(key.detail);
        history +=
            (type == XCB_KEY_PRESS ? " +" : " -") + std::to_string(keysym) + "/" + std::to_string(key.state);
        if (type == XCB_KEY_PRESS) {
            if (keysym == kHome && (key.state & XCB_MOD_MASK_1)) ++altHomes;
            if (keysym == kF5) ++f5Presses;
        } else {
            if (keysym == kAltL) ++altReleases;
            if (keysym == kF5) ++f5Releases;
        }
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

std::string Seen(const Listing& listing, xcb_window_t window) {
    const auto found = listing.find(window);
    if (found == listing.end()) return "absent";
    return (found->second.visible ? "shown \"" : "hidden \"") + found->second.caption + "\"";
}

void ExpectListed(Desktop& desktop, const std::vector<std::pair<xcb_window_t, std::string>>& expected) {
    Listing listing;
    WaitUntil([&] {
        listing = ListByWindow(desktop);
        return std::all_of(expected.begin(), expected.end(),
                           [&](const auto& window) { return Seen(listing, window.first) == window.second; });
    });
    for (const auto& [window, seen] : expected) EXPECT_EQ(Seen(listing, window), seen) << "window " << window;
}

}  // namespace quellgate::x11::testing
