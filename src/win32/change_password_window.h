#pragma once

#include "shell/quellgate.h"
#include "win32/form.h"

namespace quellgate::win32 {

// The old password once, the new one twice.
class ChangePasswordWindow : public Form {
public:
    ChangePasswordWindow(HINSTANCE instance, HWND owner, Quellgate& controller);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void EmptyBoxes() const;

    Quellgate& controller_;
};

}  // namespace quellgate::win32
