#include "linux/system/start_at_logon.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "linux/system/unique_fd.h"

namespace quellgate::posix {
namespace {

using Step = Outcome::Step;

Outcome Failed(Step step, int error, std::string_view what) {
    return Outcome::Failure(ErrorText(error) + ", " + std::string(what), step, error);
}

std::string FileName(std::string_view name) { return std::string(name) + ".desktop"; }

// The entry's name must stay one file inside the folder.
bool IsFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

}  // namespace

std::string ExecValue(std::string_view executablePath) {
    constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    constexpr std::string_view kEscapedInQuotes = "\"`$\\";
    const bool quoted =
        executablePath.empty() || executablePath.find_first_of(kReserved) != std::string_view::npos;
    std::string argument;
    if (quoted) argument += '"';
    for (const char c : executablePath) {
        if (c == '%') {
            argument += "%%";
            continue;
        }
        if (quoted && kEscapedInQuotes.find(c) != std::string_view::npos) argument += '\\';
        argument += c;
    }
    if (quoted) argument += '"';

    std::string value;
    for (const char c : argument) {
        switch (c) {
        case '\\': value += "\\\\"; break;
        case '\n': value += "\\n"; break;
        case '\t': value += "\\t"; break;
        case '\r': value += "\\r"; break;
        default: value += c;
        }
    }
    return value;
}

std::string DesktopEntry(std::string_view executablePath) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Quellgate\n"
           "Comment=Keeps you away from social networks\n"
           "Exec=" +
           ExecValue(executablePath) +
           "\n"
           "Terminal=false\n"
           "NoDisplay=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

std::string XdgStartAtLogon::PathOf(std::string_view name) const { return folder_.PathOf(FileName(name)); }

Outcome XdgStartAtLogon::Write(std::string_view name, std::string_view executablePath) noexcept {
    try {
        if (!IsFileName(name)) return Failed(Step::Writing, EINVAL, "the name " + std::string(name));
        return folder_.Replace(FileName(name), DesktopEntry(executablePath));
    } catch (...) {
        return Outcome::Failure(ErrorText(ENOMEM), Step::Writing, ENOMEM);
    }
}

Outcome XdgStartAtLogon::Remove(std::string_view name) noexcept {
    try {
        if (!IsFileName(name)) return Failed(Step::Writing, EINVAL, "the name " + std::string(name));
        const UniqueFd folder(open(folder_.Folder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!folder)
            return errno == ENOENT ? Outcome::Success()
                                   : Failed(Step::Opening, errno, "opening the folder " + folder_.Folder());
        if (unlinkat(folder.get(), FileName(name).c_str(), 0) != 0)
            return errno == ENOENT ? Outcome::Success()
                                   : Failed(Step::Writing, errno, "removing " + PathOf(name));
        fsync(folder.get());  // the removal lasts sooner; nothing to tell when it fails
        return Outcome::Success();
    } catch (...) {
        return Outcome::Failure(ErrorText(ENOMEM), Step::Writing, ENOMEM);
    }
}

bool XdgStartAtLogon::Exists(std::string_view name) const noexcept {
    try {
        struct stat status {};
        return IsFileName(name) && stat(PathOf(name).c_str(), &status) == 0 && S_ISREG(status.st_mode);
    } catch (...) {
        return false;
    }
}

}  // namespace quellgate::posix
