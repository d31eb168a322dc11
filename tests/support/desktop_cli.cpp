// A desktop back end of the program, driven by a test one line at a time on
// standard input, each answered on standard output:
//   list          "<handle> <shown|hidden> <caption>" a window, in order, then "."
//   althome       "ok", or "failed <reason>"
//   pressed KEY   "yes" or "no", KEY one of F4, F5, F8
//   state         on X11 "connected <yes|no> manager <yes|no> keystrokes <yes|no> keys <yes|no>",
//                 on wlroots "connected <yes|no> missing <interfaces>",
//                 on KWin "script <ok|reason>; keystrokes <ok|reason>"
// The first argument "wayland" picks the wlroots back end, "kwin" KWin's,
// "gnome" GNOME Shell's, else it is X11's. GNOME's first says what opening it
// answered: "opened <running|not-loaded|not-installed|switched-off|failed>".
// The end of the input ends it, as a program ends normally.
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <array>
#include <iostream>
#include <memory>
#include <string>

#include "linux/gnome/gnome_desktop.h"
#include "linux/kwin/kwin_desktop.h"
#include "linux/wlroots/wlroots_desktop.h"
#include "linux/x11/x11_desktop.h"

namespace {

using namespace quellgate;

const char* YesNo(bool yes) { return yes ? "yes" : "no"; }

std::string OkOr(const std::string& failure) { return failure.empty() ? "ok" : failure; }

void Answer(Desktop& desktop, const std::string& kind, const std::string& command) {
    if (command == "list") {
        desktop.EnumerateWindows([](const TopLevelWindow& window) {
            std::cout << window.handle << (window.visible ? " shown " : " hidden ") << window.caption << "\n";
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
    } else if (command == "state" && kind == "kwin") {
        const auto& own = static_cast<kwin::KWinDesktop&>(desktop);
        std::cout << "script " << OkOr(own.ScriptFailure()) << "; keystrokes " << OkOr(own.KeystrokeFailure())
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
                  << YesNo(own.CanSendKeystrokes()) << " keys " << YesNo(own.IsKeyWatchAvailable()) << "\n";
    }
    std::cout.flush();
}

}  // namespace

int main(int argc, char** argv) {
    // KWin's and GNOME Shell's back ends live on the event loop: the calls
    // and signals from the desktop come in there, and KWin's keys go out
    // from there.
    QCoreApplication application(argc, argv);
    const std::string kind = argc > 1 ? argv[1] : "x11";
    std::unique_ptr<Desktop> desktop;
    if (kind == "wayland")
        desktop = std::make_unique<wlroots::WlrootsDesktop>();
    else if (kind == "kwin")
        desktop = std::make_unique<kwin::KWinDesktop>();
    else if (kind == "gnome") {
        auto shell = std::make_unique<gnome::GnomeDesktop>();
        // Named in the order of GnomeDesktop::Status.
        const std::array statuses = {"running", "not-loaded", "not-installed", "switched-off", "failed"};
        std::cout << "opened " << statuses.at(static_cast<std::size_t>(shell->Open())) << std::endl;
        desktop = std::move(shell);
    } else
        desktop = std::make_unique<x11::X11Desktop>();
    QSocketNotifier input(0, QSocketNotifier::Read);
    std::string commands;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        std::array<char, 4096> chunk{};
        const ssize_t got = read(0, chunk.data(), chunk.size());
        if (got <= 0) return QCoreApplication::quit();
        commands.append(chunk.data(), static_cast<std::size_t>(got));
        for (auto end = commands.find('\n'); end != std::string::npos; end = commands.find('\n')) {
            Answer(*desktop, kind, commands.substr(0, end));
            commands.erase(0, end + 1);
        }
    });
    return QCoreApplication::exec();
}
