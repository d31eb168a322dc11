#pragma once

#include "platform/autostart.h"
#include "platform/settings_store.h"

namespace quellgate::win32 {

// Settings as REG_SZ values. The machine-wide settings live in the 32-bit
// registry view, where the first release of the program put them.
class RegistryStore : public SettingsStore {
public:
    std::optional<std::string> GetString(SettingsRoot root, std::string_view keyPath,
                                         std::string_view valueName) const override;
    Outcome SaveString(SettingsRoot root, std::string_view keyPath, std::string_view valueName,
                       std::string_view text) override;
};

// The current user's Run key.
class RunKey : public Autostart {
public:
    static constexpr const wchar_t* kPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

    Result Write(std::string_view name, std::string_view command) override;
    Result Remove(std::string_view name) override;
    bool Exists(std::string_view name) const override;
};

}  // namespace quellgate::win32
