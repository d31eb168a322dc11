#include "blocklist/network_switches.h"

namespace quellgate {

void NetworkSwitches::Load() {
    for (std::size_t i = 0; i < kNetworkCount; ++i)
        blocked_[i] = store_.Read(kNetworks[i].settingName) == "True";
}

Outcome NetworkSwitches::Save() {
    Outcome first = Outcome::Success();
    for (std::size_t i = 0; i < kNetworkCount; ++i) {
        Outcome written = store_.Write(kNetworks[i].settingName, blocked_[i] ? "True" : "False");
        if (!written && first) first = std::move(written);
    }
    return first;
}

}  // namespace quellgate
