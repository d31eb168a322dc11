#include "scan/keyword_matcher.h"

#include <algorithm>
#include <deque>

namespace quellgate {

KeywordMatcher::KeywordMatcher(const std::vector<std::string>& keywords) {
    for (const auto& keyword : keywords) {
        std::uint32_t node = 0;
        for (const char ch : keyword) {
            const auto byte = static_cast<unsigned char>(ch);
            std::uint32_t child = Child(node, byte);
            if (child == kNone) {
                child = static_cast<std::uint32_t>(nodes_.size());
                auto& edges = nodes_[node].edges;
                const auto at = std::lower_bound(edges.begin(), edges.end(), byte,
                                                 [](const auto& e, unsigned char b) { return e.first < b; });
                edges.insert(at, {byte, child});
                nodes_.emplace_back();
            }
            node = child;
        }
        nodes_[node].match = true;
    }

    // Breadth first, so every node's fail target is finished before it.
    std::deque<std::uint32_t> queue;
    for (const auto& [byte, child] : nodes_[0].edges) {
        rootNext_[byte] = child;
        queue.push_back(child);
    }
    while (!queue.empty()) {
        const std::uint32_t node = queue.front();
        queue.pop_front();
        nodes_[node].match = nodes_[node].match || nodes_[nodes_[node].fail].match;
        for (const auto& [byte, child] : nodes_[node].edges) {
            nodes_[child].fail = node == 0 ? 0 : Next(nodes_[node].fail, byte);
            queue.push_back(child);
        }
    }
}

std::uint32_t KeywordMatcher::Child(std::uint32_t node, unsigned char byte) const {
    const auto& edges = nodes_[node].edges;
    const auto at = std::lower_bound(edges.begin(), edges.end(), byte,
                                     [](const auto& e, unsigned char b) { return e.first < b; });
    return at != edges.end() && at->first == byte ? at->second : kNone;
}

std::uint32_t KeywordMatcher::Next(std::uint32_t node, unsigned char byte) const {
    while (node != 0) {
        const std::uint32_t child = Child(node, byte);
        if (child != kNone) return child;
        node = nodes_[node].fail;
    }
    return rootNext_[byte];
}

bool KeywordMatcher::Matches(std::string_view text) const {
    if (nodes_[0].match) return true;
    std::uint32_t node = 0;
    for (const char ch : text) {
        node = Next(node, static_cast<unsigned char>(ch));
        if (nodes_[node].match) return true;
    }
    return false;
}

}  // namespace quellgate
