#pragma once

#include <string>
#include <string_view>

#include "platform/outcome.h"

namespace quellgate {

// The per-user entry that makes the system start a program at logon.
class StartAtLogon {
public:
    // Where an entry is kept: a value under a registry key, or a file.
    struct Place {
        bool registryValue;
        std::string path;
    };

    virtual ~StartAtLogon() = default;

    // A failure says whether the place that holds the entries could not be
    // opened, or the entry not written (or removed).
    virtual Outcome Write(std::string_view name, std::string_view executablePath) = 0;
    virtual Outcome Remove(std::string_view name) = 0;  // a missing entry is not an error
    virtual bool Exists(std::string_view name) const = 0;
    virtual Place PlaceOf(std::string_view name) const = 0;
};

}  // namespace quellgate
