// Arbitrary bytes as the blocklist file.
#include <cstdint>

#include "blocklist_properties.h"
#include "property.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* violated =
        quellgate::fuzz::ViolatedBlocklistProperty({reinterpret_cast<const char*>(data), size});
    quellgate::fuzz::Require(violated == nullptr, violated);
    return 0;
}
