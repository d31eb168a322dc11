#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "blocklist/active_keyword_list.h"
#include "blocklist/blocklist_file.h"
#include "platform/dialogs.h"

namespace quellgate {

// The add and remove buttons under the active list.
class CustomKeywords {
public:
    CustomKeywords(ActiveKeywordList& list, BlocklistFile& file, Dialogs& dialogs)
        : list_(list), file_(file), dialogs_(dialogs) {}

    void Image6_Click();                                    // add
    void Image7_Click(std::optional<std::size_t> selected);  // remove the selected entry

    void AddKeyword(std::string_view keyword);

    // Both tell the user why when they answer true.
    bool IsForbiddenKeyword(std::string_view keyword);
    bool IsNetworkName(std::string_view entry);

private:
    void Refuse(std::string_view message);

    ActiveKeywordList& list_;
    BlocklistFile& file_;
    Dialogs& dialogs_;
};

}  // namespace quellgate
