#include "blocklist/keyword_rules.h"

#include <algorithm>
#include <array>

#include "blocklist/networks.h"
#include "text/utf8.h"

namespace quellgate {
namespace {

constexpr std::size_t kShortestKeyword = 3;
constexpr std::array<std::string_view, 8> kTooBroad = {"com", "org",     "edu", "info",
                                                       "net", "http://", "www", ".ww"};

}  // namespace

std::string CleanKeyword(std::string text) {
    // Nearly every keyword is clean already; a huge one must not be copied twice.
    if (HasControlCharacters(text) || !IsValidUtf8(text)) text = SanitizeUtf8(ControlRunsToSpaces(text));
    return text;
}

bool IsAllowedKeyword(std::string_view typed, std::string_view lowered) {
    return CharacterCount(typed) >= kShortestKeyword && !IsNetworkName(lowered) &&
           std::find(kTooBroad.begin(), kTooBroad.end(), lowered) == kTooBroad.end();
}

}  // namespace quellgate
