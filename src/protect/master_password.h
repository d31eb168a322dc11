#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/outcome.h"
#include "platform/settings_store.h"

namespace quellgate {

// The password that applies while none is stored.
inline constexpr std::string_view kDefaultPassword = "lotus7391";
inline constexpr std::size_t kShortestNewPassword = 8;

// The master password, kept enciphered in the value "P". The value "U" beside
// it has no meaning to the program and is always written back as it was.
class MasterPassword {
public:
    explicit MasterPassword(SettingsStore& store) : store_(store) {}

    // The stored password; "" when none is stored or it cannot be read.
    std::string Load() const;

    // Whether the password was stored depends on "P" alone.
    Outcome Store(std::string_view password);

private:
    SettingsStore& store_;
};

enum class PasswordChange { Accepted, WrongOldPassword, TooShort, BoxEmpty, RetypedDiffers };

// The change-password dialog's checks, in the order the user hears of them.
PasswordChange CheckPasswordChange(std::string_view stored, std::string_view oldPassword,
                                   std::string_view newPassword, std::string_view retyped);

}  // namespace quellgate
