#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/outcome.h"

namespace quellgate {

struct TopLevelWindow {
    std::uintptr_t handle = 0;  // the system's name for the window
    std::string caption;        // valid UTF-8; a hidden window's may be left empty
    bool visible = false;
};

// The keys the program watches.
enum class Key { F4, F5, F8 };

class Desktop {
public:
    virtual ~Desktop() = default;

    // Every top-level window, in the system's order.
    virtual void EnumerateWindows(const std::function<void(const TopLevelWindow&)>& visit) = 0;

    // One Alt+Home press to whatever window has the keyboard focus; a failure
    // when the system refused the keystroke.
    virtual Outcome SendAltHome() = 0;

    // Down now, or pressed since the previous query of the same key. The key
    // stays with the focused program.
    virtual bool IsKeyPressed(Key key) = 0;
};

}  // namespace quellgate
