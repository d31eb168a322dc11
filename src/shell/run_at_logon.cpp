#include "shell/run_at_logon.h"

#include "text/messages.h"

namespace quellgate {

std::string StartupCommand(std::string_view folder, std::string_view baseName) {
    std::string path(folder);
    if (path.empty() || path.back() != '\\') path += '\\';
    path += baseName;
    path += ".exe";
    if (path.find(' ') == std::string::npos) return path;
    return "\"" + path + "\"";
}

std::optional<std::string> SetRunAtStartup(Autostart& autostart, std::string_view name,
                                           std::string_view folder, bool enable) {
    const Autostart::Result result =
        enable ? autostart.Write(name, StartupCommand(folder, name)) : autostart.Remove(name);
    switch (result.stage) {
    case Autostart::Result::Stage::OpeningKey:
        return texts::RunKeyOpenError(result.code);
    case Autostart::Result::Stage::SettingValue:
        return texts::RunKeySetError(result.code);
    case Autostart::Result::Stage::Done:
        break;
    }
    return std::nullopt;
}

bool IsRunAtStartup(const Autostart& autostart, std::string_view name) { return autostart.Exists(name); }

}  // namespace quellgate
