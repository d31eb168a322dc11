#include "protect/change_password.h"

#include "text/messages.h"
#include "text/utf8.h"

namespace quellgate {

bool ChangeMasterPassword(PasswordStore& password, Dialogs& dialogs, std::string_view oldPassword,
                          std::string_view newPassword, std::string_view retyped) {
    const auto refuse = [&](std::string_view message) {
        dialogs.ShowMessage(message, texts::kAppTitle, MessageIcon::Exclamation);
        return false;
    };

    password.LoadPassword();
    if (oldPassword != password.MasterPassword) return refuse(texts::kWrongOldPassword);
    if (CharacterCount(newPassword) < kShortestPassword) return refuse(texts::kNewPasswordTooShort);
    if (retyped.empty() || newPassword.empty()) return refuse(texts::kFillAllBoxes);
    if (newPassword != retyped) return refuse(texts::kRetypeNewPassword);

    const std::string previous = password.MasterPassword;
    password.MasterPassword = std::string(newPassword);
    if (const Outcome saved = password.SavePassword(); !saved) {
        password.MasterPassword = previous;
        return refuse(texts::NewPasswordNotStored(saved.reason()));
    }
    dialogs.ShowMessage(texts::kPasswordChanged, texts::kAppTitle, MessageIcon::Information);
    return true;
}

}  // namespace quellgate
