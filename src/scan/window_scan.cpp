#include "scan/window_scan.h"

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
        // A keyword longer than the part of a caption that is read can never
        // match; leaving it out keeps the automaton's size bounded by what can.
        std::vector<std::string> matchable;
        for (const auto& keyword : list_.Entries())
            if (CharacterCount(keyword) <= kCaptionCharacters) matchable.push_back(keyword);
        matcher_ = KeywordMatcher(matchable);
        matcherVersion_ = list_.Version();
    }
    return matcher_;
}

void WindowScanner::ScanWindows() {
    RefreshWindowList();
    if (list_.Count() == 0) return;
    const KeywordMatcher& matcher = Matcher();
    // One keystroke per matching window, whichever keyword it holds: the
    // keystroke goes to the focused window, so the order of rows is not seen.
    for (const auto& row : snapshot_)
        if (matcher.FirstMatch(list_.LowerCase(row.caption)) && !desktop_.SendAltHome()) return;
}

}  // namespace quellgate
