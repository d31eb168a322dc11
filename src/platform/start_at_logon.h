#pragma once

#include <string_view>

namespace quellgate {

// The per-user entry that makes the system start a program at logon.
class StartAtLogon {
public:
    struct Result {
        // Opening the place that holds the entries, or writing (or removing) the entry.
        enum class Stage { Done, Opening, Writing };
        Stage stage = Stage::Done;
        long code = 0;  // the system's error code when stage is not Done
    };

    virtual ~StartAtLogon() = default;

    virtual Result Write(std::string_view name, std::string_view executablePath) = 0;
    virtual Result Remove(std::string_view name) = 0;  // a missing entry is not an error
    virtual bool Exists(std::string_view name) const = 0;
};

}  // namespace quellgate
