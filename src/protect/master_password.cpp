#include "protect/master_password.h"

#include "blocklist/network_switches.h"
#include "protect/rotor_cipher.h"
#include "text/messages.h"

namespace quellgate {

void PasswordStore::LoadPassword() {
    MasterPassword = Decipher(store_.GetString(kSettingsRoot, kSettingsKey, "P").value_or(""));
    StatusU = Decipher(store_.GetString(kSettingsRoot, kSettingsKey, "U").value_or(""));
}

// "U" is only ever written back unchanged, so whether the password is stored
// depends on "P" alone.
Outcome PasswordStore::SavePassword() {
    Outcome written = store_.SaveString(kSettingsRoot, kSettingsKey, "P", Encipher(MasterPassword));
    store_.SaveString(kSettingsRoot, kSettingsKey, "U", Encipher(StatusU));
    return written;
}

bool AskMasterPassword(PasswordStore& password, Dialogs& dialogs) {
    password.LoadPassword();
    if (password.MasterPassword.empty()) password.MasterPassword = kDefaultPassword;

    const std::string answer =
        dialogs.AskText(texts::kEnterPassword, texts::kAppTitle, true).value_or(std::string{});
    if (answer.empty()) {
        dialogs.ShowMessage(texts::kPleaseEnterPassword, texts::kAppTitle, MessageIcon::None);
        return false;
    }
    if (answer != password.MasterPassword) {
        dialogs.ShowMessage(texts::kPasswordNotMatch, texts::kPasswordVerificationTitle,
                            MessageIcon::Exclamation);
        return false;
    }
    if (password.MasterPassword == kDefaultPassword) {
        dialogs.ShowMessage(texts::kDefaultPasswordWarning, texts::kAppTitle, MessageIcon::Information);
        if (const Outcome saved = password.SavePassword(); !saved)
            dialogs.ShowMessage(texts::DefaultPasswordNotStored(saved.reason()), texts::kAppTitle,
                                MessageIcon::Exclamation);
    }
    return true;
}

}  // namespace quellgate
