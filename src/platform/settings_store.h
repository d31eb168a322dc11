#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/outcome.h"

namespace quellgate {

// The program's named string values: the network switches and the password.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Absent when the value is missing, is not a plain string, or cannot be
    // read; a stored empty string reads as "".
    virtual std::optional<std::string> Read(std::string_view name) const = 0;

    // Replaces any earlier value, creating the store when it is missing.
    virtual Outcome Write(std::string_view name, std::string_view text) = 0;

    // Where the values are kept, in the user's words, and whether they are
    // kept for every user of the computer (which an ordinary account may be
    // refused to change).
    virtual std::string Location() const = 0;
    virtual bool SharedByAllUsers() const = 0;
};

}  // namespace quellgate
