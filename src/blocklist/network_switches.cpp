#include "blocklist/network_switches.h"

#include <algorithm>
#include <string>

#include "text/messages.h"

namespace quellgate {
namespace {

constexpr std::array<std::string_view, kNetworkCount> kValueNames = {"A", "B", "C", "D", "E"};

}  // namespace

bool IsNetworkNameExactly(std::string_view entry) {
    return std::find(kNetworkNames.begin(), kNetworkNames.end(), entry) != kNetworkNames.end();
}

void NetworkSwitches::LoadSwitchStates() {
    for (std::size_t i = 0; i < kNetworkCount; ++i)
        blocked_[i] = store_.GetString(kSettingsRoot, kSettingsKey, kValueNames[i]) == "True";
}

void NetworkSwitches::FillActiveList() {
    for (std::size_t i = 0; i < kNetworkCount; ++i)
        if (blocked_[i]) list_.Add(kNetworkNames[i]);
}

void NetworkSwitches::Toggle(std::size_t network) {
    const std::string_view name = kNetworkNames.at(network);
    // Only the network's own entry: the user's keywords that mention it stay,
    // and one of them never stands in for the network.
    blocked_[network] = !blocked_[network];
    if (blocked_[network])
        list_.Add(name);
    else
        list_.Remove(name);
}

void NetworkSwitches::SaveSwitchStates() {
    // All five every time, so the stored set always matches the display.
    Outcome failed = Outcome::Success();
    for (std::size_t i = 0; i < kNetworkCount; ++i) {
        Outcome written = store_.SaveString(kSettingsRoot, kSettingsKey, kValueNames[i],
                                            blocked_[i] ? "True" : "False");
        if (!written && failed) failed = std::move(written);
    }
    if (failed || toldStoreFailure_) return;
    toldStoreFailure_ = true;
    dialogs_.ShowMessage(texts::SettingNotStored(failed.reason()), texts::kAppTitle,
                         MessageIcon::Exclamation);
}

}  // namespace quellgate
