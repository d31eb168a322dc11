#include "blocklist/custom_keywords.h"

#include <algorithm>
#include <array>

#include "blocklist/network_switches.h"
#include "text/messages.h"
#include "text/utf8.h"

namespace quellgate {
namespace {

// Words so broad that blocking them would block nearly every page.
constexpr std::array<std::string_view, 13> kForbiddenWords = {
    "facebook", "twitter", "linkedin", "myspace", "youtube", "com",  "org",
    "edu",      "info",    "net",      "http://", "www",     ".ww"};

constexpr std::size_t kShortestKeyword = 3;

template <std::size_t N>
bool IsOneOf(const std::array<std::string_view, N>& words, std::string_view text) {
    return std::find(words.begin(), words.end(), text) != words.end();
}

}  // namespace

void CustomKeywords::Image6_Click() {
    // A pasted line break would split the keyword in the file.
    const std::string answer = ControlRunsToSpaces(
        dialogs_.AskText(texts::kAddKeywordPrompt, texts::kAppTitle, false).value_or(std::string{}));
    if (CharacterCount(answer) < kShortestKeyword) {
        Refuse(texts::kKeywordNotAllowed);
        return;
    }
    if (IsForbiddenKeyword(answer)) return;
    AddKeyword(answer);
    file_.SaveBlocklist();
}

void CustomKeywords::Image7_Click(std::optional<std::size_t> selected) {
    if (selected && *selected < list_.Count()) {
        if (IsNetworkName(list_.Entries()[*selected])) return;
        list_.RemoveAt(*selected);
    }
    file_.SaveBlocklist();
}

void CustomKeywords::AddKeyword(std::string_view keyword) {
    if (keyword.empty()) return;
    if (list_.HasEntry(list_.LowerCase(keyword))) {
        dialogs_.ShowMessage(texts::kKeywordExists, texts::kAppTitle, MessageIcon::Information);
        return;
    }
    list_.Add(keyword);
}

bool CustomKeywords::IsForbiddenKeyword(std::string_view keyword) {
    if (!IsOneOf(kForbiddenWords, list_.LowerCase(keyword))) return false;
    Refuse(texts::kKeywordNotAllowed);
    return true;
}

bool CustomKeywords::IsNetworkName(std::string_view entry) {
    if (!IsOneOf(kNetworkNames, list_.LowerCase(entry))) return false;
    Refuse(texts::kUseNetworkIcon);
    return true;
}

void CustomKeywords::Refuse(std::string_view message) {
    dialogs_.ShowMessage(message, texts::kAppTitle, MessageIcon::Information);
}

}  // namespace quellgate
