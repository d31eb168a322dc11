#pragma once

#include <string>
#include <string_view>

namespace quellgate {

// The per-user entry that makes the system start a program at logon.
class Autostart {
public:
    struct Result {
        enum class Stage { Done, OpeningKey, SettingValue };
        Stage stage = Stage::Done;
        long code = 0;  // the system's error code when stage is not Done
    };

    virtual ~Autostart() = default;

    // command is what the system runs at logon.
    virtual Result Write(std::string_view name, std::string_view command) = 0;
    virtual Result Remove(std::string_view name) = 0;  // a missing entry is not an error
    virtual bool Exists(std::string_view name) const = 0;
};

}  // namespace quellgate
