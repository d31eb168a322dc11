#include "scan/window_scan.h"

#include <algorithm>
#include <utility>

#include "text/utf8.h"

namespace quellgate {

std::optional<SnapshotRow> EnumWindowsProc(const TopLevelWindow& window) {
    if (window.caption.empty() || !window.visible) return std::nullopt;
    return SnapshotRow{window.handle, std::string(FirstCharacters(window.caption, kCaptionCharacters))};
}

const std::vector<SnapshotRow>& WindowScanner::RefreshWindowList() {
    snapshot_.clear();
    desktop_.EnumerateWindows([this](const TopLevelWindow& window) {
        if (auto row = EnumWindowsProc(window)) snapshot_.push_back(std::move(*row));
    });
    return snapshot_;
}

const KeywordMatcher& WindowScanner::Matcher() {
    if (matcherVersion_ != list_.Version()) {
        matcher_ = KeywordMatcher(list_.Entries());
        matcherVersion_ = list_.Version();
    }
    return matcher_;
}

void WindowScanner::ScanWindows() {
    RefreshWindowList();
    const auto& keywords = list_.Entries();
    if (keywords.empty()) return;
    const KeywordMatcher& matcher = Matcher();

    // (first matching keyword, row): the keyword walk visits keywords in list
    // order and, for each, the rows from last to first; a matched row leaves
    // the walk, so each window gets at most one keystroke.
    std::vector<std::pair<std::size_t, std::size_t>> hits;
    for (std::size_t row = 0; row < snapshot_.size(); ++row)
        if (const auto keyword = matcher.FirstMatch(list_.LowerCase(snapshot_[row].caption)))
            hits.emplace_back(*keyword, row);
    std::sort(hits.begin(), hits.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second > b.second;
    });

    for (const auto& [keyword, row] : hits) {
        if (keywords[keyword].empty()) return;  // an empty entry would match anything
        if (!desktop_.SendAltHome()) return;
    }
}

}  // namespace quellgate
