#include "shell/command_line.h"

#include <array>
#include <utility>

#include "version.h"

namespace quellgate {
namespace {

constexpr std::array<std::pair<RemoteCommand, std::string_view>, 3> kWords = {{
    {RemoteCommand::Hide, "hide"},
    {RemoteCommand::Show, "show"},
    {RemoteCommand::HomeNow, "home-now"},
}};

}  // namespace

std::optional<std::string> VersionRequested(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--version") return std::string("quellgate ") + QUELLGATE_VERSION;
    return std::nullopt;
}

std::optional<RemoteCommand> RemoteCommandRequested(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i)
        if (const std::string_view option = argv[i]; option.starts_with("--"))
            if (const auto command = RemoteCommandNamed(option.substr(2))) return command;
    return std::nullopt;
}

std::string_view WordOf(RemoteCommand command) {
    for (const auto& [known, word] : kWords)
        if (known == command) return word;
    return "";
}

std::optional<RemoteCommand> RemoteCommandNamed(std::string_view word) {
    for (const auto& [command, known] : kWords)
        if (known == word) return command;
    return std::nullopt;
}

}  // namespace quellgate
