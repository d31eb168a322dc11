#include "win32/dialogs.h"

#include "win32/form.h"
#include "win32/resource_ids.h"
#include "win32/wide.h"
#include "win32/window_text.h"

namespace quellgate::win32 {
namespace {

struct InputBox {
    std::wstring prompt, caption;
    bool masked = false;
    std::optional<std::string> answer;
};

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* box = reinterpret_cast<InputBox*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        box = reinterpret_cast<InputBox*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SetWindowTextW(dialog, box->caption.c_str());
        SetDlgItemTextW(dialog, IDC_INPUT_PROMPT, box->prompt.c_str());
        if (box->masked) MaskPasswordBox(GetDlgItem(dialog, IDC_INPUT_TEXT));
        BringToFront(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            box->answer = WindowText(GetDlgItem(dialog, IDC_INPUT_TEXT));
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

void MaskPasswordBox(HWND edit) {
    SendMessageW(edit, EM_SETPASSWORDCHAR, L'*', 0);
    InvalidateRect(edit, nullptr, TRUE);
}

Answer WinDialogs::ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon,
                               MessageButtons buttons) {
    UINT style = buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
    switch (icon) {
    case MessageIcon::None: break;
    case MessageIcon::Information: style |= MB_ICONINFORMATION; break;
    case MessageIcon::Exclamation: style |= MB_ICONEXCLAMATION; break;
    case MessageIcon::Question: style |= MB_ICONQUESTION; break;
    }
    // While the main window is hidden the box speaks for a program the user
    // cannot see: keep it in front.
    if (!owner_ || !IsWindowVisible(owner_)) style |= MB_SETFOREGROUND | MB_TOPMOST;
    switch (MessageBoxW(owner_, Wide(text).c_str(), Wide(caption).c_str(), style)) {
    case IDYES: return Answer::Yes;
    case IDNO: return Answer::No;
    default: return Answer::Ok;
    }
}

std::optional<std::string> WinDialogs::AskText(std::string_view prompt, std::string_view caption,
                                               bool masked) {
    InputBox box{Wide(prompt), Wide(caption), masked, std::nullopt};
    DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_INPUT_BOX), owner_, InputBoxProc,
                    reinterpret_cast<LPARAM>(&box));
    return box.answer;
}

}  // namespace quellgate::win32
