#pragma once

#include <string>

#include "platform/dialogs.h"
#include "platform/outcome.h"
#include "platform/settings_store.h"

namespace quellgate {

inline constexpr std::string_view kDefaultPassword = "lotus7391";

// The master password and its companion value "U", kept enciphered as the
// values "P" and "U" of the settings key.
class PasswordStore {
public:
    explicit PasswordStore(SettingsStore& store) : store_(store) {}

    void LoadPassword();
    Outcome SavePassword();

    std::string MasterPassword;
    std::string StatusU;  // no meaning of its own; always written back as read

private:
    SettingsStore& store_;
};

// Asks for the master password; true when the answer unlocks the main window.
bool AskMasterPassword(PasswordStore& password, Dialogs& dialogs);

}  // namespace quellgate
