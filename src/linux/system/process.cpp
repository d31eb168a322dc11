#include "linux/system/process.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace quellgate::posix {
namespace {

// Ours alone: a folder others may write to could let them swap the lock file
// for their own, or hold it and keep the program from starting.
// (The runtime folder named by the session may be a link; one under /tmp
// must not be.)
bool IsPrivateFolder(const char* path, bool followLink) {
    struct stat status {};
    return (followLink ? stat(path, &status) : lstat(path, &status)) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == geteuid() && (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The session's display: its Wayland compositor, else its X server. ":0",
// ":0.0" and ":0.1" are one X server: the screen number goes. What is left may
// hold '/' or ':', which a file name must not.
std::string DisplayTag() {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* display = wayland && *wayland ? wayland : std::getenv("DISPLAY");
    std::string tag = display && *display ? display : "none";
    if (const auto colon = tag.rfind(':'); colon != std::string::npos) {
        if (const auto dot = tag.find('.', colon);
            dot != std::string::npos && dot + 1 < tag.size() &&
            tag.find_first_not_of("0123456789", dot + 1) == std::string::npos)
            tag.resize(dot);
    }
    for (char& c : tag) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '.' || c == '-' || c == '_';
        if (!plain) c = '_';
    }
    return tag;
}

}  // namespace

std::string InstanceLockPath() { return InstanceFilePath(".lock"); }

std::string InstanceFilePath(std::string_view extension) {
    std::string folder;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime && runtime[0] == '/' && IsPrivateFolder(runtime, true)) {
        folder = runtime;
    } else {
        // No runtime folder in some sessions (su, ssh -X, a bare window
        // manager without a login manager). /tmp is shared by every user,
        // hence a folder of our own whose owner and mode are checked.
        folder = "/tmp/quellgate-" + std::to_string(geteuid());
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return "";
        if (!IsPrivateFolder(folder.c_str(), false)) return "";
    }
    return folder + "/quellgate-" + DisplayTag() + std::string(extension);
}

std::string LinkTarget(const char* link) {
    std::string target(256, '\0');
    for (;;) {
        const ssize_t length = readlink(link, target.data(), target.size());
        if (length < 0) return "";
        // A target that fills the buffer may have been cut short.
        if (static_cast<std::size_t>(length) < target.size()) {
            target.resize(static_cast<std::size_t>(length));
            return target;
        }
        target.resize(target.size() * 2);
    }
}

std::string ProgramName(std::string_view path) {
    std::string_view name = path.substr(path.find_last_of('/') + 1);
    if (const auto dot = name.find_last_of('.'); dot != std::string_view::npos && dot > 0)
        name = name.substr(0, dot);
    return std::string(name);
}

std::string LinuxProcess::ExecutablePath() const { return LinkTarget("/proc/self/exe"); }

std::string LinuxProcess::ExecutableName() const { return ProgramName(ExecutablePath()); }

bool LinuxProcess::ClaimSingleInstance() {
    if (instanceLock_) return true;
    const std::string path = InstanceLockPath();
    // Without a safe place for the lock, a second instance is the smaller
    // harm than a blocker that does not start.
    if (path.empty()) return true;
    UniqueFd lock(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!lock) return true;
    // The sticky bit keeps the runtime folder's clean-up away from the file.
    fchmod(lock.get(), 0600 | S_ISVTX);
    while (flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) return false;
        if (errno != EINTR) return true;
    }
    instanceLock_ = std::move(lock);
    return true;
}

}  // namespace quellgate::posix
