#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "platform/outcome.h"

namespace quellgate {

// The files the program keeps, by name, in the one folder where it keeps them.
class FileStore {
public:
    struct Missing {};
    struct Unreadable {
        std::string reason;
    };
    using ReadResult = std::variant<std::string, Missing, Unreadable>;

    // A file the program keeps never needs more: a list of 250,000
    // keywords fits. A larger one is damaged or not ours, and reading and
    // matching it would take memory and time without end.
    static constexpr std::uint64_t kLargestFile = 8u << 20;
    static constexpr std::string_view kTooLarge = "larger than 8 MB, more than any list of keywords";

    virtual ~FileStore() = default;

    // The file's full path, for the user to be shown.
    virtual std::string PathOf(std::string_view name) const = 0;

    // An ordinary file's whole content, up to kLargestFile.
    virtual ReadResult Read(std::string_view name) const = 0;

    // Whether anything of that name is there, readable or not.
    virtual bool Exists(std::string_view name) const { return !std::holds_alternative<Missing>(Read(name)); }

    // Replaces the file in one step: readers see the old content or the new,
    // never a part of it, whatever happens during the write.
    virtual Outcome Replace(std::string_view name, std::string_view content) = 0;
};

}  // namespace quellgate
