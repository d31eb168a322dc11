#pragma once

#include <string>

#include "platform/file_store.h"

namespace quellgate::win32 {

// Files beside the executable.
class WinFileStore : public FileStore {
public:
    std::string PathOf(std::string_view name) const override;
    ReadResult Read(std::string_view name) const override;
    Outcome Replace(std::string_view name, std::string_view content) override;
};

// A file name in a folder: one separator, also at a drive root.
std::wstring JoinPath(std::wstring_view folder, std::wstring_view name);

}  // namespace quellgate::win32
