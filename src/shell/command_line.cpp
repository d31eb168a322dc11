#include "shell/command_line.h"

#include <string_view>

#include "version.h"

namespace quellgate {

std::optional<std::string> VersionRequested(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--version") return std::string("quellgate ") + QUELLGATE_VERSION;
    return std::nullopt;
}

}  // namespace quellgate
