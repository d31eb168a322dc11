#include "scan/window_scan.h"

#include <string_view>
#include <vector>

#include "text/utf8.h"

namespace quellgate {

const KeywordMatcher& WindowScanner::Matcher() {
    if (matcherVersion_ != keywords_.Version()) {
        // A keyword longer than the part of a caption that is read can never
        // match; leaving it out keeps the automaton as small as what can.
        std::vector<std::string_view> matchable;
        for (const auto& keyword : keywords_.Entries())
            if (CharacterCount(keyword) <= kCaptionCharacters) matchable.push_back(keyword);
        matcher_ = KeywordMatcher(matchable);
        matcherVersion_ = keywords_.Version();
    }
    return matcher_;
}

void WindowScanner::Scan() {
    // The snapshot is taken even with no keyword, as it always is; the
    // windows are only looked at when there is something to find.
    std::vector<std::string> captions;
    desktop_.EnumerateWindows([&](const TopLevelWindow& window) {
        if (window.visible && !window.caption.empty())
            captions.emplace_back(FirstCharacters(window.caption, kCaptionCharacters));
    });
    if (keywords_.Entries().empty()) return;
    const KeywordMatcher& matcher = Matcher();
    // One keystroke per matching window, whichever keywords it holds: the
    // keystroke goes to the focused window, so which window matched first is
    // not seen.
    for (const auto& caption : captions)
        if (matcher.Matches(textCase_.LowerCase(caption)) && !desktop_.SendAltHome()) return;
}

}  // namespace quellgate
