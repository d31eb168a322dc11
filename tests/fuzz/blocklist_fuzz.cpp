// libFuzzer target: arbitrary bytes as the blocklist file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "blocklist_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const char* violated =
            quellgate::fuzz::ViolatedBlocklistProperty({reinterpret_cast<const char*>(data), size})) {
        std::fprintf(stderr, "blocklist_fuzz: property violated: %s\n", violated);
        std::abort();
    }
    return 0;
}
