#include "win32/info_window.h"

namespace quellgate::win32 {

InfoWindow::InfoWindow(HINSTANCE instance, HWND owner) {
    Create(instance, {L"QuellgateInfo", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, owner, true},
           layout::kInfoWindow);
    ShowProgramIcon(instance);
}

LRESULT InfoWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        // Enter and Esc come as IDOK and IDCANCEL.
        if (LOWORD(wParam) == layout::kInfoOk || LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) Hide();
        return 0;
    case WM_CLOSE: Hide(); return 0;
    default: return Form::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace quellgate::win32
