#pragma once

#include <cstdio>
#include <cstdlib>

namespace quellgate::fuzz {

// Stops the fuzzer with the property that failed, so that it keeps the input.
inline void Require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property violated: %s\n", property);
    std::abort();
}

}  // namespace quellgate::fuzz
