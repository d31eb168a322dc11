#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "blocklist/active_keyword_list.h"
#include "platform/desktop.h"
#include "scan/keyword_matcher.h"

namespace quellgate {

struct SnapshotRow {
    std::uintptr_t handle = 0;
    std::string caption;
};

inline constexpr std::size_t kCaptionCharacters = 255;

// The row a top-level window gives the snapshot: only visible windows with a
// caption, and only the caption's first 255 characters.
std::optional<SnapshotRow> EnumWindowsProc(const TopLevelWindow& window);

// Pushes the focused window off blocked pages: one Alt+Home for every visible
// captioned window whose caption holds an active keyword.
class WindowScanner {
public:
    WindowScanner(Desktop& desktop, const ActiveKeywordList& list) : desktop_(desktop), list_(list) {}

    // The visible captioned top-level windows, in the system's order.
    const std::vector<SnapshotRow>& RefreshWindowList();

    // One keystroke per matching window, windows matched by earlier keywords
    // first. A refused keystroke ends the scan; the next one starts afresh.
    void ScanWindows();

private:
    const KeywordMatcher& Matcher();

    Desktop& desktop_;
    const ActiveKeywordList& list_;
    std::vector<SnapshotRow> snapshot_;
    KeywordMatcher matcher_;
    std::optional<std::uint64_t> matcherVersion_;
};

}  // namespace quellgate
