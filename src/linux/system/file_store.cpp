#include "linux/system/file_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <system_error>
#include <vector>

#include "linux/system/unique_fd.h"

namespace quellgate::posix {
namespace {

// A temporary file untouched for this long belongs to a save that was cut
// short; a younger one may be another instance's save in progress (one runs
// per display, and they share the folder).
constexpr std::time_t kStaleAfterSeconds = std::time_t{10} * 60;

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return "";
}

// $<variable> when it is an absolute path (a relative one is invalid and
// ignored), else the folder of that name in the home folder.
std::string XdgFolder(const char* variable, std::string_view inHome) {
    if (const char* configured = std::getenv(variable); configured && configured[0] == '/')
        return WithoutTrailingSlashes(configured);
    return WithoutTrailingSlashes(HomeFolder() + std::string(inHome));
}

// ".<name>.tmp-" and 16 hex digits.
std::string TemporaryPrefix(std::string_view name) { return "." + std::string(name) + ".tmp-"; }
constexpr std::size_t kTemporarySuffixLength = 16;

std::string TemporaryName(std::string_view name) {
    std::uint64_t bits = 0;
    if (getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits)) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        bits = (static_cast<std::uint64_t>(now.tv_sec) << 32) ^ static_cast<std::uint64_t>(now.tv_nsec) ^
               (static_cast<std::uint64_t>(getpid()) << 20);
    }
    std::array<char, kTemporarySuffixLength + 1> suffix{};
    std::snprintf(suffix.data(), suffix.size(), "%016" PRIx64, bits);
    return TemporaryPrefix(name) + suffix.data();
}

void RemoveStaleTemporaries(int folder, std::string_view name) {
    const int listing = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) return;
    DIR* entries = fdopendir(listing);
    if (!entries) {
        close(listing);
        return;
    }
    const std::string prefix = TemporaryPrefix(name);
    const std::time_t now = std::time(nullptr);
    std::vector<std::string> stale;
    while (const dirent* entry = readdir(entries)) {
        const std::string_view found = entry->d_name;
        if (found.size() != prefix.size() + kTemporarySuffixLength || !found.starts_with(prefix)) continue;
        struct stat status {};
        if (fstatat(folder, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode) &&
            now - status.st_mtime > kStaleAfterSeconds)
            stale.emplace_back(found);
    }
    closedir(entries);
    for (const auto& file : stale) unlinkat(folder, file.c_str(), 0);
}

// Every missing folder along the path, private to the user. 0 or the errno,
// with the folder that could not be made.
int MakeFolders(const std::string& path, std::string& failedAt) {
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string part = path.substr(0, end);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            const int error = errno;
            failedAt = part;
            return error;
        }
        if (end == std::string::npos) return 0;
    }
}

int WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = write(fd, content.data(), std::min<std::size_t>(content.size(), 1u << 30));
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (written == 0) return EIO;
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

int Flush(int fd) {
    while (fsync(fd) != 0)
        if (errno != EINTR) return errno;
    return 0;
}

}  // namespace

std::string ErrorText(int error) { return std::generic_category().message(error); }

std::string ConfigHome() { return XdgFolder("XDG_CONFIG_HOME", "/.config"); }

std::string DataHome() { return XdgFolder("XDG_DATA_HOME", "/.local/share"); }

PosixFileStore::PosixFileStore() : folder_(ConfigHome() + "/quellgate") {}

std::string PosixFileStore::PathOf(std::string_view name) const {
    std::string path = folder_;
    if (path.empty() || path.back() != '/') path += '/';
    return path += name;
}

FileStore::ReadResult PosixFileStore::Read(std::string_view name) const noexcept {
    try {
        // Not blocking: a FIFO of that name must not hang the program.
        UniqueFd file(open(PathOf(name).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (!file) {
            const int error = errno;
            if (error == ENOENT) return Missing{};
            return Unreadable{ErrorText(error)};
        }
        struct stat status {};
        if (fstat(file.get(), &status) != 0) return Unreadable{ErrorText(errno)};
        if (S_ISDIR(status.st_mode)) return Unreadable{ErrorText(EISDIR)};
        if (!S_ISREG(status.st_mode)) return Unreadable{"not an ordinary file"};
        if (static_cast<std::uint64_t>(status.st_size) > kLargestFile)
            return Unreadable{std::string(kTooLarge)};
        std::string content;
        content.reserve(static_cast<std::size_t>(status.st_size));
        std::array<char, 65536> buffer;
        for (;;) {
            const ssize_t got = read(file.get(), buffer.data(), buffer.size());
            if (got < 0) {
                if (errno == EINTR) continue;
                return Unreadable{ErrorText(errno)};
            }
            if (got == 0) return content;
            content.append(buffer.data(), static_cast<std::size_t>(got));
            if (content.size() > kLargestFile) return Unreadable{std::string(kTooLarge)};  // it grew
        }
    } catch (...) {
        return Unreadable{ErrorText(ENOMEM)};
    }
}

Outcome PosixFileStore::Replace(std::string_view name, std::string_view content) noexcept {
    using Step = Outcome::Step;
    try {
        const auto fail = [](Step step, int error, std::string_view what) {
            std::string reason = ErrorText(error);
            if (!what.empty()) reason.append(", ").append(what);
            return Outcome::Failure(std::move(reason), step, error);
        };
        constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
        UniqueFd folder(open(folder_.c_str(), kFolderFlags));
        int error = 0;
        if (!folder && errno == ENOENT) {
            std::string failedAt;
            error = MakeFolders(folder_, failedAt);
            if (error) return fail(Step::Opening, error, "creating the folder " + failedAt);
            folder = UniqueFd(open(folder_.c_str(), kFolderFlags));
        }
        if (!folder) {
            error = errno;
            return fail(Step::Opening, error, "opening the folder " + folder_);
        }

        RemoveStaleTemporaries(folder.get(), name);
        std::string temporary;
        UniqueFd file;
        error = EEXIST;
        for (int attempt = 0; !file && error == EEXIST && attempt < 100; ++attempt) {
            temporary = TemporaryName(name);
            file = UniqueFd(
                openat(folder.get(), temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
            error = file ? 0 : errno;
        }
        if (!file) return fail(Step::Writing, error, "creating the temporary file " + PathOf(temporary));

        error = WriteAll(file.get(), content);
        if (!error) error = Flush(file.get());
        if (!error) error = file.Close();
        if (error) {
            unlinkat(folder.get(), temporary.c_str(), 0);
            return fail(Step::Writing, error, "writing " + PathOf(temporary));
        }
        if (renameat(folder.get(), temporary.c_str(), folder.get(), std::string(name).c_str()) != 0) {
            error = errno;
            unlinkat(folder.get(), temporary.c_str(), 0);
            return fail(Step::Writing, error, "");
        }
        // The rename itself lasts only once the folder is on disk. (Some file
        // systems cannot flush a folder; they say EINVAL.)
        if (const int flushed = Flush(folder.get()); flushed && flushed != EINVAL)
            return fail(Step::Writing, flushed, "flushing the folder " + folder_);
        return Outcome::Success();
    } catch (...) {
        return Outcome::Failure(ErrorText(ENOMEM), Step::Writing, ENOMEM);
    }
}

}  // namespace quellgate::posix
