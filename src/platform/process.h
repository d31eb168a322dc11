#pragma once

#include <string>

namespace quellgate {

class Process {
public:
    virtual ~Process() = default;

    // The running executable's full path, and its file name without folder
    // and extension.
    virtual std::string ExecutablePath() const = 0;
    virtual std::string ExecutableName() const = 0;

    // True for the first instance of the user; holds the claim until the
    // process ends, however it ends.
    virtual bool ClaimSingleInstance() = 0;
};

}  // namespace quellgate
