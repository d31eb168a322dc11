#pragma once

#include <string_view>

#include "platform/diagnostics.h"

namespace quellgate::win32 {

// To the debugger's output (DebugView, or a debugger attached).
void NoteFault(std::string_view what) noexcept;

class DebugOutput : public Diagnostics {
public:
    void Note(std::string_view what) override { NoteFault(what); }
};

}  // namespace quellgate::win32
