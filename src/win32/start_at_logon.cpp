#include "win32/start_at_logon.h"

#include "win32/handles.h"
#include "win32/settings_store.h"
#include "win32/wide.h"

namespace quellgate::win32 {
namespace {

LSTATUS OpenRunKey(UniqueKey& key) {
    return RegCreateKeyExW(HKEY_CURRENT_USER, WinStartAtLogon::kRunKeyPath, 0, nullptr, 0, KEY_WRITE, nullptr,
                           key.out(), nullptr);
}

}  // namespace

std::string RunCommand(std::string_view executablePath) {
    std::string command(executablePath);
    if (command.find(' ') != std::string::npos) {
        command.insert(0, 1, '"');
        command.push_back('"');
    }
    return command;
}

StartAtLogon::Result WinStartAtLogon::Write(std::string_view name, std::string_view executablePath) {
    UniqueKey key;
    if (const LSTATUS status = OpenRunKey(key)) return {Result::Stage::Opening, status};
    if (const LSTATUS status = SetStringValue(key.get(), name, RunCommand(executablePath)))
        return {Result::Stage::Writing, status};
    return {};
}

StartAtLogon::Result WinStartAtLogon::Remove(std::string_view name) {
    UniqueKey key;
    if (const LSTATUS status = OpenRunKey(key)) return {Result::Stage::Opening, status};
    const LSTATUS status = RegDeleteValueW(key.get(), Wide(name).c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return {Result::Stage::Writing, status};
    return {};
}

bool WinStartAtLogon::Exists(std::string_view name) const {
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_READ, key.out())) return false;
    return RegQueryValueExW(key.get(), Wide(name).c_str(), nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

}  // namespace quellgate::win32
