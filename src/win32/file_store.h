#pragma once

#include <functional>
#include <string>

#include "platform/file_store.h"

namespace quellgate::win32 {

// Files in one folder, which is looked up afresh at every use: the program
// may be moved while it runs. A folder that is missing is made by the first
// write.
class WinFolderStore : public FileStore {
public:
    // The folder's path; empty when there is none.
    using Folder = std::function<std::wstring()>;
    explicit WinFolderStore(Folder folder) : folder_(std::move(folder)) {}

    std::string PathOf(std::string_view name) const override;
    ReadResult Read(std::string_view name) const override;
    bool Exists(std::string_view name) const override;
    // A folder that may not be written, or a file the system denies, is refused.
    Outcome Replace(std::string_view name, std::string_view content) override;

private:
    std::wstring FullPath(std::string_view name) const;

    Folder folder_;
};

// The folder of the running executable.
std::wstring ExecutableFolder();

// Where Windows kept the files of a folder that the account may not write:
// %LOCALAPPDATA%\VirtualStore and the folder's path without its drive. Empty
// for a folder on no drive (a network share), which had no such copy.
std::wstring PerUserCopyOf(std::wstring_view folder);

// A file name in a folder: one separator, also at a drive root.
std::wstring JoinPath(std::wstring_view folder, std::wstring_view name);

}  // namespace quellgate::win32
