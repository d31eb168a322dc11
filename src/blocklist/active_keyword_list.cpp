#include "blocklist/active_keyword_list.h"

#include <algorithm>

namespace quellgate {

bool ActiveKeywordList::Add(std::string_view text) {
    std::string entry = textCase_.LowerCase(text);
    if (entry.empty()) return false;
    const auto at = std::lower_bound(entries_.begin(), entries_.end(), entry);
    if (at != entries_.end() && *at == entry) return false;
    entries_.insert(at, std::move(entry));
    Changed();
    return true;
}

void ActiveKeywordList::RemoveAt(std::size_t index) {
    if (index >= entries_.size()) return;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    Changed();
}

bool ActiveKeywordList::HasEntry(std::string_view entry) const {
    return std::binary_search(entries_.begin(), entries_.end(), entry);
}

bool ActiveKeywordList::Contains(std::string_view text) const {
    if (text.empty()) return false;
    const std::string needle = textCase_.LowerCase(text);
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const std::string& e) { return e.find(needle) != std::string::npos; });
}

void ActiveKeywordList::RemoveContaining(std::string_view name) {
    if (name.empty()) return;
    const std::string needle = textCase_.LowerCase(name);
    const auto removed = std::erase_if(
        entries_, [&](const std::string& e) { return e.find(needle) != std::string::npos; });
    if (removed > 0) Changed();
}

void ActiveKeywordList::Changed() {
    ++version_;
    if (observer_) observer_();
}

}  // namespace quellgate
