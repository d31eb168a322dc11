#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/outcome.h"
#include "platform/start_at_logon.h"

// Everything the program says to the user, in one place.
namespace quellgate::texts {

// Texts one after the other, as one text made when the program is built.
template <const std::string_view&... Parts>
struct Joined {
    static constexpr std::size_t kSize = (Parts.size() + ...);
    static constexpr std::array<char, kSize> kCharacters = [] {
        std::array<char, kSize> characters{};
        auto next = characters.begin();
        ((next = std::ranges::copy(Parts, next).out), ...);
        return characters;
    }();
    static constexpr std::string_view kText{kCharacters.data(), kSize};
};

inline constexpr std::string_view kAppTitle = "Quellgate";

// Start-up and exit
// A second start says no more than this single apostrophe: it is what the
// program has always shown there, and what its users know it by.
inline constexpr std::string_view kAlreadyRunning = "'";
inline constexpr std::string_view kConfirmExit = "Exit Quellgate?";

// Custom keywords
inline constexpr std::string_view kAddKeywordPrompt = "Add keyword or sitename to block list...!";
inline constexpr std::string_view kKeywordNotAllowed = "Keyword not allowed!";
inline constexpr std::string_view kKeywordExists = "Keyword already exists in the Blocklist!!!";
inline constexpr std::string_view kUseNetworkIcon = "Click on Social Network Icon to remove from this list!";

// Master password
inline constexpr std::string_view kEnterPassword = "Enter master password:";
inline constexpr std::string_view kPleaseEnterPassword = "Please enter master password!";
inline constexpr std::string_view kDefaultPasswordWarning =
    "Your master password is 'lotus7391' and not safe to use! Please change your password!";
inline constexpr std::string_view kPasswordNotMatch = "Password not match!!!";
inline constexpr std::string_view kPasswordVerificationTitle = "Password verification";

// Change-password dialog
inline constexpr std::string_view kWrongOldPassword = "Wrong OLD password!";
inline constexpr std::string_view kNewPasswordTooShort = "New password must be at least 8 characters!";
inline constexpr std::string_view kFillAllBoxes = "All boxes must be filled!";
inline constexpr std::string_view kRetypeNewPassword = "Re-type New password in fields!";
inline constexpr std::string_view kPasswordChanged = "Pasword changed!";

// Blocking hours
inline constexpr std::string_view kNoDayChosen = "Choose at least one day, or Always!";
inline constexpr std::string_view kTimeNotUnderstood = "Type both times as HH:MM, from 00:00 to 23:59!";
// The main window's line on the hours in force: `rule` in its stored form.
inline constexpr std::string_view kBlockingAlways = "Blocking hours: always";
std::string HoursInForce(std::string_view rule, bool blockingNow);

// Start at logon: Windows' Run key has its own messages, a number each.
std::string StartAtLogonNotChanged(const StartAtLogon::Place& place, bool writing, const Outcome& failure);

// Failures the user must hear about, so that nothing seems kept that is not.
// `location` is where the settings live.
std::string SettingsNotStored(std::string_view location, std::string_view reason);
std::string DefaultPasswordNotStored(std::string_view location, std::string_view reason);
std::string NewPasswordNotStored(std::string_view location, std::string_view reason);
std::string SettingsNotRead(std::string_view location, std::string_view reason);
std::string HoursNotUnderstood(std::string_view location, std::string_view valueName);
std::string HoursNotStored(std::string_view location, std::string_view reason, std::string_view rule);
std::string BlocklistNotSaved(std::string_view path, std::string_view reason);
std::string BlocklistNotRead(std::string_view path, std::string_view reason);

// The X11 edition
inline constexpr std::string_view kNoXDisplay =
    "Quellgate: no X display could be opened. It works on an X11 desktop (or XWayland): "
    "start it from your desktop session, or set DISPLAY.";
inline constexpr std::string_view kWaylandSession =
    "This Wayland desktop does not let Quellgate see the windows of Wayland programs. It sees only "
    "those of X11 programs here (through XWayland): a page in a browser running as a Wayland program "
    "is NOT blocked.\r\n\r\n"
    "Quellgate watches every window on X11 desktops, on KDE Plasma, on GNOME, and on the Wayland "
    "desktops of the wlroots family: sway, Hyprland, labwc, river, Wayfire, niri and others. Log in to "
    "one of those, or start your browsers as X11 programs, to have them watched.";
// KDE Plasma on Wayland: what KWin did not allow, in words. `x11Windows`: the
// windows of X11 programs are watched instead.
std::string PlasmaWithoutScript(std::string_view reason, bool x11Windows);
std::string PlasmaWithoutKeystrokes(std::string_view reason);
// GNOME Shell on Wayland, while the program's extension of the shell does not run.
inline constexpr std::string_view kMeanwhileX11Only =
    "\r\n\r\nMeanwhile Quellgate sees only the windows of X11 programs (through XWayland): a page in a "
    "browser running as a Wayland program is NOT blocked.";
inline constexpr std::string_view kExtensionNotLoaded =
    "Quellgate's extension for GNOME Shell, which lets it see the windows of Wayland programs, was installed "
    "while you were logged in, and GNOME Shell takes up new extensions only when you log in. Log out and log "
    "in again to have every window watched.";
inline constexpr std::string_view kExtensionNotInstalled =
    "Quellgate's extension for GNOME Shell, which lets it see the windows of Wayland programs, is not "
    "installed: install the quellgate package again.";
inline constexpr std::string_view kExtensionsSwitchedOff =
    "GNOME Shell's extensions are switched off here (by the main switch of the Extensions app, or by the "
    "administrator), so Quellgate's extension, which lets it see the windows of Wayland programs, cannot "
    "run.";
inline constexpr std::string_view kExtensionFailed =
    "GNOME Shell did not start Quellgate's extension, which lets it see the windows of Wayland programs; the "
    "Extensions app shows why.";
inline constexpr std::string_view kGnomeLogInAgain = Joined<kExtensionNotLoaded, kMeanwhileX11Only>::kText;
inline constexpr std::string_view kGnomeExtensionNotInstalled =
    Joined<kExtensionNotInstalled, kMeanwhileX11Only>::kText;
inline constexpr std::string_view kGnomeExtensionsSwitchedOff =
    Joined<kExtensionsSwitchedOff, kMeanwhileX11Only>::kText;
inline constexpr std::string_view kGnomeExtensionFailed = Joined<kExtensionFailed, kMeanwhileX11Only>::kText;

inline constexpr std::string_view kKeysAsCommands =
    "quellgate: on this desktop no program can see F4, F5 and F8 and leave them to the program in use, so "
    "they are not watched; bind keys to 'quellgate --hide', 'quellgate --show' and 'quellgate --home-now' "
    "instead (see the README).";
inline constexpr std::string_view kNoKeystrokes =
    "The X server lacks the XTest extension, so Quellgate cannot send Alt+Home: blocked pages "
    "stay open.";
inline constexpr std::string_view kNoKeyWatch =
    "The X server lacks the XInput 2 extension, so Quellgate cannot see the F4, F5 and F8 keys: "
    "the main window cannot be shown with F5.";

}  // namespace quellgate::texts
