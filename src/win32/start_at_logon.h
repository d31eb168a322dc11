#pragma once

#include "platform/start_at_logon.h"

namespace quellgate::win32 {

// A value under the current user's Run key.
class WinStartAtLogon : public StartAtLogon {
public:
    static constexpr const wchar_t* kRunKeyPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

    Outcome Write(std::string_view name, std::string_view executablePath) override;
    Outcome Remove(std::string_view name) override;
    bool Exists(std::string_view name) const override;
    Place PlaceOf(std::string_view name) const override;
};

// What the Run value holds: the path, quoted when it holds a blank, so that
// Windows can neither fail nor start another file along the way.
std::string RunCommand(std::string_view executablePath);

}  // namespace quellgate::win32
