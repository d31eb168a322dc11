// Arbitrary bytes as the Linux settings file, and any name and value stored in it.
#include <cstdint>
#include <string>
#include <string_view>

#include "linux/system/settings_store.h"
#include "property.h"

using namespace quellgate::posix;
using quellgate::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // name NUL value NUL content
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t first = bytes.find('\0'), second = bytes.find('\0', first + 1);
    if (first == std::string_view::npos || second == std::string_view::npos) return 0;
    const std::string_view name = bytes.substr(0, first), value = bytes.substr(first + 1, second - first - 1);
    const std::string_view content = bytes.substr(second + 1);

    const std::string updated = WithSetting(content, name, value);
    Require(FindSetting(updated, name) == value, "a stored value reads back as it was");
    Require(updated.empty() || updated.back() == '\n', "the file ends with a line end");
    for (const std::string_view other : {"A", "B", "P", "U", "=", "%", ""})
        Require(other == name || FindSetting(updated, other) == FindSetting(content, other),
                "other values stay");
    Require(!FindSetting(content, name) || HoldsSetting(content, name), "a value read is held");
    Require(FindSetting(WithSetting(std::nullopt, name, value), name) == value, "a new file holds the value");
    return 0;
}
