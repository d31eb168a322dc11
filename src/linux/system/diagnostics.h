#pragma once

#include <string_view>

#include "platform/diagnostics.h"

namespace quellgate::posix {

// To standard error, where a session's log keeps it.
void NoteFault(std::string_view what) noexcept;

class StandardError : public Diagnostics {
public:
    void Note(std::string_view what) override { NoteFault(what); }
};

}  // namespace quellgate::posix
