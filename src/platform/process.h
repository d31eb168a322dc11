#pragma once

#include <string>

namespace quellgate {

class Process {
public:
    virtual ~Process() = default;

    // The running executable's folder (no trailing separator unless it is a
    // drive root) and its file name without folder and extension.
    virtual std::string ExecutableFolder() const = 0;
    virtual std::string ExecutableBaseName() const = 0;

    // True for the first instance of the logged-on user; holds the claim
    // until the process ends.
    virtual bool ClaimSingleInstance() = 0;
};

}  // namespace quellgate
