// A desktop back end of the program, driven by a test one line at a time on
// standard input, each answered on standard output:
//   list          "<handle> <shown|hidden> <caption>" a window, in order, then "."
//   althome       "ok", or "failed <reason>"
//   pressed KEY   "yes" or "no", KEY one of F4, F5, F8
//   state         "connected <yes|no> manager <yes|no> keystrokes <yes|no> keys <yes|no>"
#include <iostream>
#include <string>

#include "linux/x11_desktop.h"

namespace {

const char* YesNo(bool yes) { return yes ? "yes" : "no"; }

}  // namespace

int main() {
    using namespace quellgate;
    x11::X11Desktop desktop;
    for (std::string command; std::getline(std::cin, command);) {
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
        } else if (command == "state") {
            std::cout << "connected " << YesNo(desktop.IsConnected()) << " manager "
                      << YesNo(desktop.ListsWindowManagerClients()) << " keystrokes "
                      << YesNo(desktop.CanSendKeystrokes()) << " keys "
                      << YesNo(desktop.IsKeyWatchAvailable()) << "\n";
        }
        std::cout.flush();
    }
}
