#include "win32/splash_window.h"

namespace quellgate::win32 {
namespace {

constexpr UINT_PTR kEndTimer = 1, kRollTimer = 2;

}  // namespace

SplashWindow::SplashWindow(HINSTANCE instance, HWND owner) {
    Create(instance,
           {L"QuellgateSplash", WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, owner, true,
            nullptr, layout::kSplashBlue, false},
           layout::kSplashWindow);
}

LRESULT SplashWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT && !rolling_) {
        rolling_ = true;
        SetTimer(hwnd(), kEndTimer, layout::kSplashShownMs, nullptr);
        SetTimer(hwnd(), kRollTimer, layout::kSplashRollMs, nullptr);
    }
    if (message != WM_TIMER) return Form::HandleMessage(message, wParam, lParam);
    if (wParam == kEndTimer) {
        Hide();
        KillTimer(hwnd(), kEndTimer);
        KillTimer(hwnd(), kRollTimer);
    } else if (wParam == kRollTimer) {
        RECT client{};
        GetClientRect(hwnd(), &client);
        SetClientHeightPixels(client.bottom - ToPixels(layout::kSplashRollTwips, Dpi()));
    }
    return 0;
}

}  // namespace quellgate::win32
