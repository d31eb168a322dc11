#include "protect/master_password.h"

#include "protect/rotor_cipher.h"
#include "text/utf8.h"

namespace quellgate {

std::string MasterPassword::Load() const { return Decipher(store_.Read("P").value_or("")); }

Outcome MasterPassword::Store(std::string_view password) {
    // Read just before the write: "U" is copied as it stands, whoever wrote it.
    const std::string companion = store_.Read("U").value_or("");
    Outcome written = store_.Write("P", Encipher(password));
    store_.Write("U", companion);
    return written;
}

PasswordChange CheckPasswordChange(std::string_view stored, std::string_view oldPassword,
                                   std::string_view newPassword, std::string_view retyped) {
    if (oldPassword != stored) return PasswordChange::WrongOldPassword;
    if (CharacterCount(newPassword) < kShortestNewPassword) return PasswordChange::TooShort;
    if (retyped.empty()) return PasswordChange::BoxEmpty;
    if (newPassword != retyped) return PasswordChange::RetypedDiffers;
    return PasswordChange::Accepted;
}

}  // namespace quellgate
