#include "scan/keyword_matcher.h"

#include <algorithm>

namespace quellgate {

KeywordMatcher::KeywordMatcher(std::vector<std::string_view> keywords) {
    // Sorted, a keyword shares its first `common` bytes with the one before
    // and adds one node at each depth beyond them. Building depth by depth
    // then numbers the nodes breadth first with no per-node lists.
    std::sort(keywords.begin(), keywords.end());
    keywords.erase(std::unique(keywords.begin(), keywords.end()), keywords.end());
    std::vector<std::size_t> common(keywords.size(), 0);
    for (std::size_t i = 1; i < keywords.size(); ++i) {
        const auto& a = keywords[i - 1];
        const auto& b = keywords[i];
        common[i] =
            static_cast<std::size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
    }

    std::size_t nodes = 1;
    for (std::size_t i = 0; i < keywords.size(); ++i) nodes += keywords[i].size() - common[i];
    firstChild_.clear();
    firstChild_.reserve(nodes + 1);
    byte_.reserve(nodes);
    fail_.reserve(nodes);
    match_.reserve(nodes);

    // The keywords longer than the depth reached, each with its node there.
    std::vector<std::uint32_t> open, at;
    for (std::uint32_t i = 0; i < keywords.size(); ++i) {
        match_[0] = match_[0] || keywords[i].empty();
        if (!keywords[i].empty()) {
            open.push_back(i);
            at.push_back(0);
        }
    }
    for (std::size_t depth = 1; !open.empty(); ++depth) {
        std::size_t kept = 0;
        for (std::size_t k = 0; k < open.size(); ++k) {
            const std::string_view keyword = keywords[open[k]];
            // Sharing the node means sharing it with the keyword just before.
            auto node = static_cast<std::uint32_t>(byte_.size() - 1);
            if (common[open[k]] < depth) {
                node = static_cast<std::uint32_t>(byte_.size());
                const std::uint32_t up = at[k];
                while (firstChild_.size() <= up) firstChild_.push_back(node);
                const auto byte = static_cast<unsigned char>(keyword[depth - 1]);
                const std::uint32_t fail = up == 0 ? 0 : Next(fail_[up], byte);
                if (up == 0) rootNext_[byte] = node;
                byte_.push_back(byte);
                fail_.push_back(fail);
                match_.push_back(keyword.size() == depth || match_[fail]);
            }
            if (keyword.size() > depth) {
                open[kept] = open[k];
                at[kept++] = node;
            }
        }
        open.resize(kept);
        at.resize(kept);
    }
    while (firstChild_.size() <= byte_.size())
        firstChild_.push_back(static_cast<std::uint32_t>(byte_.size()));
}

std::uint32_t KeywordMatcher::Child(std::uint32_t node, unsigned char byte) const {
    const auto first = byte_.begin() + firstChild_[node];
    const auto last = byte_.begin() + firstChild_[node + 1];
    const auto at = std::lower_bound(first, last, byte);
    return at != last && *at == byte ? static_cast<std::uint32_t>(at - byte_.begin()) : kNone;
}

std::uint32_t KeywordMatcher::Next(std::uint32_t node, unsigned char byte) const {
    while (node != 0) {
        const std::uint32_t child = Child(node, byte);
        if (child != kNone) return child;
        node = fail_[node];
    }
    return rootNext_[byte];
}

bool KeywordMatcher::Matches(std::string_view text) const {
    if (match_[0]) return true;
    std::uint32_t node = 0;
    for (const char ch : text) {
        node = Next(node, static_cast<unsigned char>(ch));
        if (match_[node]) return true;
    }
    return false;
}

}  // namespace quellgate
