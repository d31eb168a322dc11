#pragma once

#include "platform/desktop.h"

namespace quellgate::win32 {

class WinDesktop : public Desktop {
public:
    void EnumerateWindows(const std::function<void(const TopLevelWindow&)>& visit) override;
    Outcome SendAltHome() override;
    bool IsKeyPressed(Key key) override;
};

}  // namespace quellgate::win32
