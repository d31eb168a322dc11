#include "win32/other_windows.h"

#include "win32/artwork.h"
#include "win32/dialogs.h"
#include "win32/resource_ids.h"
#include "win32/wide.h"

#include <commctrl.h>

namespace quellgate::win32 {
namespace {

// Splash
enum : int { kSplashTitle = 3001, kSplashHint, kSplashPicture };
constexpr UINT_PTR kSplashEnd = 1, kSplashRoll = 2;
constexpr Twips kSplashPicturePlace{0, 1080, 4695, 5415};
constexpr int kRollStep = 300;  // twips a tick
constexpr COLORREF kSplashBlue = 0x00FF0000;

const ControlSpec kSplashControls[] = {
    {kSplashTitle, WC_STATICW, "QUELLGATE", SS_CENTER | SS_NOPREFIX, {0, 120, 4575, 375}, FontKind::Bold135},
    {kSplashHint, WC_STATICW, "PRESS F5 KEY TO UNHIDE MAIN WINDOW", SS_CENTER | SS_NOPREFIX, {0, 600, 4575, 375},
     FontKind::Bold825},
};

// Info
enum : int { kInfoTitle = 3101, kInfoPicture, kInfoLine1, kInfoText, kInfoLine2 };
constexpr Twips kInfoPicturePlace{120, 600, 4320, 3000};

const ControlSpec kInfoControls[] = {
    {IDOK, WC_BUTTONW, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, {1793, 8280, 975, 423}},
    {kInfoTitle, WC_STATICW, "QUELLGATE V 1.0", SS_CENTER | SS_NOPREFIX, {120, 120, 4215, 375}, FontKind::Bold975},
    {kInfoLine1, WC_STATICW, "", SS_ETCHEDHORZ, {120, 3720, 4320, 30}},
    {kInfoText, WC_STATICW,
     "Quellgate keeps you away from social networks and from any site or subject you name.\r\n\r\n"
     "It runs hidden. Several times a second it reads the titles of the open windows; when one holds a "
     "blocked network or keyword, it sends Alt+Home, and the browser leaves the page for its home page.\r\n\r\n"
     "Click a network's picture to switch it between FREE and BLOCKED. Use the buttons under the list to add "
     "a site or keyword and to remove the selected one.\r\n\r\n"
     "F4 hides the main window.\r\nF5 shows it after the master password.\r\nF8 sends Alt+Home at once.",
     SS_LEFT | SS_NOPREFIX, {240, 3870, 4080, 4050}},
    {kInfoLine2, WC_STATICW, "", SS_ETCHEDHORZ, {120, 8070, 4320, 30}},
};

// Change password
enum : int { kPass1 = 3201, kPass2, kPass3, kCancel, kOldLabel, kNewLabel, kRetypeLabel, kHint };
constexpr DWORD kPasswordStyle = WS_BORDER | WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL;
constexpr COLORREF kHintRed = 0x000000FF;

// In tab order.
const ControlSpec kPasswordControls[] = {
    {kPass1, WC_EDITW, "", kPasswordStyle, {1320, 480, 2325, 345}},
    {kPass2, WC_EDITW, "", kPasswordStyle, {1320, 1200, 2325, 345}},
    {kPass3, WC_EDITW, "", kPasswordStyle, {1320, 1920, 2325, 345}},
    {IDOK, WC_BUTTONW, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, {1320, 2520, 1065, 423}},
    {kOldLabel, WC_STATICW, "Old password:", SS_LEFT, {120, 480, 1080, 270}},
    {kNewLabel, WC_STATICW, "New password:", SS_CENTER, {120, 1200, 1080, 615}},
    {kRetypeLabel, WC_STATICW, "Re-type New password:", SS_CENTER, {120, 1920, 1080, 615}},
    {kHint, WC_STATICW, "At least 8 characters", SS_CENTER, {1320, 1560, 2400, 375}},
    {kCancel, WC_BUTTONW, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, {2640, 2520, 1065, 423}},
};

// A click into a box empties it; moving in with the keyboard does not.
LRESULT CALLBACK EmptyOnClick(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) noexcept {
    if (message == WM_LBUTTONDOWN) SetWindowTextW(edit, L"");
    return DefSubclassProc(edit, message, wParam, lParam);
}

constexpr DWORD kToolStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

}  // namespace

SplashWindow::SplashWindow(HINSTANCE instance, HWND owner) : blue_(CreateSolidBrush(kSplashBlue)) {
    Create(instance,
           {L"QuellgateSplash", "Quellgate", WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, owner,
            nullptr, 4695, 6480, true, blue_.get()},
           kSplashControls);
    SetTimer(hwnd(), kSplashEnd, 2000, nullptr);
    SetTimer(hwnd(), kSplashRoll, 100, nullptr);
}

LRESULT SplashWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kSplashEnd) {
            Hide();
            KillTimer(hwnd(), kSplashEnd);
            KillTimer(hwnd(), kSplashRoll);
        } else if (wParam == kSplashRoll) {
            RECT client{};
            GetClientRect(hwnd(), &client);
            SetClientHeightPixels(client.bottom - ToPixels(kRollStep, Dpi()));
        }
        return 0;
    case WM_PAINT:
        return PaintPicture(&DrawSplashPicture, kSplashPicturePlace);
    case WM_CTLCOLORSTATIC: {
        auto dc = reinterpret_cast<HDC>(wParam);
        const bool title = GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kSplashTitle;
        SetTextColor(dc, title ? 0x000000FF : 0x00FFFFFF);
        SetBkColor(dc, kSplashBlue);
        return reinterpret_cast<LRESULT>(blue_.get());
    }
    default:
        return Form::HandleMessage(message, wParam, lParam);
    }
}

InfoWindow::InfoWindow(HINSTANCE instance, HWND owner) {
    Create(instance,
           {L"QuellgateInfo", "Info", kToolStyle, 0, owner, nullptr, 4560, 8835, true,
            GetSysColorBrush(COLOR_BTNFACE), LoadIconW(instance, MAKEINTRESOURCEW(IDI_QUELLGATE))},
           kInfoControls);
}

LRESULT InfoWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) Hide();
        return 0;
    case WM_CLOSE:
        Hide();
        return 0;
    case WM_PAINT:
        return PaintPicture(&DrawInfoDecoration, kInfoPicturePlace);
    case WM_CTLCOLORSTATIC:
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kInfoTitle) return LabelColours(wParam, 0x00FF0000);
        return LabelColours(wParam);
    default:
        return Form::HandleMessage(message, wParam, lParam);
    }
}

PasswordWindow::PasswordWindow(HINSTANCE instance, HWND owner, Quellgate& controller) : controller_(controller) {
    Create(instance,
           {L"QuellgatePassword", "Change password", kToolStyle, 0, owner, nullptr, 4095, 3240, true,
            GetSysColorBrush(COLOR_BTNFACE), LoadIconW(instance, MAKEINTRESOURCEW(IDI_QUELLGATE))},
           kPasswordControls);
    for (const int box : {kPass1, kPass2, kPass3}) {
        MaskPasswordBox(Control(box));
        SetWindowSubclass(Control(box), &EmptyOnClick, 0, 0);
    }
    EmptyBoxes();
}

void PasswordWindow::EmptyBoxes() const {
    for (const int box : {kPass1, kPass2, kPass3}) SetWindowTextW(Control(box), L"");
}

LRESULT PasswordWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return 0;
        if (LOWORD(wParam) == IDOK) {
            if (controller_.ChangePassword_OK(WindowText(Control(kPass1)), WindowText(Control(kPass2)),
                                              WindowText(Control(kPass3))))
                Hide();
        } else if (LOWORD(wParam) == kCancel || LOWORD(wParam) == IDCANCEL) {
            Hide();
        }
        return 0;
    case WM_CLOSE:
        // Closing, unlike Cancel, forgets what was typed.
        EmptyBoxes();
        Hide();
        return 0;
    case WM_CTLCOLORSTATIC:
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kHint) return LabelColours(wParam, kHintRed);
        return LabelColours(wParam);
    default:
        return Form::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace quellgate::win32
