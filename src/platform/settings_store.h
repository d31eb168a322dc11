#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/outcome.h"

namespace quellgate {

enum class SettingsRoot { LocalMachine, CurrentUser };

// Named string values under a root and a backslash-separated key path.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Absent when the key or value is missing, is not a plain string, or
    // cannot be read; a stored empty string reads as "".
    virtual std::optional<std::string> GetString(SettingsRoot root, std::string_view keyPath,
                                                 std::string_view valueName) const = 0;

    // Creates missing levels of the key, replaces any earlier value.
    virtual Outcome SaveString(SettingsRoot root, std::string_view keyPath,
                               std::string_view valueName, std::string_view text) = 0;
};

}  // namespace quellgate
