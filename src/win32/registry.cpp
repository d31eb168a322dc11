#include "win32/registry.h"

#include <vector>

#include "win32/handles.h"
#include "win32/wide.h"

namespace quellgate::win32 {
namespace {

HKEY RootKey(SettingsRoot root) {
    return root == SettingsRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

REGSAM View(SettingsRoot root) { return root == SettingsRoot::LocalMachine ? KEY_WOW64_32KEY : 0; }

LSTATUS SetString(HKEY key, std::string_view name, std::string_view text) {
    const std::wstring data = Wide(text);
    return RegSetValueExW(key, Wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

std::optional<std::string> RegistryStore::GetString(SettingsRoot root, std::string_view keyPath,
                                                    std::string_view valueName) const {
    UniqueKey key;
    if (RegOpenKeyExW(RootKey(root), Wide(keyPath).c_str(), 0, KEY_QUERY_VALUE | View(root), key.out()))
        return std::nullopt;
    const std::wstring name = Wide(valueName);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) || type != REG_SZ)
        return std::nullopt;
    // The value may grow between the two calls; ask again until it fits.
    std::vector<wchar_t> data;
    LSTATUS status = ERROR_MORE_DATA;
    while (status == ERROR_MORE_DATA) {
        data.assign(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                                  &size);
    }
    if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    std::wstring_view text(data.data(), size / sizeof(wchar_t));
    return Narrow(text.substr(0, text.find(L'\0')));
}

Outcome RegistryStore::SaveString(SettingsRoot root, std::string_view keyPath, std::string_view valueName,
                                  std::string_view text) {
    UniqueKey key;
    LSTATUS status = RegCreateKeyExW(RootKey(root), Wide(keyPath).c_str(), 0, nullptr, 0,
                                     KEY_SET_VALUE | View(root), nullptr, key.out(), nullptr);
    if (status == ERROR_SUCCESS) status = SetString(key.get(), valueName, text);
    if (status != ERROR_SUCCESS) return Outcome::Failure(ErrorText(static_cast<DWORD>(status)));
    return Outcome::Success();
}

Autostart::Result RunKey::Write(std::string_view name, std::string_view command) {
    UniqueKey key;
    if (const LSTATUS status =
            RegCreateKeyExW(HKEY_CURRENT_USER, kPath, 0, nullptr, 0, KEY_WRITE, nullptr, key.out(), nullptr))
        return {Result::Stage::OpeningKey, status};
    if (const LSTATUS status = SetString(key.get(), name, command)) return {Result::Stage::SettingValue, status};
    return {};
}

Autostart::Result RunKey::Remove(std::string_view name) {
    UniqueKey key;
    if (const LSTATUS status =
            RegCreateKeyExW(HKEY_CURRENT_USER, kPath, 0, nullptr, 0, KEY_WRITE, nullptr, key.out(), nullptr))
        return {Result::Stage::OpeningKey, status};
    const LSTATUS status = RegDeleteValueW(key.get(), Wide(name).c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return {Result::Stage::SettingValue, status};
    return {};
}

bool RunKey::Exists(std::string_view name) const {
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kPath, 0, KEY_READ, key.out())) return false;
    return RegQueryValueExW(key.get(), Wide(name).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

}  // namespace quellgate::win32
