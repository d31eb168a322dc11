#pragma once

#include <string>
#include <vector>

#include "shell/window_layout.h"
#include "win32/wide.h"
#include "win32/windows_api.h"

// The rows of the main window's keyword list, as it shows them.
inline std::vector<std::string> ShownKeywords(HWND main) {
    HWND list = GetDlgItem(main, quellgate::layout::kKeywordList);
    std::vector<std::string> keywords;
    for (LRESULT i = 0, count = SendMessageW(list, LB_GETCOUNT, 0, 0); i < count; ++i) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        keywords.push_back(quellgate::win32::Narrow(text));
    }
    return keywords;
}
