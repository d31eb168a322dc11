#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quellgate {

struct TopLevelWindow {
    std::uintptr_t handle = 0;
    std::string caption;  // UTF-8, as much as the system gave
    bool visible = false;
};

// Virtual-key codes of the keys the program watches.
enum class Key : int { F4 = 0x73, F5 = 0x74, F8 = 0x77 };

class Desktop {
public:
    virtual ~Desktop() = default;

    // Every top-level window, in the system's order. A hidden window's
    // caption may be left empty.
    virtual void EnumerateWindows(const std::function<void(const TopLevelWindow&)>& visit) = 0;

    // One Alt+Home press to whatever window has the keyboard focus.
    // False when the system refused the keystroke.
    virtual bool SendAltHome() = 0;

    // Down now, or pressed since the previous query of the same key. The key
    // stays with the focused program.
    virtual bool IsKeyPressed(Key key) = 0;
};

}  // namespace quellgate
