#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quellgate {

// "quellgate --version" answers with the program's name and version and
// starts nothing: the text to print, or nothing when the program should start.
std::optional<std::string> VersionRequested(int argc, const char* const* argv);

// What F4, F5 and F8 do, asked of the running instance from the command line
// ("--hide", "--show", "--home-now") where no key can be watched.
enum class RemoteCommand { Hide, Show, HomeNow };
std::optional<RemoteCommand> RemoteCommandRequested(int argc, const char* const* argv);
// The word that carries a command to the running instance, and back.
std::string_view WordOf(RemoteCommand command);
std::optional<RemoteCommand> RemoteCommandNamed(std::string_view word);

}  // namespace quellgate
