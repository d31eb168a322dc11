#pragma once

#include <chrono>
#include <string>
#include <vector>

struct wl_display;

namespace quellgate::wayland {

// Waits at most `wait` for the compositor to have answered all that was
// asked of it, handling its events meanwhile; whether it did.
bool Roundtrip(wl_display* display, std::chrono::milliseconds wait);

// Sends what was asked, and reads and handles what the compositor has sent,
// without waiting; whether anything had come. What is never read piles up at
// the compositor's end until it drops the connection.
bool TakePending(wl_display* display);

// The interfaces the compositor of $WAYLAND_DISPLAY offers this program, by
// name; none when it cannot be reached or does not answer within a second.
std::vector<std::string> OfferedInterfaces();

}  // namespace quellgate::wayland
