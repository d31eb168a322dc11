#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellgate::gnome {

// A list of strings as gsettings prints and reads it (GVariant's text form:
// ['a', "it's"], or @as [] when empty). Entries are kept as the literals
// they are written as, so that an entry is added or removed without
// touching the text of the others.
class SettingsList {
public:
    // Nothing when the text is not such a list.
    static std::optional<SettingsList> Parse(std::string_view text);

    // `entry` holds no quote and no backslash, as an extension's uuid.
    bool Contains(std::string_view entry) const;
    void Add(std::string_view entry);
    void Remove(std::string_view entry);

    std::string Text() const;

private:
    std::vector<std::string> literals_;
};

}  // namespace quellgate::gnome
