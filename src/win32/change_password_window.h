#pragma once

#include "shell/view_commands.h"
#include "win32/form.h"

namespace quellgate::win32 {

// The old password once, the new one twice.
class ChangePasswordWindow : public Form {
public:
    ChangePasswordWindow(HINSTANCE instance, HWND owner, PasswordCommands& commands);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void EmptyBoxes() const;

    PasswordCommands& commands_;
};

}  // namespace quellgate::win32
