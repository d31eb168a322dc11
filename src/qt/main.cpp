// The Linux edition: Qt windows, and the desktop through the back end that
// suits the session (desktop_choice.h).

#include <QApplication>
#include <QScopeGuard>
#include <QSocketNotifier>
#include <QTimer>
#include <iostream>
#include <memory>
#include <optional>

#include "linux/system/command_socket.h"
#include "linux/system/diagnostics.h"
#include "linux/system/file_store.h"
#include "linux/system/process.h"
#include "linux/system/settings_store.h"
#include "linux/system/start_at_logon.h"
#include "qt/application.h"
#include "qt/desktop_choice.h"
#include "qt/desktop_hints.h"
#include "qt/dialogs.h"
#include "qt/local_clock.h"
#include "qt/main_window.h"
#include "qt/pictures.h"
#include "qt/text_case.h"
#include "shell/command_line.h"
#include "shell/controller.h"
#include "text/messages.h"

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

    qt::ChosenDesktop chosen = qt::ChooseDesktop();
    if (chosen.session == qt::Session::None) {
        std::cerr << texts::kNoXDisplay << '\n';
        return 1;
    }

    posix::StandardError diagnostics;
    qt::Application application(argc, argv, diagnostics);
    posix::LinuxProcess process;
    qt::QtDialogs dialogs;
    // A second instance must not take the running one's place in the desktop
    // (KWin's script), so it is turned away before anything is opened.
    if (!process.ClaimSingleInstance()) {
        dialogs.ShowMessage(texts::kAlreadyRunning, texts::kAppTitle, MessageIcon::None, MessageButtons::Ok);
        return 0;
    }
    qt::OpenWithApplication(chosen);
    // What talks over the application's D-Bus connection goes before it.
    const auto closeFirst = qScopeGuard([&chosen] { chosen.desktop.reset(); });
    if (!chosen.desktop) {
        std::cerr << texts::kNoXDisplay << '\n';
        return 1;
    }
    if (chosen.keysAsCommands) std::cerr << texts::kKeysAsCommands << '\n';
    Desktop& desktop = *chosen.desktop;
    // The program runs hidden: the last window that closes does not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(qt::ProgramIcon());
    qt::OffTaskBar offTaskBar;
    application.installEventFilter(&offTaskBar);

    posix::PosixFileStore files;
    posix::FileSettingsStore settings;
    posix::XdgStartAtLogon startAtLogon;
    qt::QtTextCase textCase;
    std::optional<qt::DesktopEvents> desktopEvents;
    if (chosen.events) desktopEvents.emplace(*chosen.events);
    qt::QtLocalClock clock;
    Controller controller(
        {settings, desktop, textCase, dialogs, startAtLogon, process, files, diagnostics, clock});
    qt::QtMainWindow window(controller, chosen.keysAsCommands);
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
    QTimer::singleShot(0, &window, [&dialogs, notices = chosen.notices] {
        for (const auto& notice : notices)
            dialogs.ShowMessage(notice, texts::kAppTitle, MessageIcon::Exclamation, MessageButtons::Ok);
    });
    return QApplication::exec();
}
