#include "blocklist/active_keywords.h"

#include <algorithm>
#include <iterator>

namespace quellgate {

bool ActiveKeywords::Add(std::string_view text) {
    std::string entry = textCase_.LowerCase(text);
    if (entry.empty()) return false;
    const auto at = std::lower_bound(entries_.begin(), entries_.end(), entry);
    if (at != entries_.end() && *at == entry) return false;
    entries_.insert(at, std::move(entry));
    Changed();
    return true;
}

void ActiveKeywords::AddAll(std::vector<std::string> texts) {
    // Lower-cased in place, so a huge keyword is held twice at most.
    std::vector<std::string> added;
    added.reserve(texts.size());
    for (auto& text : texts) {
        text = textCase_.LowerCase(text);
        if (!text.empty()) added.push_back(std::move(text));
    }
    if (added.empty()) return;
    std::sort(added.begin(), added.end());
    std::vector<std::string> merged;
    merged.reserve(entries_.size() + added.size());
    std::merge(std::make_move_iterator(entries_.begin()), std::make_move_iterator(entries_.end()),
               std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()),
               std::back_inserter(merged));
    merged.erase(std::unique(merged.begin(), merged.end()), merged.end());
    entries_ = std::move(merged);
    Changed();
}

void ActiveKeywords::RemoveAt(std::size_t index) {
    if (index >= entries_.size()) return;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    Changed();
}

void ActiveKeywords::Remove(std::string_view entry) {
    const auto at = std::lower_bound(entries_.begin(), entries_.end(), entry);
    if (at != entries_.end() && *at == entry) RemoveAt(static_cast<std::size_t>(at - entries_.begin()));
}

}  // namespace quellgate
