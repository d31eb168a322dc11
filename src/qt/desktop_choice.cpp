#include "qt/desktop_choice.h"

#include <QtGlobal>
#include <algorithm>
#include <initializer_list>
#include <string_view>

#include <xcb/xcb.h>

#include "linux/gnome/gnome_desktop.h"
#include "linux/kwin/kwin_desktop.h"
#include "linux/wayland/wayland_globals.h"
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

bool OffersAll(const std::vector<std::string>& offered, std::initializer_list<std::string_view> wanted) {
    return std::ranges::all_of(wanted,
                               [&](auto name) { return std::ranges::find(offered, name) != offered.end(); });
}

bool OffersAny(const std::vector<std::string>& offered, std::initializer_list<std::string_view> wanted) {
    return std::ranges::any_of(wanted,
                               [&](auto name) { return std::ranges::find(offered, name) != offered.end(); });
}

void OpenX11(ChosenDesktop& chosen) {
    if (!CanOpenXDisplay()) return;
    auto x11 = std::make_unique<x11::X11Desktop>();
    if (x11->IsConnected() && !x11->CanSendKeystrokes()) chosen.notices.emplace_back(texts::kNoKeystrokes);
    if (x11->IsConnected() && !x11->IsKeyWatchAvailable()) chosen.notices.emplace_back(texts::kNoKeyWatch);
    chosen.events = x11.get();
    chosen.desktop = std::move(x11);
}

// Sets where the program's own windows go, too.
Session FindSession() {
    if (IsWaylandSession()) {
        const std::vector<std::string> offered = wayland::OfferedInterfaces();
        Session found = Session::XWayland;
        if (OffersAll(offered,
                      {"zwlr_foreign_toplevel_manager_v1", "zwp_virtual_keyboard_manager_v1", "wl_seat"}))
            found = Session::Wlroots;
        // KWin's own interfaces, offered to every program.
        else if (OffersAny(offered,
                           {"kde_output_device_v2", "org_kde_plasma_shell", "org_kde_kwin_fake_input"}))
            found = Session::KdePlasma;
        // Mutter's own, which no other compositor offers.
        else if (OffersAny(offered, {"gtk_shell1"}))
            found = Session::Gnome;
        if (found == Session::Wlroots || found == Session::KdePlasma) {
            // Its windows are Wayland's too, where the plugin is there.
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "wayland;xcb");
            return found;
        }
        // The program's windows are X11's, through XWayland: where only X11
        // windows can be listed and sent keys, and on GNOME, where they then
        // stay off the dash and the window switcher.
        qputenv("QT_QPA_PLATFORM", "xcb");
        if (found == Session::Gnome) return found;
    }
    if (!CanOpenXDisplay()) return Session::None;
    return IsWaylandSession() ? Session::XWayland : Session::X11;
}

}  // namespace

ChosenDesktop ChooseDesktop() {
    ChosenDesktop chosen;
    chosen.session = FindSession();
    switch (chosen.session) {
    case Session::None:
    case Session::KdePlasma:
    case Session::Gnome: return chosen;
    case Session::Wlroots: {
        auto wlroots = std::make_unique<wlroots::WlrootsDesktop>();
        if (wlroots->IsConnected() && wlroots->Missing().empty()) {
            chosen.keysAsCommands = true;
            chosen.events = wlroots.get();
            chosen.desktop = std::move(wlroots);
            return chosen;
        }
        chosen.notices.emplace_back(texts::kWaylandSession);
        OpenX11(chosen);
        return chosen;
    }
    case Session::XWayland: chosen.notices.emplace_back(texts::kWaylandSession); [[fallthrough]];
    case Session::X11: OpenX11(chosen); return chosen;
    }
    return chosen;
}

void OpenWithApplication(ChosenDesktop& chosen) {
    if (chosen.session == Session::Gnome) {
        if (gnome::IsShellOnBus()) {
            auto shell = std::make_unique<gnome::GnomeDesktop>();
            const auto status = shell->Open();
            if (status == gnome::GnomeDesktop::Status::Running) {
                chosen.desktop = std::move(shell);
                chosen.keysAsCommands = true;
                return;
            }
            chosen.notices.emplace_back(GnomeNotice(status));
        } else {
            chosen.notices.emplace_back(texts::kWaylandSession);
        }
        return OpenX11(chosen);
    }
    if (chosen.session != Session::KdePlasma) return;
    auto kwin = std::make_unique<kwin::KWinDesktop>();
    chosen.keysAsCommands = true;
    if (const std::string failure = kwin->ScriptFailure(); !failure.empty()) {
        // Without the script, the windows of X11 programs are what can be seen.
        OpenX11(chosen);
        chosen.notices.push_back(texts::PlasmaWithoutScript(failure, chosen.desktop != nullptr));
    } else if (const std::string keys = kwin->KeystrokeFailure(); !keys.empty()) {
        chosen.notices.push_back(texts::PlasmaWithoutKeystrokes(keys));
    }
    if (!chosen.desktop) chosen.desktop = std::move(kwin);
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
