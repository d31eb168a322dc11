#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/file_store.h"

namespace quellgate::posix {

// The user's configuration folder by the XDG rules: $XDG_CONFIG_HOME when it
// is an absolute path, else $HOME/.config.
std::string ConfigHome();
// The user's data folder by the same rules: $XDG_DATA_HOME, else $HOME/.local/share.
std::string DataHome();

// The system's words for an errno value.
std::string ErrorText(int error);

// Files in one folder, by default $XDG_CONFIG_HOME/quellgate. The folder is
// created (with its parents, private to the user) by the first write.
class PosixFileStore : public FileStore {
public:
    PosixFileStore();
    explicit PosixFileStore(std::string folder) : folder_(std::move(folder)) {}

    const std::string& Folder() const { return folder_; }

    std::string PathOf(std::string_view name) const override;
    ReadResult Read(std::string_view name) const noexcept override;
    // A failure names the folder or the temporary file when either failed;
    // making or opening the folder is the step Opening.
    Outcome Replace(std::string_view name, std::string_view content) noexcept override;

private:
    std::string folder_;
};

}  // namespace quellgate::posix
