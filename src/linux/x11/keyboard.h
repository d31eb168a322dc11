#pragma once

#include <xcb/xcb.h>

#include <array>
#include <bitset>
#include <cstdint>
#include <span>
#include <vector>

#include "linux/x11/xcb_handles.h"

namespace quellgate::x11 {

// The server's keyboard mapping: which keycodes give which keysyms.
class KeyboardMap {
public:
    // One round trip; false when the server did not answer.
    bool Load(Connection& connection);

    // The keycodes that give `keysym`, those that give it without a modifier first.
    std::vector<xcb_keycode_t> KeycodesOf(xcb_keysym_t keysym) const;

private:
    xcb_keycode_t firstKeycode_ = 0;
    std::size_t keysymsPerKeycode_ = 0;
    std::vector<xcb_keysym_t> keysyms_;
};

// Which keys are down, from XInput 2 raw key events selected on the root for
// every master keyboard. Raw events reach each client that selects them,
// grabbed or not, and take nothing from the focused program.
class KeyWatch {
public:
    static constexpr std::size_t kKeys = 3;

    // Selects the events and learns which keys are down already.
    explicit KeyWatch(Connection& connection);

    // False on a server without XInput 2.
    bool Available() const { return opcode_ != 0; }

    // Takes a raw key event; false for any other event.
    bool OnEvent(const xcb_generic_event_t& event);

    // GetAsyncKeyState's answer for watched key `key` (below kKeys), which
    // these keycodes give: down now, or pressed since its previous query.
    bool Query(std::size_t key, std::span<const xcb_keycode_t> keycodes);

private:
    using Keycodes = std::bitset<256>;
    Keycodes down_;
    std::array<Keycodes, kKeys> pressedSinceQuery_;
    std::uint8_t opcode_ = 0;
};

}  // namespace quellgate::x11
