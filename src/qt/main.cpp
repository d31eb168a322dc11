// The Linux edition: Qt windows, and the desktop through xcb on X11 (XWayland
// included), or through the wlroots protocols on a Wayland desktop that has them.

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <iostream>
#include <memory>
#include <vector>

#include <xcb/xcb.h>

#include "linux/command_socket.h"
#include "linux/diagnostics.h"
#include "linux/file_store.h"
#include "linux/process.h"
#include "linux/settings_store.h"
#include "linux/start_at_logon.h"
#include "linux/wayland_desktop.h"
#include "linux/x11_desktop.h"
#include "qt/application.h"
#include "qt/desktop_hints.h"
#include "qt/dialogs.h"
#include "qt/local_clock.h"
#include "qt/main_window.h"
#include "qt/pictures.h"
#include "qt/text_case.h"
#include "shell/command_line.h"
#include "shell/controller.h"
#include "text/messages.h"

namespace {

bool IsWaylandSession() {
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

bool CanOpenXDisplay() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool opened = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return opened;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quellgate;
    if (const auto version = VersionRequested(argc, argv)) {
        std::cout << *version << '\n';
        return 0;
    }

    if (const auto command = RemoteCommandRequested(argc, argv)) {
        const Outcome sent = posix::Send(*command);
        if (!sent) std::cerr << "quellgate: " << sent.reason() << '\n';
        return sent ? 0 : 1;
    }

    // What this desktop keeps from the program, told once the watch runs.
    std::vector<std::string_view> notices;
    std::unique_ptr<Desktop> desktop;
    x11::X11Desktop* x11 = nullptr;
    if (IsWaylandSession()) {
        auto wlroots = std::make_unique<wayland::WaylandDesktop>();
        if (wlroots->IsConnected() && wlroots->Missing().empty()) {
            // Its windows are Wayland's too, where the plugin is there.
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "wayland;xcb");
            std::cerr << texts::kKeysAsCommands << '\n';
            desktop = std::move(wlroots);
        } else {
            // Only X11 windows can be listed and sent keys, so the program is
            // an X11 program too, through XWayland.
            qputenv("QT_QPA_PLATFORM", "xcb");
            notices.push_back(texts::kWaylandSession);
        }
    }
    if (!desktop) {
        if (!CanOpenXDisplay()) {
            std::cerr << texts::kNoXDisplay << '\n';
            return 1;
        }
        auto own = std::make_unique<x11::X11Desktop>();
        x11 = own.get();
        desktop = std::move(own);
        if (x11->IsConnected() && !x11->CanSendKeystrokes()) notices.push_back(texts::kNoKeystrokes);
        if (x11->IsConnected() && !x11->IsKeyWatchAvailable()) notices.push_back(texts::kNoKeyWatch);
    }

    posix::StandardError diagnostics;
    qt::Application application(argc, argv, diagnostics);
    // The program runs hidden: the last window that closes does not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(qt::ProgramIcon());
    qt::OffTaskBar offTaskBar;
    application.installEventFilter(&offTaskBar);

    posix::PosixFileStore files;
    posix::FileSettingsStore settings;
    posix::XdgStartAtLogon startAtLogon;
    posix::LinuxProcess process;
    qt::QtTextCase textCase;
    qt::QtDialogs dialogs;
    qt::QtLocalClock clock;
    Controller controller(
        {settings, *desktop, textCase, dialogs, startAtLogon, process, files, diagnostics, clock});
    qt::QtMainWindow window(controller, x11 == nullptr);
    dialogs.SetOwner(window);
    if (!controller.Start(window) || window.Terminated()) return 0;

    // Commands from the command line, once the instance is ours.
    posix::CommandListener commands;
    std::unique_ptr<QSocketNotifier> listening;
    if (commands.Listening()) {
        listening = std::make_unique<QSocketNotifier>(commands.Fd(), QSocketNotifier::Read);
        QObject::connect(listening.get(), &QSocketNotifier::activated, [&] {
            commands.Serve([&](RemoteCommand command) { controller.Perform(command); });
        });
    }
    QTimer::singleShot(0, &window, [&dialogs, notices] {
        for (const auto notice : notices)
            dialogs.ShowMessage(notice, texts::kAppTitle, MessageIcon::Exclamation, MessageButtons::Ok);
    });
    return QApplication::exec();
}
