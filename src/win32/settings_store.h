#pragma once

#include <string>

#include "platform/settings_store.h"
#include "win32/windows_api.h"

namespace quellgate::win32 {

// REG_SZ values under one registry key.
class RegistryStore : public SettingsStore {
public:
    RegistryStore(HKEY root, const wchar_t* path, REGSAM view, std::string location)
        : root_(root), path_(path), view_(view), location_(std::move(location)) {}

    std::optional<std::string> Read(std::string_view name) const override;
    bool Holds(std::string_view name) const override;
    // A key that cannot be created, or a value the system denies, is refused.
    Outcome Write(std::string_view name, std::string_view text) override;
    std::string Location() const override { return location_; }

    HKEY Root() const { return root_; }
    const wchar_t* Path() const { return path_; }
    REGSAM View() const { return view_; }

private:
    HKEY root_;
    const wchar_t* path_;
    REGSAM view_;
    std::string location_;
};

// Where the program's first release kept its settings: machine-wide, in the
// 32-bit registry view, which on 64-bit Windows is the WOW6432Node branch.
RegistryStore MachineSettings();
// Where Windows kept the same values for an account that may not change
// machine-wide ones: the account's virtual store.
RegistryStore OwnSettings();

// Writes a REG_SZ value with its terminating NUL.
LSTATUS SetStringValue(HKEY key, std::string_view name, std::string_view text);

}  // namespace quellgate::win32
