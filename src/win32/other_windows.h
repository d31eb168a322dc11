#pragma once

#include "shell/quellgate.h"
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
    UniqueBrush blue_;
};

class InfoWindow : public Form {
public:
    InfoWindow(HINSTANCE instance, HWND owner);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// "Change password": the old password once, the new one twice.
class PasswordWindow : public Form {
public:
    PasswordWindow(HINSTANCE instance, HWND owner, Quellgate& controller);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void EmptyBoxes() const;

    Quellgate& controller_;
};

}  // namespace quellgate::win32
