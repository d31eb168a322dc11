#pragma once

#include <string>

#include "win32/windows_api.h"

namespace quellgate::win32 {

// A window's whole text, whatever its length.
std::string WindowText(HWND window);

}  // namespace quellgate::win32
