#include "linux/gnome/settings_list.h"

#include <algorithm>

namespace quellgate::gnome {
namespace {

std::string Literal(std::string_view entry) { return "'" + std::string(entry) + "'"; }

}  // namespace

std::optional<SettingsList> SettingsList::Parse(std::string_view text) {
    const auto skipSpaces = [&text] {
        while (!text.empty() && (text.front() == ' ' || text.front() == '\n' || text.front() == '\t'))
            text.remove_prefix(1);
    };
    skipSpaces();
    if (text.starts_with("@as")) text.remove_prefix(3);
    skipSpaces();
    if (!text.starts_with('[')) return std::nullopt;
    text.remove_prefix(1);
    SettingsList list;
    skipSpaces();
    if (text.starts_with(']'))
        text.remove_prefix(1);
    else
        for (;;) {
            skipSpaces();
            if (text.empty() || (text.front() != '\'' && text.front() != '"')) return std::nullopt;
            // A backslash takes the next character with it, the quote too.
            std::size_t end = 1;
            while (end < text.size() && text[end] != text.front()) end += text[end] == '\\' ? 2 : 1;
            if (end >= text.size()) return std::nullopt;
            list.literals_.emplace_back(text.substr(0, end + 1));
            text.remove_prefix(end + 1);
            skipSpaces();
            if (text.starts_with(']')) {
                text.remove_prefix(1);
                break;
            }
            if (!text.starts_with(',')) return std::nullopt;
            text.remove_prefix(1);
        }
    skipSpaces();
    if (!text.empty()) return std::nullopt;
    return list;
}

bool SettingsList::Contains(std::string_view entry) const {
    return std::ranges::find(literals_, Literal(entry)) != literals_.end();
}

void SettingsList::Add(std::string_view entry) {
    if (!Contains(entry)) literals_.push_back(Literal(entry));
}

void SettingsList::Remove(std::string_view entry) { std::erase(literals_, Literal(entry)); }

std::string SettingsList::Text() const {
    std::string text = "[";
    for (const auto& literal : literals_) text += (text.size() > 1 ? ", " : "") + literal;
    return text + "]";
}

}  // namespace quellgate::gnome
