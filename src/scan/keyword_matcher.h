#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quellgate {

// Finds whether any of many keywords occurs in a text in one pass over it
// (Aho-Corasick), so a scan costs the length of the captions, not captions
// times keywords. Keywords and texts are compared byte for byte; callers
// lower-case both sides first.
class KeywordMatcher {
public:
    KeywordMatcher() = default;
    explicit KeywordMatcher(const std::vector<std::string>& keywords);

    // Whether some keyword occurs in text. An empty keyword occurs in every text.
    bool Matches(std::string_view text) const;

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    struct Node {
        std::vector<std::pair<unsigned char, std::uint32_t>> edges;  // sorted by byte
        std::uint32_t fail = 0;
        bool match = false;  // a keyword ends here or at a suffix
    };

    std::uint32_t Child(std::uint32_t node, unsigned char byte) const;
    std::uint32_t Next(std::uint32_t node, unsigned char byte) const;

    std::vector<Node> nodes_{Node{}};
    std::vector<std::uint32_t> rootNext_ = std::vector<std::uint32_t>(256, 0);
};

}  // namespace quellgate
