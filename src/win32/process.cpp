#include "win32/process.h"

#include "win32/wide.h"

namespace quellgate::win32 {

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string WinProcess::ExecutablePath() const { return Narrow(ModulePath()); }

std::string WinProcess::ExecutableName() const {
    const std::wstring path = ModulePath();
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    if (const auto dot = name.find_last_of(L'.'); dot != std::wstring::npos && dot > 0) name.resize(dot);
    return Narrow(name);
}

bool WinProcess::ClaimSingleInstance() {
    instanceMutex_.reset(CreateMutexW(nullptr, FALSE, L"Local\\Quellgate.SingleInstance"));
    return instanceMutex_ && GetLastError() != ERROR_ALREADY_EXISTS;
}

}  // namespace quellgate::win32
