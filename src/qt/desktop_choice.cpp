#include "qt/desktop_choice.h"

#include <QtGlobal>

#include <xcb/xcb.h>

#include "linux/gnome/gnome_desktop.h"
#include "linux/wlroots/wlroots_desktop.h"
#include "linux/x11/x11_desktop.h"
#include "text/messages.h"

namespace quellgate::qt {
namespace {

bool IsWaylandSession() {
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

std::string_view GnomeNotice(gnome::GnomeDesktop::Status status) {
    using Status = gnome::GnomeDesktop::Status;
    switch (status) {
    case Status::NotLoaded: return texts::kGnomeLogInAgain;
    case Status::NotInstalled: return texts::kGnomeExtensionNotInstalled;
    case Status::SwitchedOff: return texts::kGnomeExtensionsSwitchedOff;
    case Status::Running:
    case Status::Failed: break;
    }
    return texts::kGnomeExtensionFailed;
}

bool CanOpenXDisplay() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool opened = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return opened;
}

}  // namespace

ChosenDesktop ChooseDesktop() {
    ChosenDesktop chosen;
    if (IsWaylandSession()) {
        auto wlroots = std::make_unique<wlroots::WlrootsDesktop>();
        if (wlroots->IsConnected() && wlroots->Missing().empty()) {
            // Its windows are Wayland's too, where the plugin is there.
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "wayland;xcb");
            chosen.events = wlroots.get();
            chosen.desktop = std::move(wlroots);
            chosen.keysAsCommands = true;
            return chosen;
        }
        // The program's windows are X11's, through XWayland: where only X11
        // windows can be listed and sent keys, and on GNOME, where they then
        // stay off the dash and the window switcher.
        qputenv("QT_QPA_PLATFORM", "xcb");
        if (gnome::IsGnomeShellOnWayland()) {
            auto shell = std::make_unique<gnome::GnomeDesktop>();
            const auto status = shell->Open();
            if (status == gnome::GnomeDesktop::Status::Running) {
                chosen.desktop = std::move(shell);
                chosen.keysAsCommands = true;
                return chosen;
            }
            chosen.notices.push_back(GnomeNotice(status));
        } else {
            chosen.notices.push_back(texts::kWaylandSession);
        }
    }
    if (!CanOpenXDisplay()) return chosen;
    auto x11 = std::make_unique<x11::X11Desktop>();
    if (x11->IsConnected() && !x11->CanSendKeystrokes()) chosen.notices.push_back(texts::kNoKeystrokes);
    if (x11->IsConnected() && !x11->IsKeyWatchAvailable()) chosen.notices.push_back(texts::kNoKeyWatch);
    chosen.events = x11.get();
    chosen.desktop = std::move(x11);
    return chosen;
}

DesktopEvents::DesktopEvents(posix::EventSource& source) : source_(source) {
    source_.WatchWith([this](int fd) { Watch(fd); });
}

void DesktopEvents::Watch(int fd) {
    // The old notifier may be the one whose signal is being handled.
    if (notifier_) {
        notifier_->setEnabled(false);
        notifier_.release()->deleteLater();
    }
    if (fd < 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { source_.TakeEvents(); });
}

}  // namespace quellgate::qt
