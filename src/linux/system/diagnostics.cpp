#include "linux/system/diagnostics.h"

#include <cstdio>

namespace quellgate::posix {

void NoteFault(std::string_view what) noexcept {
    std::fprintf(stderr, "quellgate: %.*s\n", static_cast<int>(what.size()), what.data());
}

}  // namespace quellgate::posix
