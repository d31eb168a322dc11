#pragma once

#include <string>
#include <string_view>

#include "win32/windows_api.h"

namespace quellgate::win32 {

// The program keeps UTF-8; Windows takes UTF-16 at the call.
std::wstring Wide(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The system's words for an error code.
std::string ErrorText(DWORD code);

// A window's whole text.
std::string WindowText(HWND window);

}  // namespace quellgate::win32
