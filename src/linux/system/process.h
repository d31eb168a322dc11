#pragma once

#include <string>
#include <string_view>

#include "linux/system/unique_fd.h"
#include "platform/process.h"

namespace quellgate::posix {

class LinuxProcess : public Process {
public:
    std::string ExecutablePath() const override;
    std::string ExecutableName() const override;

    // One instance per user and X display: an flock on the file
    // InstanceLockPath(), held while this object lives. The kernel lets go of
    // it when the process ends, however it ends.
    bool ClaimSingleInstance() override;

private:
    UniqueFd instanceLock_;
};

// $XDG_RUNTIME_DIR/quellgate-<display>.lock, or the same name in a private
// folder under /tmp when there is no usable runtime folder; empty when
// neither can be had.
std::string InstanceLockPath();
// A file of the instance beside its lock: the same name with `extension`.
std::string InstanceFilePath(std::string_view extension);

// Where a symbolic link points, however long; empty when it cannot be read.
std::string LinkTarget(const char* link);

// A path's file name without its folder and extension.
std::string ProgramName(std::string_view path);

}  // namespace quellgate::posix
