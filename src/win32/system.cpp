#include "win32/system.h"

#include <array>

#include "win32/wide.h"

namespace quellgate::win32 {
namespace {

std::wstring ExecutablePath() {
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

Outcome LastError() { return Outcome::Failure(ErrorText(GetLastError())); }

bool WriteAll(HANDLE file, std::string_view content) {
    while (!content.empty()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(content.size(), 1u << 24));
        DWORD written = 0;
        if (!WriteFile(file, content.data(), chunk, &written, nullptr) || written == 0) return false;
        content.remove_prefix(written);
    }
    return true;
}

}  // namespace

void WinDesktop::EnumerateWindows(const std::function<void(const TopLevelWindow&)>& visit) {
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            TopLevelWindow row{reinterpret_cast<std::uintptr_t>(window), {}, IsWindowVisible(window) != FALSE};
            // Hidden windows are never matched, so their captions are not read:
            // most top-level windows are hidden, and every read costs a call
            // into the window manager.
            if (row.visible) {
                std::array<wchar_t, 256> caption{};
                const int length = GetWindowTextW(window, caption.data(), static_cast<int>(caption.size()));
                row.caption = Narrow({caption.data(), static_cast<std::size_t>(std::max(length, 0))});
            }
            (*reinterpret_cast<const std::function<void(const TopLevelWindow&)>*>(context))(row);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&visit));
}

bool WinDesktop::SendAltHome() {
    std::array<INPUT, 4> keys{};
    for (auto& key : keys) key.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = VK_MENU;
    keys[1].ki.wVk = VK_HOME;
    keys[1].ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
    keys[2].ki.wVk = VK_HOME;
    keys[2].ki.dwFlags = KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP;
    keys[3].ki.wVk = VK_MENU;
    keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)) == keys.size();
}

bool WinDesktop::IsKeyPressed(Key key) { return GetAsyncKeyState(static_cast<int>(key)) != 0; }

std::string WinTextCase::LowerCase(std::string_view text) const {
    const std::wstring wide = Wide(text);
    if (wide.empty()) return {};
    const DWORD flags = LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING;
    const auto map = [&](wchar_t* out, int size) {
        return LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, wide.data(), static_cast<int>(wide.size()), out, size,
                             nullptr, nullptr, 0);
    };
    // Lower case nearly always has the same length, so one call usually does;
    // every caption passes here on every tick.
    std::wstring lower(wide.size(), L'\0');
    int length = map(lower.data(), static_cast<int>(lower.size()));
    if (length <= 0) {
        length = map(nullptr, 0);
        if (length <= 0) return std::string(text);
        lower.assign(static_cast<std::size_t>(length), L'\0');
        length = map(lower.data(), length);
    }
    lower.resize(static_cast<std::size_t>(std::max(length, 0)));
    return Narrow(lower);
}

FileStore::ReadResult WinFileStore::Read(std::string_view path) const {
    const std::wstring name = Wide(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Missing{};
        return Unreadable{ErrorText(error)};
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Unreadable{"a folder has taken the file's name"};

    UniqueFile file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return Unreadable{ErrorText(GetLastError())};
    std::string content;
    std::array<char, 65536> buffer;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
            return Unreadable{ErrorText(GetLastError())};
        if (read == 0) return content;
        content.append(buffer.data(), read);
    }
}

Outcome WinFileStore::Replace(std::string_view path, std::string_view content) {
    const std::wstring target = Wide(path);
    const std::wstring temporary = target + L".new";
    // Ask first whether the old file may go: a read-only file or one that
    // another program holds open must stay, and the user must hear why.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))
            return Outcome::Failure(ErrorText(ERROR_ACCESS_DENIED));
        UniqueFile probe(CreateFileW(target.c_str(), GENERIC_WRITE | DELETE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe) return LastError();
    }
    // A temporary file left by a save that was cut short, or anything else of
    // that name, must not block every later save.
    if (const DWORD stale = GetFileAttributesW(temporary.c_str()); stale != INVALID_FILE_ATTRIBUTES) {
        if (stale & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveDirectoryW(temporary.c_str());
        } else {
            SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(temporary.c_str());
        }
    }
    {
        UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return Outcome::Failure(ErrorText(GetLastError()) + ", writing " + Narrow(temporary));
        if (!WriteAll(file.get(), content) || !FlushFileBuffers(file.get())) {
            Outcome failed = LastError();
            file.reset();
            DeleteFileW(temporary.c_str());
            return failed;
        }
    }
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        Outcome failed = LastError();
        DeleteFileW(temporary.c_str());
        return failed;
    }
    return Outcome::Success();
}

std::string WinProcess::ExecutableFolder() const {
    const std::wstring path = ExecutablePath();
    std::wstring folder = path.substr(0, path.find_last_of(L"\\/"));
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';  // a drive root
    return Narrow(folder);
}

std::string WinProcess::ExecutableBaseName() const {
    const std::wstring path = ExecutablePath();
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    if (const auto dot = name.find_last_of(L'.'); dot != std::wstring::npos && dot > 0) name.resize(dot);
    return Narrow(name);
}

bool WinProcess::ClaimSingleInstance() {
    // Local\ names are per logon session, so each logged-on user has their own.
    instanceMutex_.reset(CreateMutexW(nullptr, FALSE, L"Local\\Quellgate.SingleInstance"));
    return instanceMutex_ && GetLastError() != ERROR_ALREADY_EXISTS;
}

}  // namespace quellgate::win32
