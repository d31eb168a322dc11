#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace quellgate {

// The built-in networks, in the order they are shown, loaded and stored.
struct Network {
    std::string_view name;         // the keyword a blocked network puts in the list
    std::string_view settingName;  // the stored value that holds its switch
};

inline constexpr std::array<Network, 5> kNetworks = {{
    {"facebook", "A"},
    {"twitter", "B"},
    {"linkedin", "C"},
    {"myspace", "D"},
    {"youtube", "E"},
}};
inline constexpr std::size_t kNetworkCount = kNetworks.size();

// Exactly a network's name: case and blanks count.
constexpr bool IsNetworkName(std::string_view entry) {
    for (const auto& network : kNetworks)
        if (network.name == entry) return true;
    return false;
}

}  // namespace quellgate
