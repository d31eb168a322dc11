#pragma once

#include <cstdint>
#include <optional>

#include "blocklist/active_keywords.h"
#include "platform/desktop.h"
#include "platform/text_case.h"
#include "scan/keyword_matcher.h"

namespace quellgate {

// The part of a caption that is read, in characters.
inline constexpr std::size_t kCaptionCharacters = 255;

// Pushes the focused window off blocked pages.
class WindowScanner {
public:
    WindowScanner(Desktop& desktop, const TextCase& textCase, const ActiveKeywords& keywords)
        : desktop_(desktop), textCase_(textCase), keywords_(keywords) {}

    // One Alt+Home for every visible top-level window whose caption, cut to
    // its first 255 characters and lower-cased, holds an active keyword. A
    // refused keystroke ends the scan; the next one starts afresh.
    void Scan();

private:
    const KeywordMatcher& Matcher();

    Desktop& desktop_;
    const TextCase& textCase_;
    const ActiveKeywords& keywords_;
    KeywordMatcher matcher_;
    std::optional<std::uint64_t> matcherVersion_;
};

}  // namespace quellgate
