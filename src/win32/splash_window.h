#pragma once

#include "win32/form.h"

namespace quellgate::win32 {

// The blue card shown at start: rolls up from the bottom for two seconds,
// then hides for good.
class SplashWindow : public Form {
public:
    SplashWindow(HINSTANCE instance, HWND owner);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool rolling_ = false;  // from its first paint
};

}  // namespace quellgate::win32
