#pragma once

#include <optional>
#include <string>

namespace quellgate {

// "quellgate --version" answers with the program's name and version and
// starts nothing: the text to print, or nothing when the program should start.
std::optional<std::string> VersionRequested(int argc, const char* const* argv);

}  // namespace quellgate
