// The Linux edition: Qt windows on X11, the desktop through xcb.

#include <QApplication>
#include <QTimer>
#include <iostream>
#include <vector>

#include <xcb/xcb.h>

#include "linux/diagnostics.h"
#include "linux/file_store.h"
#include "linux/process.h"
#include "linux/settings_store.h"
#include "linux/start_at_logon.h"
#include "linux/x11_desktop.h"
#include "qt/application.h"
#include "qt/desktop_hints.h"
#include "qt/dialogs.h"
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

    // Only X11 windows can be listed and sent keys, so the program is an X11
    // program too, through XWayland where there is Wayland.
    const bool wayland = IsWaylandSession();
    if (wayland) qputenv("QT_QPA_PLATFORM", "xcb");
    if (!CanOpenXDisplay()) {
        std::cerr << texts::kNoXDisplay << '\n';
        return 1;
    }

    posix::StandardError diagnostics;
    qt::Application application(argc, argv, diagnostics);
    // The program runs hidden: the last window that closes does not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(qt::ProgramIcon());
    qt::OffTaskBar offTaskBar;
    application.installEventFilter(&offTaskBar);

    x11::X11Desktop desktop;
    posix::PosixFileStore files;
    posix::FileSettingsStore settings;
    posix::XdgStartAtLogon startAtLogon;
    posix::LinuxProcess process;
    qt::QtTextCase textCase;
    qt::QtDialogs dialogs;
    Controller controller({settings, desktop, textCase, dialogs, startAtLogon, process, files, diagnostics});
    qt::QtMainWindow window(controller);
    dialogs.SetOwner(window);
    if (!controller.Start(window) || window.Terminated()) return 0;

    // What this desktop keeps from the program, told once the watch runs.
    std::vector<std::string_view> notices;
    if (wayland) notices.push_back(texts::kWaylandSession);
    if (desktop.IsConnected() && !desktop.CanSendKeystrokes()) notices.push_back(texts::kNoKeystrokes);
    if (desktop.IsConnected() && !desktop.IsKeyWatchAvailable()) notices.push_back(texts::kNoKeyWatch);
    QTimer::singleShot(0, &window, [&dialogs, notices] {
        for (const auto notice : notices)
            dialogs.ShowMessage(notice, texts::kAppTitle, MessageIcon::Exclamation, MessageButtons::Ok);
    });
    return QApplication::exec();
}
