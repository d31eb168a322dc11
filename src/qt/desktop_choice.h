#pragma once

#include <QSocketNotifier>
#include <memory>
#include <string>
#include <vector>

#include "linux/system/event_source.h"
#include "platform/desktop.h"

namespace quellgate::qt {

// The desktop back end for this session, chosen from what the session
// offers, in two steps around the making of the application. ChooseDesktop,
// before it, finds the kind of desktop, which decides whether the program's
// own windows are Wayland's or X11's, and opens the back ends that need no
// application, so that they watch from the first moment. OpenWithApplication,
// once the application exists, opens those that talk over its D-Bus
// connection.
enum class Session {
    None,       // no display to be reached
    X11,        // an X server
    XWayland,   // a Wayland desktop that lets only X11 windows be seen, through XWayland
    Wlroots,    // the wlroots family's protocols
    KdePlasma,  // KWin
    Gnome       // GNOME Shell
};

struct ChosenDesktop {
    Session session = Session::None;
    std::unique_ptr<Desktop> desktop;  // null when no desktop could be reached
    // The same back end, when its events are to be taken as they arrive.
    posix::EventSource* events = nullptr;
    // F4, F5 and F8 cannot be watched here: they are commands the user binds.
    bool keysAsCommands = false;
    // What this desktop keeps from the program, told once the watch runs.
    std::vector<std::string> notices;
};
ChosenDesktop ChooseDesktop();
void OpenWithApplication(ChosenDesktop& chosen);

// Hands a back end's events to it as they arrive, through Qt's event loop.
class DesktopEvents {
public:
    explicit DesktopEvents(posix::EventSource& source);

private:
    void Watch(int fd);

    posix::EventSource& source_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace quellgate::qt
