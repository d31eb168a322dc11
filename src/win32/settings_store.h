#pragma once

#include "platform/settings_store.h"
#include "win32/windows_api.h"

namespace quellgate::win32 {

// REG_SZ values under HKEY_LOCAL_MACHINE\Software\Korvane\Status, in the
// 32-bit registry view, where the program's first release kept them: on
// 64-bit Windows that is HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\Korvane\Status.
class WinSettingsStore : public SettingsStore {
public:
    static constexpr const wchar_t* kKeyPath = L"Software\\Korvane\\Status";
    static constexpr REGSAM kView = KEY_WOW64_32KEY;

    std::optional<std::string> Read(std::string_view name) const override;
    Outcome Write(std::string_view name, std::string_view text) override;
    std::string Location() const override;
    bool SharedByAllUsers() const override { return true; }
};

// Writes a REG_SZ value with its terminating NUL.
LSTATUS SetStringValue(HKEY key, std::string_view name, std::string_view text);

}  // namespace quellgate::win32
