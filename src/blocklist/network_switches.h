#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "blocklist/active_keyword_list.h"
#include "platform/dialogs.h"
#include "platform/settings_store.h"

namespace quellgate {

inline constexpr std::size_t kNetworkCount = 5;
inline constexpr std::array<std::string_view, kNetworkCount> kNetworkNames = {
    "facebook", "twitter", "linkedin", "myspace", "youtube"};

// Where the switch states and the password live.
inline constexpr SettingsRoot kSettingsRoot = SettingsRoot::LocalMachine;
inline constexpr std::string_view kSettingsKey = "Software\\Korvane\\Status";

bool IsNetworkNameExactly(std::string_view entry);

// The five built-in networks, each FREE or BLOCKED, stored as "True"/"False"
// under the values "A" to "E".
class NetworkSwitches {
public:
    NetworkSwitches(SettingsStore& store, ActiveKeywordList& list, Dialogs& dialogs)
        : store_(store), list_(list), dialogs_(dialogs) {}

    bool IsBlocked(std::size_t network) const { return blocked_.at(network); }

    void LoadSwitchStates();

    // Adds the name of every blocked network to the active list.
    void FillActiveList();

    // A click on a network's icon switches it and changes the active list;
    // the caller shows the new state, then stores all five.
    void Toggle(std::size_t network);
    void SaveSwitchStates();

private:
    SettingsStore& store_;
    ActiveKeywordList& list_;
    Dialogs& dialogs_;
    std::array<bool, kNetworkCount> blocked_{};  // StatusA .. StatusE
    bool toldStoreFailure_ = false;
};

}  // namespace quellgate
