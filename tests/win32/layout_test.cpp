// The windows as built from the layout tables, at 96 dpi and on a monitor of
// 192: every control where the layout puts it, scaled once, its text whole,
// and above the frame it stands in.
#include <gtest/gtest.h>

#include "fakes/fakes.h"
#include "win32/blocking_hours_window.h"
#include "win32/change_password_window.h"
#include "win32/info_window.h"
#include "win32/main_window.h"
#include "win32/splash_window.h"
#include "win32/wide.h"
#include "win32/window_text.h"

using namespace quellgate;

static RECT Scaled(const layout::Twips& t, int dpi) {
    const auto px = [dpi](int twips) { return MulDiv(twips, dpi, layout::kTwipsPerInch); };
    return {px(t.left), px(t.top), px(t.left) + px(t.width), px(t.top) + px(t.height)};
}

// A message of our own cannot change the frame's metrics as a move to
// another monitor does, so the frame is the one asked of the system.
static void ExpectBuiltAsDesigned(HWND window, const layout::Window& design, int dpi) {
    SCOPED_TRACE(design.title);
    RECT frame{0, 0, MulDiv(design.clientWidth, dpi, layout::kTwipsPerInch),
               MulDiv(design.clientHeight, dpi, layout::kTwipsPerInch)};
    AdjustWindowRectExForDpi(
        &frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), GetMenu(window) != nullptr,
        static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)), static_cast<UINT>(dpi));
    RECT shown{};
    GetWindowRect(window, &shown);
    EXPECT_EQ(shown.right - shown.left, frame.right - frame.left);
    if (design.controls.front().id != layout::kSplashTitle) {  // the splash rolls up
        EXPECT_EQ(shown.bottom - shown.top, frame.bottom - frame.top);
    }
    for (const layout::Control& control : design.controls) {
        SCOPED_TRACE(control.id);
        HWND child = GetDlgItem(window, control.id);
        ASSERT_NE(child, nullptr);
        RECT place{};
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
        const RECT wanted = Scaled(control.place, dpi);
        EXPECT_TRUE(EqualRect(&place, &wanted))
            << place.left << "," << place.top << " " << place.right - place.left << "x"
            << place.bottom - place.top;
        if (control.kind == layout::Kind::Label || control.kind == layout::Kind::CentredLabel ||
            control.kind == layout::Kind::Paragraph) {
            const HDC dc = GetDC(child);
            const HGDIOBJ old =
                SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
            RECT needed{0, 0, place.right - place.left, 0};
            DrawTextW(dc, win32::Wide(win32::WindowText(child)).c_str(), -1, &needed,
                      DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            SelectObject(dc, old);
            ReleaseDC(child, dc);
            EXPECT_TRUE(needed.right <= place.right - place.left && needed.bottom <= place.bottom - place.top)
                << "text cut off";
        }
        const bool masked = SendMessageW(child, EM_GETPASSWORDCHAR, 0, 0) == '*';
        EXPECT_EQ(masked, control.kind == layout::Kind::PasswordBox);
        POINT centre{(wanted.left + wanted.right) / 2, (wanted.top + wanted.bottom) / 2};
        HWND hit = ChildWindowFromPointEx(window, centre, CWP_SKIPINVISIBLE);
        EXPECT_TRUE(control.kind == layout::Kind::GroupBox || hit == child) << "covered";
    }
}

TEST(Layout, EveryWindowHasItsControlsWhereTheLayoutPutsThemAt96And192Dpi) {
    fakes::FakeSystem system;
    Controller commands(system.platform());
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    win32::OwnerWindow owner(instance);
    win32::MainWindow main(instance, owner.hwnd(), commands);
    win32::SplashWindow splash(instance, owner.hwnd());
    win32::InfoWindow info(instance, owner.hwnd());
    win32::ChangePasswordWindow password(instance, owner.hwnd(), commands);
    win32::BlockingHoursWindow hours(instance, owner.hwnd(), commands);
    for (const int dpi : {96, 192}) {
        SCOPED_TRACE(dpi);
        for (const win32::Form* form :
             std::initializer_list<const win32::Form*>{&main, &splash, &info, &password, &hours}) {
            if (dpi != 96) {
                RECT where{};
                GetWindowRect(form->hwnd(), &where);
                SendMessageW(form->hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                             reinterpret_cast<LPARAM>(&where));
            }
        }
        ExpectBuiltAsDesigned(main.hwnd(), layout::kMainWindow, dpi);
        ExpectBuiltAsDesigned(splash.hwnd(), layout::kSplashWindow, dpi);
        ExpectBuiltAsDesigned(info.hwnd(), layout::kInfoWindow, dpi);
        ExpectBuiltAsDesigned(password.hwnd(), layout::kChangePasswordWindow, dpi);
        ExpectBuiltAsDesigned(hours.hwnd(), layout::kBlockingHoursWindow, dpi);
    }
}
