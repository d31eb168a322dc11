#pragma once

#include "shell/view_commands.h"
#include "win32/form.h"

namespace quellgate::win32 {

// Always, or the days and the times that blocking is on.
class BlockingHoursWindow : public Form {
public:
    BlockingHoursWindow(HINSTANCE instance, HWND owner, HoursCommands& commands);

    void Fill(const HoursEntry& entry) const;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HoursEntry Entry() const;
    void FollowChoice() const;

    HoursCommands& commands_;
};

}  // namespace quellgate::win32
