#pragma once

#include <string>
#include <string_view>

#include "platform/file_store.h"
#include "platform/settings_store.h"

namespace quellgate {

// A store kept for every user of the computer, shadowed value by value (file
// by file) by a copy of the account's own, as Windows' compatibility layer
// kept them for the program's first, 32-bit release on an account that may
// not change machine-wide settings:
// - the account's copy of a value, where there is one, is the value;
// - a write goes where the value will be read: to the account's copy when it
//   has one, else to the shared store, and to the account's copy when the
//   shared store refuses it. Only when both fail has the write failed.
class ShadowedSettings : public SettingsStore {
public:
    ShadowedSettings(SettingsStore& shared, SettingsStore& own) : shared_(shared), own_(own) {}

    std::optional<std::string> Read(std::string_view name) const override;
    bool Holds(std::string_view name) const override;
    Outcome Write(std::string_view name, std::string_view text) override;
    Outcome Readable() const override;
    std::string Location() const override;

private:
    SettingsStore& shared_;
    SettingsStore& own_;
};

class ShadowedFiles : public FileStore {
public:
    ShadowedFiles(FileStore& shared, FileStore& own) : shared_(shared), own_(own) {}

    // Where the file is read from and written to.
    std::string PathOf(std::string_view name) const override;
    ReadResult Read(std::string_view name) const override;
    bool Exists(std::string_view name) const override;
    Outcome Replace(std::string_view name, std::string_view content) override;

private:
    FileStore& shared_;
    FileStore& own_;
};

}  // namespace quellgate
