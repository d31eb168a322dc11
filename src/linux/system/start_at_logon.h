#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "linux/system/file_store.h"
#include "platform/start_at_logon.h"

namespace quellgate::posix {

// A desktop entry "<name>.desktop" in $XDG_CONFIG_HOME/autostart, which the
// user's desktop session starts at logon. Failures carry the errno.
class XdgStartAtLogon : public StartAtLogon {
public:
    XdgStartAtLogon() : folder_(ConfigHome() + "/autostart") {}
    explicit XdgStartAtLogon(std::string folder) : folder_(std::move(folder)) {}

    Outcome Write(std::string_view name, std::string_view executablePath) noexcept override;
    Outcome Remove(std::string_view name) noexcept override;
    bool Exists(std::string_view name) const noexcept override;
    Place PlaceOf(std::string_view name) const override { return {false, PathOf(name)}; }

    std::string PathOf(std::string_view name) const;

private:
    PosixFileStore folder_;
};

// The Exec value that starts exactly this file: quoted when the path holds a
// character the desktop's command line reserves, '%' doubled, and escaped
// once more as every string value of a desktop entry is.
std::string ExecValue(std::string_view executablePath);

// The whole entry.
std::string DesktopEntry(std::string_view executablePath);

}  // namespace quellgate::posix
