#pragma once

#include "win32/form.h"

namespace quellgate::win32 {

// What the program does and its keys; OK hides it until the menu shows it again.
class InfoWindow : public Form {
public:
    InfoWindow(HINSTANCE instance, HWND owner);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace quellgate::win32
