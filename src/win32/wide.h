#pragma once

#include <string>
#include <string_view>

namespace quellgate::win32 {

// The program keeps UTF-8; Windows takes UTF-16 at the call.
std::wstring Wide(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace quellgate::win32
