#include "text/messages.h"

namespace quellgate::texts {
namespace {

std::string Join(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (const auto part : parts) out += part;
    return out;
}

// Where the settings are, and why writing them failed.
std::string WhereSettingsLive(std::string_view location, std::string_view reason) {
    return Join({"The settings are kept in ", location, ", which could not be written (", reason, ")."});
}

std::string WhatToDo(std::string_view action) {
    return Join({"Make sure Quellgate may write there, then ", action, "."});
}

constexpr std::string_view kPlasmaScriptHelp =
    "Quellgate hands KWin a small script over the session bus (org.kde.KWin). Make sure KWin runs with "
    "its scripting and Quellgate reaches the same session bus, then start Quellgate again.";

}  // namespace

std::string StartAtLogonNotChanged(const StartAtLogon::Place& place, bool writing, const Outcome& failure) {
    if (place.registryValue)
        return Join({"Error ", std::to_string(failure.code()),
                     failure.step() == Outcome::Step::Opening ? " opening key\r\n" : " setting key\r\n"});
    if (writing)
        return Join({"Quellgate could not write its start-at-login entry\r\n", place.path, "\r\n(",
                     failure.reason(), ").\r\n\r\nIt will not start by itself when you log in."});
    return Join({"Quellgate could not remove its start-at-login entry\r\n", place.path, "\r\n(",
                 failure.reason(), ").\r\n\r\nIt will still start by itself when you log in."});
}

std::string HoursInForce(std::string_view rule, bool blockingNow) {
    return Join({"Blocking hours: ", rule, blockingNow ? ", blocking now" : ", paused now"});
}

std::string SettingsNotStored(std::string_view location, std::string_view reason) {
    return Join({"Quellgate could not store the network settings, so this change will be forgotten when ",
                 "Quellgate starts again.\r\n\r\n", WhereSettingsLive(location, reason),
                 "\r\n\r\nTo keep your choices: ", WhatToDo("set them again"),
                 " This message is shown once per run."});
}

std::string DefaultPasswordNotStored(std::string_view location, std::string_view reason) {
    return Join({"Quellgate could not store the master password.\r\n\r\n",
                 WhereSettingsLive(location, reason),
                 "\r\n\r\nNo password of your own can be kept until it can, so 'lotus7391' stays the master ",
                 "password. ", WhatToDo("change the password")});
}

std::string NewPasswordNotStored(std::string_view location, std::string_view reason) {
    return Join({"The password was NOT changed: Quellgate could not store it.\r\n\r\n",
                 WhereSettingsLive(location, reason), "\r\n\r\nThe old password is still in force. ",
                 WhatToDo("change it again")});
}

std::string BlocklistNotSaved(std::string_view path, std::string_view reason) {
    return Join(
        {"Quellgate could not save your blocked keywords to the file\r\n", path, "\r\n(", reason,
         ").\r\n\r\nThey stay blocked while Quellgate runs, but changes made now will be lost when it ",
         "ends unless the file can be written. Make sure the folder is not read-only and no other ",
         "program holds the file."});
}

std::string SettingsNotRead(std::string_view location, std::string_view reason) {
    return Join(
        {"Quellgate could not read its settings from\r\n", location, "\r\n(", reason,
         ").\r\n\r\nWhile it cannot, every network starts FREE, it blocks at all hours, and the ",
         "master password is 'lotus7391'. Quellgate leaves the file as it is and stores no change in it."});
}

std::string HoursNotUnderstood(std::string_view location, std::string_view valueName) {
    return Join({"Quellgate could not understand the blocking hours kept as the value ", valueName, " in\r\n",
                 location,
                 ".\r\n\r\nIt blocks at all hours until they are set again (Program, Blocking Hours)."});
}

std::string HoursNotStored(std::string_view location, std::string_view reason, std::string_view rule) {
    return Join({"The blocking hours were NOT changed: Quellgate could not store them.\r\n\r\n",
                 WhereSettingsLive(location, reason), "\r\n\r\nThe hours in force are still \"", rule, "\". ",
                 WhatToDo("set them again")});
}

std::string BlocklistNotRead(std::string_view path, std::string_view reason) {
    return Join(
        {"Quellgate could not read your blocked keywords from the file\r\n", path, "\r\n(", reason,
         ").\r\n\r\nThe keywords in it are not blocked now. Quellgate leaves the file as it is and will ",
         "read it again before it saves any change."});
}

std::string PlasmaWithoutScript(std::string_view reason, bool x11Windows) {
    return Join({"Quellgate cannot read the window titles on this KDE Plasma desktop: ", reason, ".\r\n\r\n",
                 x11Windows
                     ? "It watches only the windows of X11 programs (through XWayland): a page in a "
                       "browser running as a Wayland program is NOT blocked."
                     : "It blocks no page until KWin takes its script; it tries again every few seconds.",
                 "\r\n\r\n", kPlasmaScriptHelp});
}

std::string PlasmaWithoutKeystrokes(std::string_view reason) {
    return Join(
        {"Quellgate cannot send Alt+Home on this KDE Plasma desktop: ", reason,
         ".\r\n\r\nIt sees the blocked pages, but they stay open. KWin lets a program send keys only "
         "when a desktop entry with X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input names it: install "
         "Quellgate's package, which has one for /usr/bin/quellgate, or let Quellgate write its own in "
         "~/.local/share/applications (see the README), then start Quellgate again."});
}

}  // namespace quellgate::texts
