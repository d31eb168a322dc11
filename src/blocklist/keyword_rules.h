#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quellgate {

// A keyword as it may stand in the list and the file: each run of control
// characters (a pasted line break, a tab) becomes one space, since a line
// break inside a keyword would split it in the file.
std::string CleanKeyword(std::string text);

// A typed keyword is refused when it is shorter than three characters or,
// once lower-cased, one of the words so broad that blocking them would block
// nearly every page (the network names among them).
bool IsAllowedKeyword(std::string_view typed, std::string_view lowered);

}  // namespace quellgate
