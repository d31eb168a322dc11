#include "win32/start_at_logon.h"

#include "win32/error_text.h"
#include "win32/handles.h"
#include "win32/settings_store.h"
#include "win32/wide.h"

namespace quellgate::win32 {
namespace {

LSTATUS OpenRunKey(UniqueKey& key) {
    return RegCreateKeyExW(HKEY_CURRENT_USER, WinStartAtLogon::kRunKeyPath, 0, nullptr, 0, KEY_WRITE, nullptr,
                           key.out(), nullptr);
}

Outcome Failed(Outcome::Step step, LSTATUS status) {
    return Outcome::Failure(ErrorText(static_cast<DWORD>(status)), step, status);
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

Outcome WinStartAtLogon::Write(std::string_view name, std::string_view executablePath) {
    UniqueKey key;
    if (const LSTATUS status = OpenRunKey(key)) return Failed(Outcome::Step::Opening, status);
    if (const LSTATUS status = SetStringValue(key.get(), name, RunCommand(executablePath)))
        return Failed(Outcome::Step::Writing, status);
    return Outcome::Success();
}

Outcome WinStartAtLogon::Remove(std::string_view name) {
    UniqueKey key;
    if (const LSTATUS status = OpenRunKey(key)) return Failed(Outcome::Step::Opening, status);
    const LSTATUS status = RegDeleteValueW(key.get(), Wide(name).c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        return Failed(Outcome::Step::Writing, status);
    return Outcome::Success();
}

StartAtLogon::Place WinStartAtLogon::PlaceOf(std::string_view name) const {
    return {true,
            R"(HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run, value )" + std::string(name)};
}

bool WinStartAtLogon::Exists(std::string_view name) const {
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_READ, key.out())) return false;
    return RegQueryValueExW(key.get(), Wide(name).c_str(), nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

}  // namespace quellgate::win32
