#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_case.h"

namespace quellgate {

// The blocked network names and custom keywords: the one list the scan reads.
// Every entry is non-empty and lower case, no two are equal, and the entries
// are kept in ascending order, which is also the order shown to the user.
class ActiveKeywords {
public:
    explicit ActiveKeywords(const TextCase& textCase) : textCase_(textCase) {}

    const std::vector<std::string>& Entries() const { return entries_; }

    // Changes with every change of the entries, so derived data can be cached.
    std::uint64_t Version() const { return version_; }

    // Adds the lower-cased text; false when that is empty or already listed.
    bool Add(std::string_view text);
    // Adds many at once, skipping the empty and those already listed, in
    // time n log n however many there are.
    void AddAll(std::vector<std::string> texts);
    void RemoveAt(std::size_t index);
    void Remove(std::string_view entry);

private:
    void Changed() { ++version_; }

    const TextCase& textCase_;
    std::vector<std::string> entries_;
    std::uint64_t version_ = 0;
};

}  // namespace quellgate
