#include "linux/wlroots/wlroots_desktop.h"

#include <fcntl.h>
#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "foreign-toplevel-client.h"
#include "linux/system/unique_fd.h"
#include "linux/wayland/wayland_globals.h"
#include "text/utf8.h"
#include "virtual-keyboard-client.h"

namespace quellgate::wlroots {
namespace {

template <typename T, void (*Destroy)(T*)>
struct Destroyer {
    void operator()(T* object) const { Destroy(object); }
};
template <typename T, void (*Destroy)(T*)>
using Owned = std::unique_ptr<T, Destroyer<T, Destroy>>;

void DestroySeat(wl_seat* seat) { wl_seat_destroy(seat); }
void DestroyRegistry(wl_registry* registry) { wl_registry_destroy(registry); }
void DestroyManager(zwlr_foreign_toplevel_manager_v1* manager) {
    zwlr_foreign_toplevel_manager_v1_destroy(manager);
}
void DestroyHandle(zwlr_foreign_toplevel_handle_v1* handle) {
    zwlr_foreign_toplevel_handle_v1_destroy(handle);
}
void DestroyKeyboards(zwp_virtual_keyboard_manager_v1* m) { zwp_virtual_keyboard_manager_v1_destroy(m); }
void DestroyKeyboard(zwp_virtual_keyboard_v1* keyboard) { zwp_virtual_keyboard_v1_destroy(keyboard); }

std::uint32_t Milliseconds() {
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

// The default keymap, written once into a sealed memory file for the
// compositor; its Alt modifier's mask. Nothing when it has no Alt or Home.
struct Keymap {
    posix::UniqueFd file;
    std::uint32_t size = 0;
    std::uint32_t altMask = 0;
};

Keymap DefaultKeymap() {
    Keymap keymap;
    const std::unique_ptr<xkb_context, void (*)(xkb_context*)> context(xkb_context_new(XKB_CONTEXT_NO_FLAGS),
                                                                       xkb_context_unref);
    if (!context) return keymap;
    const std::unique_ptr<xkb_keymap, void (*)(xkb_keymap*)> map(
        xkb_keymap_new_from_names(context.get(), nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS), xkb_keymap_unref);
    if (!map) return keymap;
    const std::unique_ptr<xkb_state, void (*)(xkb_state*)> state(xkb_state_new(map.get()), xkb_state_unref);
    const xkb_mod_index_t alt = xkb_keymap_mod_get_index(map.get(), XKB_MOD_NAME_ALT);
    // Key codes are evdev's, offset by 8 in xkb.
    if (!state || alt == XKB_MOD_INVALID ||
        xkb_state_key_get_one_sym(state.get(), KEY_LEFTALT + 8) != XKB_KEY_Alt_L ||
        xkb_state_key_get_one_sym(state.get(), KEY_HOME + 8) != XKB_KEY_Home)
        return keymap;
    const std::unique_ptr<char, void (*)(void*)> text(
        xkb_keymap_get_as_string(map.get(), XKB_KEYMAP_FORMAT_TEXT_V1), std::free);
    if (!text) return keymap;
    const std::size_t size = std::strlen(text.get()) + 1;  // the NUL belongs to it
    posix::UniqueFd file(memfd_create("quellgate-keymap", MFD_CLOEXEC | MFD_ALLOW_SEALING));
    if (!file || write(file.get(), text.get(), size) != static_cast<ssize_t>(size)) return keymap;
    fcntl(file.get(), F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL);
    return {std::move(file), static_cast<std::uint32_t>(size), 1u << alt};
}

}  // namespace

struct WlrootsDesktop::State {
    struct Window {
        Owned<zwlr_foreign_toplevel_handle_v1, DestroyHandle> handle;
        std::string pendingTitle, title;
        bool shown = false;  // it has had its first "done"
        State* owner = nullptr;
    };

    std::unique_ptr<wl_display, void (*)(wl_display*)> display{nullptr, wl_display_disconnect};
    Owned<wl_registry, DestroyRegistry> registry;
    Owned<wl_seat, DestroySeat> seat;
    Owned<zwlr_foreign_toplevel_manager_v1, DestroyManager> windows;
    Owned<zwp_virtual_keyboard_manager_v1, DestroyKeyboards> keyboards;
    Owned<zwp_virtual_keyboard_v1, DestroyKeyboard> keyboard;
    std::vector<std::unique_ptr<Window>> listed;  // in the order they were announced
    std::uint32_t altMask = 0;
    std::string failure;

    void MakeKeyboard() {
        if (keyboard || !seat || !keyboards) return;
        Keymap keymap = DefaultKeymap();
        if (!keymap.file) {
            failure = "the default keymap has no Alt or no Home key";
            return;
        }
        keyboard.reset(zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboards.get(), seat.get()));
        zwp_virtual_keyboard_v1_keymap(keyboard.get(), WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, keymap.file.get(),
                                       keymap.size);
        altMask = keymap.altMask;
    }
};

namespace {

using State = WlrootsDesktop::State;
using Window = State::Window;

const zwlr_foreign_toplevel_handle_v1_listener kWindowEvents = {
    .title = [](void* data, zwlr_foreign_toplevel_handle_v1*,
                const char* title) { static_cast<Window*>(data)->pendingTitle = title; },
    .app_id = [](void*, zwlr_foreign_toplevel_handle_v1*, const char*) {},
    .output_enter = [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {},
    .output_leave = [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {},
    // Minimised or not, a window counts as shown, as on every desktop.
    .state = [](void*, zwlr_foreign_toplevel_handle_v1*, wl_array*) {},
    .done =
        [](void* data, zwlr_foreign_toplevel_handle_v1*) {
            auto& window = *static_cast<Window*>(data);
            window.title = SanitizeUtf8(window.pendingTitle);
            window.shown = true;
        },
    .closed =
        [](void* data, zwlr_foreign_toplevel_handle_v1*) {
            auto& listed = static_cast<Window*>(data)->owner->listed;
            std::erase_if(listed, [data](const auto& window) { return window.get() == data; });
        },
    .parent = [](void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {},
};

const zwlr_foreign_toplevel_manager_v1_listener kListEvents = {
    .toplevel =
        [](void* data, zwlr_foreign_toplevel_manager_v1*, zwlr_foreign_toplevel_handle_v1* handle) {
            auto& state = *static_cast<State*>(data);
            auto window = std::make_unique<Window>();
            window->handle.reset(handle);
            window->owner = &state;
            zwlr_foreign_toplevel_handle_v1_add_listener(handle, &kWindowEvents, window.get());
            state.listed.push_back(std::move(window));
        },
    .finished = [](void* data,
                   zwlr_foreign_toplevel_manager_v1*) { static_cast<State*>(data)->windows.reset(); },
};

const wl_registry_listener kGlobals = {
    .global =
        [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
           std::uint32_t version) {
            auto& state = *static_cast<State*>(data);
            const std::string_view offered = interface;
            if (offered == wl_seat_interface.name && !state.seat) {
                state.seat.reset(
                    static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1)));
            } else if (offered == zwlr_foreign_toplevel_manager_v1_interface.name && !state.windows) {
                state.windows.reset(static_cast<zwlr_foreign_toplevel_manager_v1*>(wl_registry_bind(
                    registry, name, &zwlr_foreign_toplevel_manager_v1_interface, std::min(version, 3u))));
                zwlr_foreign_toplevel_manager_v1_add_listener(state.windows.get(), &kListEvents, &state);
            } else if (offered == zwp_virtual_keyboard_manager_v1_interface.name && !state.keyboards) {
                state.keyboards.reset(static_cast<zwp_virtual_keyboard_manager_v1*>(
                    wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1)));
            }
            state.MakeKeyboard();
        },
    .global_remove = [](void*, wl_registry*, std::uint32_t) {},
};

}  // namespace

WlrootsDesktop::WlrootsDesktop(const char* display) : display_(display ? display : "") {
    Connect(std::chrono::seconds(1));
}

void WlrootsDesktop::Connect(std::chrono::milliseconds wait) {
    // The old objects go before the connection they belong to.
    state_.reset();
    state_ = std::make_unique<State>();
    State& state = *state_;
    state.display.reset(wl_display_connect(display_.empty() ? nullptr : display_.c_str()));
    if (state.display) {
        state.registry.reset(wl_display_get_registry(state.display.get()));
        wl_registry_add_listener(state.registry.get(), &kGlobals, &state);
        // Every global has been announced, and bound, once it has answered.
        wayland::Roundtrip(state.display.get(), wait);
    }
    if (watch_) watch_(IsConnected() ? wl_display_get_fd(state.display.get()) : -1);
}

void WlrootsDesktop::Reconnect() {
    if (IsConnected()) return;
    const auto now = std::chrono::steady_clock::now();
    if (now < nextTry_) return;
    nextTry_ = now + std::chrono::seconds(2);
    Connect(std::chrono::milliseconds(250));
}

WlrootsDesktop::~WlrootsDesktop() {
    if (!state_->display) return;
    state_->listed.clear();
    state_->keyboard.reset();
    wl_display_flush(state_->display.get());
}

bool WlrootsDesktop::IsConnected() const {
    return state_->display && wl_display_get_error(state_->display.get()) == 0;
}

std::vector<std::string> WlrootsDesktop::Missing() const {
    std::vector<std::string> missing;
    if (!state_->windows) missing.emplace_back(zwlr_foreign_toplevel_manager_v1_interface.name);
    if (!state_->keyboards) missing.emplace_back(zwp_virtual_keyboard_manager_v1_interface.name);
    if (!state_->seat) missing.emplace_back(wl_seat_interface.name);
    return missing;
}

void WlrootsDesktop::WatchWith(std::function<void(int fd)> watch) {
    watch_ = std::move(watch);
    watch_(IsConnected() ? wl_display_get_fd(state_->display.get()) : -1);
}

void WlrootsDesktop::TakeEvents() {
    if (!IsConnected()) return;
    // libwayland reads at most a few kilobytes at a time; this many reads
    // keep up with any client's renaming between two turns of the loop.
    constexpr int kReadsAtOnce = 64;
    for (int read = 0; read < kReadsAtOnce && wayland::TakePending(state_->display.get()); ++read) {
    }
    // A broken connection's descriptor reads as ready for ever.
    if (!IsConnected() && watch_) watch_(-1);
}

void WlrootsDesktop::EnumerateWindows(const std::function<void(const TopLevelWindow&)>& visit) {
    Reconnect();
    TakeEvents();
    if (!IsConnected()) return;
    for (const auto& window : state_->listed)
        if (window->shown) visit({reinterpret_cast<std::uintptr_t>(window.get()), window->title, true});
}

Outcome WlrootsDesktop::SendAltHome() {
    Reconnect();
    TakeEvents();
    if (!IsConnected()) return Outcome::Failure("the connection to the Wayland compositor is broken");
    zwp_virtual_keyboard_v1* keyboard = state_->keyboard.get();
    if (!keyboard)
        return Outcome::Failure(state_->failure.empty() ? "the compositor offers no virtual keyboard"
                                                        : state_->failure);
    const std::uint32_t now = Milliseconds();
    zwp_virtual_keyboard_v1_key(keyboard, now, KEY_LEFTALT, WL_KEYBOARD_KEY_STATE_PRESSED);
    zwp_virtual_keyboard_v1_modifiers(keyboard, state_->altMask, 0, 0, 0);
    zwp_virtual_keyboard_v1_key(keyboard, now, KEY_HOME, WL_KEYBOARD_KEY_STATE_PRESSED);
    zwp_virtual_keyboard_v1_key(keyboard, now, KEY_HOME, WL_KEYBOARD_KEY_STATE_RELEASED);
    zwp_virtual_keyboard_v1_key(keyboard, now, KEY_LEFTALT, WL_KEYBOARD_KEY_STATE_RELEASED);
    zwp_virtual_keyboard_v1_modifiers(keyboard, 0, 0, 0, 0);
    if (wl_display_flush(state_->display.get()) < 0 && errno != EAGAIN)
        return Outcome::Failure("the connection to the Wayland compositor is broken");
    return Outcome::Success();
}

}  // namespace quellgate::wlroots
