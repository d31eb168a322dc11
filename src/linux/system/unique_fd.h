#pragma once

#include <unistd.h>

#include <cerrno>
#include <utility>

namespace quellgate::posix {

// Owns a file descriptor; closes it once.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    void reset() {
        if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    }
    // Closes now and says how that went: some file systems report a failed
    // write only here. 0, or the errno.
    int Close() {
        if (fd_ < 0) return 0;
        // Linux has let the descriptor go even when interrupted.
        return ::close(std::exchange(fd_, -1)) == 0 || errno == EINTR ? 0 : errno;
    }

private:
    int fd_ = -1;
};

}  // namespace quellgate::posix
