#include "win32/file_store.h"

#include <algorithm>
#include <array>

#include "win32/error_text.h"
#include "win32/handles.h"
#include "win32/process.h"
#include "win32/wide.h"

#include <knownfolders.h>
#include <shlobj.h>

namespace quellgate::win32 {
namespace {

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

// Denied by the system rather than failed: another place may be allowed.
Outcome Denied(DWORD error, std::string reason) {
    if (error == ERROR_ACCESS_DENIED) return Outcome::Refused(std::move(reason));
    return Outcome::Failure(std::move(reason));
}

}  // namespace

std::wstring ExecutableFolder() {
    const std::wstring executable = ModulePath();
    return executable.substr(0, executable.find_last_of(L"\\/"));
}

std::wstring PerUserCopyOf(std::wstring_view folder) {
    if (folder.size() < 2 || folder[1] != L':') return {};
    PWSTR local = nullptr;
    std::wstring copy;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local)))
        copy = JoinPath(local, L"VirtualStore") + std::wstring(folder.substr(2));
    CoTaskMemFree(local);
    while (copy.size() > 1 && (copy.back() == L'\\' || copy.back() == L'/')) copy.pop_back();
    return copy;
}

std::wstring WinFolderStore::FullPath(std::string_view name) const {
    const std::wstring folder = folder_();
    return folder.empty() ? std::wstring() : JoinPath(folder, Wide(name));
}

std::wstring JoinPath(std::wstring_view folder, std::wstring_view name) {
    std::wstring path(folder);
    if (path.empty() || (path.back() != L'\\' && path.back() != L'/')) path += L'\\';
    return path += name;
}

std::string WinFolderStore::PathOf(std::string_view name) const { return Narrow(FullPath(name)); }

bool WinFolderStore::Exists(std::string_view name) const {
    const std::wstring path = FullPath(name);
    return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

FileStore::ReadResult WinFolderStore::Read(std::string_view name) const {
    const std::wstring path = FullPath(name);
    if (path.empty()) return Missing{};
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Missing{};
        return Unreadable{ErrorText(error)};
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Unreadable{"a folder has taken the file's name"};

    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return Unreadable{ErrorText(GetLastError())};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return Unreadable{ErrorText(GetLastError())};
    if (static_cast<std::uint64_t>(size.QuadPart) > kLargestFile) return Unreadable{std::string(kTooLarge)};
    std::string content;
    content.reserve(static_cast<std::size_t>(size.QuadPart));
    std::array<char, 65536> buffer;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
            return Unreadable{ErrorText(GetLastError())};
        if (read == 0) return content;
        content.append(buffer.data(), read);
        if (content.size() > kLargestFile) return Unreadable{std::string(kTooLarge)};  // it grew
    }
}

Outcome WinFolderStore::Replace(std::string_view name, std::string_view content) {
    const std::wstring target = FullPath(name);
    if (target.empty()) return Outcome::Failure("there is no such folder");
    const std::wstring temporary = target + L".new";
    // Ask first whether the old file may go: a read-only file or one that
    // another program holds open must stay, and the user must hear why.
    // (Wine replaces a read-only file at the move, so that check is ours.)
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))
            return Outcome::Failure(ErrorText(ERROR_ACCESS_DENIED));
        UniqueFile probe(CreateFileW(target.c_str(), GENERIC_WRITE | DELETE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe) {
            const DWORD error = GetLastError();
            return Denied(error, ErrorText(error));
        }
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
        // What stays in the way is in this folder: no other place is the answer.
        if (GetFileAttributesW(temporary.c_str()) != INVALID_FILE_ATTRIBUTES)
            return Outcome::Failure(ErrorText(ERROR_ALREADY_EXISTS) + ", writing " + Narrow(temporary));
    }
    const std::wstring folder = target.substr(0, target.find_last_of(L"\\/"));
    if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (const int made = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
            made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS)
            return Denied(static_cast<DWORD>(made),
                          ErrorText(static_cast<DWORD>(made)) + ", creating the folder " + Narrow(folder));
    }
    {
        UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            const DWORD error = GetLastError();
            return Denied(error, ErrorText(error) + ", writing " + Narrow(temporary));
        }
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

}  // namespace quellgate::win32
