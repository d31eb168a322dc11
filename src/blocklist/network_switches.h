#pragma once

#include <array>
#include <cstddef>

#include "blocklist/networks.h"
#include "platform/outcome.h"
#include "platform/settings_store.h"

namespace quellgate {

// The built-in networks, each FREE or BLOCKED, stored as "True" or "False".
class NetworkSwitches {
public:
    explicit NetworkSwitches(SettingsStore& store) : store_(store) {}

    // Anything but a stored "True" reads as FREE.
    void Load();
    bool IsBlocked(std::size_t network) const { return blocked_.at(network); }
    void Toggle(std::size_t network) { blocked_.at(network) = !blocked_.at(network); }

    // Stores all of them, each tried even when another fails, so the stored
    // set matches the display as far as the store allows. The first failure.
    Outcome Save();

private:
    SettingsStore& store_;
    std::array<bool, kNetworkCount> blocked_{};
};

}  // namespace quellgate
