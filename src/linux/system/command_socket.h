#pragma once

#include <functional>
#include <string>

#include "linux/system/unique_fd.h"
#include "platform/outcome.h"
#include "shell/command_line.h"

namespace quellgate::posix {

// Where the running instance takes commands: beside its lock, in a folder
// only the user may use; empty when there is no such folder.
std::string CommandSocketPath();

// The running instance's end: a socket only the user's own processes reach.
// Each connection says one command word and a line end and is answered "ok".
class CommandListener {
public:
    // Made once the instance is claimed, so a socket left by a copy that was
    // ended is replaced, never one that listens.
    CommandListener();

    bool Listening() const { return static_cast<bool>(socket_); }
    int Fd() const { return socket_.get(); }
    // Answers the connections that wait, then performs what they asked.
    // Never waits for a connection.
    void Serve(const std::function<void(RemoteCommand)>& perform);

private:
    UniqueFd socket_;
};

// The command line's end: a failure, in words, when no instance runs for the
// user and display or it did not answer within a second.
Outcome Send(RemoteCommand command);

}  // namespace quellgate::posix
