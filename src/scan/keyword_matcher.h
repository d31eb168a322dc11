#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellgate {

// Finds which of many keywords occur in a text in one pass over the text
// (Aho-Corasick), so a scan costs the length of the captions, not captions
// times keywords. Keywords and texts are compared byte for byte; callers
// lower-case both sides first.
class KeywordMatcher {
public:
    KeywordMatcher() = default;
    explicit KeywordMatcher(const std::vector<std::string>& keywords);

    // Index of the first keyword, in the order given, that occurs in text.
    // An empty keyword occurs in every text.
    std::optional<std::size_t> FirstMatch(std::string_view text) const;

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    struct Node {
        std::vector<std::pair<unsigned char, std::uint32_t>> edges;  // sorted by byte
        std::uint32_t fail = 0;
        std::uint32_t best = kNone;  // lowest keyword index ending here or at a suffix
    };

    std::uint32_t Child(std::uint32_t node, unsigned char byte) const;
    std::uint32_t Next(std::uint32_t node, unsigned char byte) const;

    std::vector<Node> nodes_{Node{}};
    std::vector<std::uint32_t> rootNext_ = std::vector<std::uint32_t>(256, 0);
};

}  // namespace quellgate
