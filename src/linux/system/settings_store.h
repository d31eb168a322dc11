#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "linux/system/file_store.h"
#include "platform/settings_store.h"

namespace quellgate::posix {

// The named values in the text file "settings" among the program's files,
// one "name=value" a line. In names and values every byte below 0x20, 0x7F,
// '%', '=' and '#' is written as '%' and two hex digits, so any string comes
// back as it was stored, and a line break never splits a value. A name with
// no line is absent; "name=" is an empty value. Lines starting with '#', and
// lines this version cannot read, stay as they are when the file is rewritten.
class FileSettingsStore : public SettingsStore {
public:
    static constexpr std::string_view kFileName = "settings";

    FileSettingsStore() = default;
    explicit FileSettingsStore(PosixFileStore files) : files_(std::move(files)) {}

    std::optional<std::string> Read(std::string_view name) const noexcept override;
    // A line of that name whose value is damaged holds a value that reads
    // as nothing, as one of another type does in the registry.
    bool Holds(std::string_view name) const noexcept override;
    Outcome Write(std::string_view name, std::string_view text) noexcept override;
    // A file that exists but cannot be read (a folder, a pipe, a device, too
    // large) is never overwritten: it may hold every value.
    Outcome Readable() const noexcept override;
    std::string Location() const override { return files_.PathOf(kFileName); }

private:
    PosixFileStore files_;
};

// The file's content read and written, without the file: the last line that
// holds `name`, and the content with that value set (its first line replaced,
// later ones dropped, every other line kept; a new file gets a header).
std::optional<std::string> FindSetting(std::string_view content, std::string_view name);
// Whether a line names it, its value readable or not.
bool HoldsSetting(std::string_view content, std::string_view name);
std::string WithSetting(std::optional<std::string_view> content, std::string_view name,
                        std::string_view text);

}  // namespace quellgate::posix
