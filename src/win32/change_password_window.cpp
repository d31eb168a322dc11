#include "win32/change_password_window.h"

#include "win32/dialogs.h"
#include "win32/wide.h"
#include "win32/window_text.h"

#include <commctrl.h>

namespace quellgate::win32 {
namespace {

constexpr int kBoxes[] = {layout::kOldPassword, layout::kNewPassword, layout::kRetypedPassword};

// A click into a box empties it; moving in with the keyboard does not.
LRESULT CALLBACK EmptyOnClick(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR) noexcept {
    if (message == WM_LBUTTONDOWN) SetWindowTextW(edit, L"");
    return DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

ChangePasswordWindow::ChangePasswordWindow(HINSTANCE instance, HWND owner, PasswordCommands& commands)
    : commands_(commands) {
    Create(instance, {L"QuellgatePassword", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, owner, true},
           layout::kChangePasswordWindow);
    ShowProgramIcon(instance);
    for (const int box : kBoxes) {
        MaskPasswordBox(Control(box));
        SetWindowSubclass(Control(box), &EmptyOnClick, 0, 0);
    }
}

void ChangePasswordWindow::EmptyBoxes() const {
    for (const int box : kBoxes) SetWindowTextW(Control(box), L"");
}

LRESULT ChangePasswordWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return 0;
        // Enter and Esc come as IDOK and IDCANCEL.
        if (LOWORD(wParam) == layout::kPasswordOk || LOWORD(wParam) == IDOK) {
            if (commands_.ChangePassword(WindowText(Control(layout::kOldPassword)),
                                         WindowText(Control(layout::kNewPassword)),
                                         WindowText(Control(layout::kRetypedPassword))))
                Hide();
        } else if (LOWORD(wParam) == layout::kPasswordCancel || LOWORD(wParam) == IDCANCEL) {
            Hide();
        }
        return 0;
    case WM_CLOSE:
        // Closing, unlike Cancel, forgets what was typed.
        EmptyBoxes();
        Hide();
        return 0;
    default: return Form::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace quellgate::win32
