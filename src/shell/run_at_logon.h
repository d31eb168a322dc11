#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/autostart.h"
#include "platform/process.h"

namespace quellgate {

// The command the logon entry holds: the executable's full path, quoted when
// it holds a blank so that no other file along the path can be started.
std::string StartupCommand(std::string_view folder, std::string_view baseName);

// Writes or removes the entry; the message for the user when that failed.
std::optional<std::string> SetRunAtStartup(Autostart& autostart, std::string_view name,
                                           std::string_view folder, bool enable);
bool IsRunAtStartup(const Autostart& autostart, std::string_view name);

}  // namespace quellgate
