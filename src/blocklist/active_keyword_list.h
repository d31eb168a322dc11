#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_case.h"

namespace quellgate {

// The blocked network names and custom keywords, the one list the scan reads.
// Every entry is non-empty and lower case, no two are equal, and the entries
// are kept in ascending order, which is also the order shown to the user.
class ActiveKeywordList {
public:
    explicit ActiveKeywordList(const TextCase& textCase) : textCase_(textCase) {}

    const std::vector<std::string>& Entries() const { return entries_; }
    std::size_t Count() const { return entries_.size(); }

    // Changes with every change of the entries, so derived data can be cached.
    std::uint64_t Version() const { return version_; }

    // Called after every change.
    void SetObserver(std::function<void()> observer) { observer_ = std::move(observer); }

    std::string LowerCase(std::string_view text) const { return textCase_.LowerCase(text); }

    // Adds the lower-cased text; false when that is empty or already listed.
    bool Add(std::string_view text);
    // Adds many at once, skipping the empty and those already listed: one
    // change however many there are.
    void AddAll(const std::vector<std::string>& texts);
    void RemoveAt(std::size_t index);
    void Remove(std::string_view entry);

    bool HasEntry(std::string_view entry) const;

private:
    void Changed();

    const TextCase& textCase_;
    std::vector<std::string> entries_;
    std::uint64_t version_ = 0;
    std::function<void()> observer_;
};

}  // namespace quellgate
