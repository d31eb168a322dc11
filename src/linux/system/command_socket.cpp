#include "linux/system/command_socket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#include "linux/system/file_store.h"
#include "linux/system/process.h"

namespace quellgate::posix {
namespace {

constexpr int kAnswerWithinMs = 1000;

bool AddressOf(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// A line, up to its line end, all of it within the time: a client that sends
// a byte now and then must not hold the watch.
std::string ReadLine(int fd, int withinMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(withinMs);
    std::string line;
    char c = 0;
    pollfd ready{fd, POLLIN, 0};
    while (line.size() < 64) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now())
                .count();
        if (left <= 0 || poll(&ready, 1, static_cast<int>(left)) <= 0 || read(fd, &c, 1) != 1 || c == '\n')
            break;
        line += c;
    }
    return line;
}

void Say(int fd, std::string_view line) {
    const std::string text = std::string(line) + "\n";
    [[maybe_unused]] const ssize_t sent = send(fd, text.data(), text.size(), MSG_NOSIGNAL);
}

}  // namespace

std::string CommandSocketPath() { return InstanceFilePath(".socket"); }

CommandListener::CommandListener() {
    sockaddr_un address{};
    if (!AddressOf(CommandSocketPath(), address)) return;
    unlink(address.sun_path);
    UniqueFd listener(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (listener && bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        chmod(address.sun_path, 0600) == 0 && listen(listener.get(), 8) == 0)
        socket_ = std::move(listener);
}

void CommandListener::Serve(const std::function<void(RemoteCommand)>& perform) {
    std::vector<RemoteCommand> asked;
    // A few at a time: the notifier calls again while more wait, and the
    // watch ticks in between however many keep coming.
    for (int served = 0; socket_ && served < 8; ++served) {
        const UniqueFd connection(accept4(socket_.get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!connection) break;
        ucred peer{};
        socklen_t size = sizeof peer;
        // Another user may reach the socket only through a folder of ours; answer our own alone all the same.
        if (getsockopt(connection.get(), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != geteuid())
            continue;
        const auto command = RemoteCommandNamed(ReadLine(connection.get(), 200));
        Say(connection.get(), command ? "ok" : "unknown command");
        if (command) asked.push_back(*command);
    }
    // Answered first: a prompt that opens waits for the user, the command line must not.
    for (const RemoteCommand command : asked) perform(command);
}

Outcome Send(RemoteCommand command) {
    sockaddr_un address{};
    if (!AddressOf(CommandSocketPath(), address))
        return Outcome::Failure("there is no private folder for it");
    const UniqueFd connection(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!connection ||
        connect(connection.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno == ENOENT || errno == ECONNREFUSED)
            return Outcome::Failure("no Quellgate runs for this session");
        return Outcome::Failure(ErrorText(errno) + ", reaching " + address.sun_path);
    }
    Say(connection.get(), WordOf(command));
    if (ReadLine(connection.get(), kAnswerWithinMs) != "ok")
        return Outcome::Failure("Quellgate did not answer");
    return Outcome::Success();
}

}  // namespace quellgate::posix
