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

    // Whether a value of that name is kept at all, of whatever type.
    virtual bool Holds(std::string_view name) const { return Read(name).has_value(); }

    // Replaces any earlier value, creating the store when it is missing.
    virtual Outcome Write(std::string_view name, std::string_view text) = 0;

    // A store that exists but cannot be read must not pass for an empty one:
    // the failure, when that is so.
    virtual Outcome Readable() const { return Outcome::Success(); }

    // Where the values are kept, in the user's words.
    virtual std::string Location() const = 0;
};

}  // namespace quellgate
