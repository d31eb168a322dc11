#include "win32/settings_store.h"

#include <vector>

#include "win32/error_text.h"
#include "win32/handles.h"
#include "win32/wide.h"

namespace quellgate::win32 {

LSTATUS SetStringValue(HKEY key, std::string_view name, std::string_view text) {
    const std::wstring data = Wide(text);
    return RegSetValueExW(key, Wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

RegistryStore MachineSettings() {
    return {HKEY_LOCAL_MACHINE, LR"(Software\Korvane\Status)", KEY_WOW64_32KEY,
            R"(HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\Korvane\Status)"};
}

RegistryStore OwnSettings() {
    // The program is 64-bit, and this branch is the same in both views.
    return {HKEY_CURRENT_USER,
            LR"(Software\Classes\VirtualStore\MACHINE\SOFTWARE\WOW6432Node\Korvane\Status)", 0,
            R"(HKEY_CURRENT_USER\Software\Classes\VirtualStore\MACHINE\SOFTWARE\WOW6432Node\Korvane\Status)"};
}

std::optional<std::string> RegistryStore::Read(std::string_view name) const {
    UniqueKey key;
    if (RegOpenKeyExW(root_, path_, 0, KEY_QUERY_VALUE | view_, key.out())) return std::nullopt;
    const std::wstring valueName = Wide(name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) || type != REG_SZ)
        return std::nullopt;
    // The value may grow between the two calls; ask again until it fits.
    std::vector<wchar_t> data;
    LSTATUS status = ERROR_MORE_DATA;
    while (status == ERROR_MORE_DATA) {
        data.assign(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        status = RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &size);
    }
    if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    std::wstring_view text(data.data(), size / sizeof(wchar_t));
    return Narrow(text.substr(0, text.find(L'\0')));
}

bool RegistryStore::Holds(std::string_view name) const {
    UniqueKey key;
    return RegOpenKeyExW(root_, path_, 0, KEY_QUERY_VALUE | view_, key.out()) == ERROR_SUCCESS &&
           RegQueryValueExW(key.get(), Wide(name).c_str(), nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
}

Outcome RegistryStore::Write(std::string_view name, std::string_view text) {
    UniqueKey key;
    if (const LSTATUS status =
            RegCreateKeyExW(root_, path_, 0, nullptr, 0, KEY_SET_VALUE | view_, nullptr, key.out(), nullptr))
        return Outcome::Refused(ErrorText(static_cast<DWORD>(status)));
    const LSTATUS status = SetStringValue(key.get(), name, text);
    if (status == ERROR_ACCESS_DENIED) return Outcome::Refused(ErrorText(static_cast<DWORD>(status)));
    if (status != ERROR_SUCCESS) return Outcome::Failure(ErrorText(static_cast<DWORD>(status)));
    return Outcome::Success();
}

}  // namespace quellgate::win32
