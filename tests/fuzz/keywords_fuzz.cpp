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

using quellgate::fuzz::Require;

namespace {

struct AsciiCase : quellgate::TextCase {
    std::string LowerCase(std::string_view text) const override {
        std::string lower(text);
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return lower;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const AsciiCase textCase;
    quellgate::ActiveKeywords list(textCase);
    std::vector<std::string> typed;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (std::size_t at = 0; at <= bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', at), bytes.size());
        typed.emplace_back(bytes.substr(at, end - at));
        at = end + 1;
    }
    for (const std::string& text : typed) {
        const std::string clean = quellgate::CleanKeyword(text);
        Require(quellgate::IsValidUtf8(clean) && !quellgate::HasControlCharacters(clean),
                "a keyword is valid UTF-8 without a control character");
        Require(quellgate::CleanKeyword(clean) == clean, "a clean keyword stays as it is");
        const std::string lowered = textCase.LowerCase(clean);
        if (quellgate::IsAllowedKeyword(clean, lowered)) {
            Require(quellgate::CharacterCount(clean) >= 3, "an allowed keyword has three characters");
            list.Add(clean);
        }
    }
    list.AddAll(typed);
    const auto& entries = list.Entries();
    Require(std::is_sorted(entries.begin(), entries.end()), "the list is in order");
    Require(std::adjacent_find(entries.begin(), entries.end()) == entries.end(), "no entry twice");
    Require(std::none_of(entries.begin(), entries.end(), [](const std::string& e) { return e.empty(); }),
            "no entry is empty");
    return 0;
}
