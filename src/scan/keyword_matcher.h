#pragma once

#include <cstdint>
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
    explicit KeywordMatcher(std::vector<std::string_view> keywords);

    // Whether some keyword occurs in text. An empty keyword occurs in every text.
    bool Matches(std::string_view text) const;

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    std::uint32_t Child(std::uint32_t node, unsigned char byte) const;
    std::uint32_t Next(std::uint32_t node, unsigned char byte) const;

    // The trie in breadth-first order, children by byte, so that a node's
    // children are the contiguous ids [firstChild_[n], firstChild_[n + 1]).
    // Ten bytes a node: a list of junk may hold millions of them.
    std::vector<std::uint32_t> firstChild_{1, 1};
    std::vector<unsigned char> byte_{0};  // the edge into the node
    std::vector<std::uint32_t> fail_{0};
    std::vector<bool> match_{false};  // a keyword ends here or at a suffix
    std::vector<std::uint32_t> rootNext_ = std::vector<std::uint32_t>(256, 0);
};

}  // namespace quellgate
