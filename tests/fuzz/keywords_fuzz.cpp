// Arbitrary bytes as typed keywords, one a line, and the list they make.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "blocklist/active_keywords.h"
#include "blocklist/keyword_rules.h"
#include "property.h"
#include "text/utf8.h"

using namespace quellgate;
using fuzz::Require;

namespace {

struct AsciiCase : TextCase {
    std::string LowerCase(std::string_view text) const override {
        std::string lower(text);
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return lower;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const AsciiCase textCase;
    ActiveKeywords list(textCase);
    std::vector<std::string> typed(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n')
            typed.emplace_back();
        else
            typed.back().push_back(static_cast<char>(data[i]));
    }
    for (const std::string& text : typed) {
        const std::string clean = CleanKeyword(text);
        Require(
            IsValidUtf8(clean) && !HasControlCharacters(clean) && CleanKeyword(clean) == clean,
            "a keyword is valid UTF-8 without a control character, and cleaning it again changes nothing");
        if (IsAllowedKeyword(clean, textCase.LowerCase(clean))) {
            Require(CharacterCount(clean) >= 3, "an allowed keyword has three characters");
            list.Add(clean);
        }
    }
    list.AddAll(typed);
    const auto& entries = list.Entries();
    Require(std::is_sorted(entries.begin(), entries.end()) &&
                std::adjacent_find(entries.begin(), entries.end()) == entries.end(),
            "the list is in order, no entry twice");
    Require(std::none_of(entries.begin(), entries.end(), [](const std::string& e) { return e.empty(); }),
            "no entry is empty");
    return 0;
}
