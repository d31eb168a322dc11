#include "linux/kwin/fake_input_grant.h"

#include <variant>

#include "linux/system/file_store.h"
#include "linux/system/start_at_logon.h"

namespace quellgate::kwin {
namespace {

constexpr std::string_view kPackaged = "/usr/bin/quellgate";
constexpr std::string_view kEntryName = "quellgate-kwin.desktop";

posix::PosixFileStore Applications() { return posix::PosixFileStore(posix::DataHome() + "/applications"); }

std::string Entry(std::string_view executablePath) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Quellgate\n"
           "Comment=Lets KWin take Alt+Home from this Quellgate\n"
           "Exec=" +
           posix::ExecValue(executablePath) +
           "\n"
           "NoDisplay=true\n"
           "X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input\n";
}

}  // namespace

std::string FakeInputEntryPath() { return Applications().PathOf(kEntryName); }

FakeInputGrant GrantFakeInput(std::string_view executablePath) {
    if (executablePath == kPackaged) return {};
    posix::PosixFileStore applications = Applications();
    const std::string entry = Entry(executablePath);
    // Written again only when it names another path: each write makes KWin
    // read every entry again.
    if (const auto found = applications.Read(kEntryName);
        std::get_if<std::string>(&found) && *std::get_if<std::string>(&found) == entry)
        return {};
    return {applications.Replace(kEntryName, entry), true};
}

}  // namespace quellgate::kwin
