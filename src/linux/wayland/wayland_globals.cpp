#include "linux/wayland/wayland_globals.h"

#include <poll.h>
#include <wayland-client.h>

#include <cerrno>
#include <memory>

namespace quellgate::wayland {
namespace {

const wl_callback_listener kAnswered = {
    .done =
        [](void* data, wl_callback* callback, std::uint32_t) {
            *static_cast<bool*>(data) = true;
            wl_callback_destroy(callback);
        },
};

const wl_registry_listener kNames = {
    .global = [](void* data, wl_registry*, std::uint32_t, const char* interface,
                 std::uint32_t) { static_cast<std::vector<std::string>*>(data)->emplace_back(interface); },
    .global_remove = [](void*, wl_registry*, std::uint32_t) {},
};

}  // namespace

bool Roundtrip(wl_display* display, std::chrono::milliseconds wait) {
    bool answered = false;
    wl_callback* callback = wl_display_sync(display);
    wl_callback_add_listener(callback, &kAnswered, &answered);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (!answered && wl_display_get_error(display) == 0 && std::chrono::steady_clock::now() < deadline) {
        if (wl_display_flush(display) < 0 && errno != EAGAIN) break;
        pollfd ready{wl_display_get_fd(display), POLLIN, 0};
        // Readable, so the dispatch reads without waiting.
        if (poll(&ready, 1, 50) > 0 && wl_display_dispatch(display) < 0) break;
    }
    if (!answered) wl_callback_destroy(callback);
    return answered;
}

bool TakePending(wl_display* display) {
    while (wl_display_prepare_read(display) != 0)
        if (wl_display_dispatch_pending(display) < 0) return false;
    wl_display_flush(display);
    pollfd ready{wl_display_get_fd(display), POLLIN, 0};
    if (poll(&ready, 1, 0) <= 0) {
        wl_display_cancel_read(display);
        return false;
    }
    return wl_display_read_events(display) == 0 && wl_display_dispatch_pending(display) >= 0;
}

std::vector<std::string> OfferedInterfaces() {
    std::vector<std::string> names;
    const std::unique_ptr<wl_display, void (*)(wl_display*)> display(wl_display_connect(nullptr),
                                                                     wl_display_disconnect);
    if (!display) return names;
    const std::unique_ptr<wl_registry, void (*)(wl_registry*)> registry(
        wl_display_get_registry(display.get()), wl_registry_destroy);
    wl_registry_add_listener(registry.get(), &kNames, &names);
    if (!Roundtrip(display.get(), std::chrono::seconds(1))) names.clear();
    return names;
}

}  // namespace quellgate::wayland
