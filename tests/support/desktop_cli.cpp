// A desktop back end of the program, driven by a test one line at a time on
// standard input, each answered on standard output:
//   list          "<handle> <shown|hidden> <caption>" a window, in order, then "."
//   althome       "ok", or "failed <reason>"
//   pressed KEY   "yes" or "no", KEY one of F4, F5, F8
//   state         on X11 "connected <yes|no> manager <yes|no> keystrokes <yes|no> keys <yes|no>",
//                 on Wayland "connected <yes|no> missing <interfaces>"
// The first argument "wayland" picks the wlroots back end, "gnome" GNOME
// Shell's, else it is X11's. GNOME's first says what opening it answered:
// "opened <running|not-loaded|not-installed|switched-off|failed>".
#include <QCoreApplication>
#include <iostream>
#include <memory>
#include <string>

#include "linux/gnome/gnome_desktop.h"
#include "linux/wlroots/wlroots_desktop.h"
#include "linux/x11/x11_desktop.h"

namespace {

const char* YesNo(bool yes) { return yes ? "yes" : "no"; }

}  // namespace

int main(int argc, char** argv) {
    using namespace quellgate;
    const std::string kind = argc > 1 ? argv[1] : "x11";
    std::unique_ptr<Desktop> chosen;
    if (kind == "gnome") {
        auto shell = std::make_unique<gnome::GnomeDesktop>();
        // Named in the order of GnomeDesktop::Status.
        const char* statuses[] = {"running", "not-loaded", "not-installed", "switched-off", "failed"};
        std::cout << "opened " << statuses[static_cast<int>(shell->Open())] << std::endl;
        chosen = std::move(shell);
    } else if (kind == "wayland") {
        chosen = std::make_unique<wlroots::WlrootsDesktop>();
    } else {
        chosen = std::make_unique<x11::X11Desktop>();
    }
    // GNOME Shell's signals come through the Qt event loop, turned before
    // each command; made after the desktop, as in the program.
    QCoreApplication loop(argc, argv);
    Desktop& desktop = *chosen;
    for (std::string command; std::getline(std::cin, command);) {
        QCoreApplication::processEvents();
        if (command == "list") {
            desktop.EnumerateWindows([](const TopLevelWindow& window) {
                std::cout << window.handle << (window.visible ? " shown " : " hidden ") << window.caption
                          << "\n";
            });
            std::cout << ".\n";
        } else if (command == "althome") {
            const Outcome sent = desktop.SendAltHome();
            std::cout << (sent ? "ok" : "failed " + sent.reason()) << "\n";
        } else if (command.starts_with("pressed ")) {
            const std::string key = command.substr(8);
            std::cout << YesNo(desktop.IsKeyPressed(key == "F4"   ? Key::F4
                                                    : key == "F5" ? Key::F5
                                                                  : Key::F8))
                      << "\n";
        } else if (command == "state" && kind == "wayland") {
            const auto& own = static_cast<wlroots::WlrootsDesktop&>(desktop);
            std::cout << "connected " << YesNo(own.IsConnected()) << " missing";
            for (const auto& missing : own.Missing()) std::cout << " " << missing;
            std::cout << "\n";
        } else if (command == "state") {
            const auto& own = static_cast<x11::X11Desktop&>(desktop);
            std::cout << "connected " << YesNo(own.IsConnected()) << " manager "
                      << YesNo(own.ListsWindowManagerClients()) << " keystrokes "
                      << YesNo(own.CanSendKeystrokes()) << " keys " << YesNo(own.IsKeyWatchAvailable())
                      << "\n";
        }
        std::cout.flush();
    }
}
