#pragma once

#include <string_view>

#include "platform/dialogs.h"
#include "protect/master_password.h"

namespace quellgate {

inline constexpr std::size_t kShortestPassword = 8;

// OK in the change-password dialog: checks the old password and the new one
// typed twice. True when the password was changed and the dialog may close.
bool ChangeMasterPassword(PasswordStore& password, Dialogs& dialogs, std::string_view oldPassword,
                          std::string_view newPassword, std::string_view retyped);

}  // namespace quellgate
