#pragma once

#include <string>

#include "win32/windows_api.h"

namespace quellgate::win32 {

// The system's words for an error code, and the code.
std::string ErrorText(DWORD code);

}  // namespace quellgate::win32
