#include "win32/blocking_hours_window.h"

#include "win32/wide.h"
#include "win32/window_text.h"

namespace quellgate::win32 {
namespace {

void Check(HWND button, bool on) { SendMessageW(button, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
bool IsChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

}  // namespace

BlockingHoursWindow::BlockingHoursWindow(HINSTANCE instance, HWND owner, HoursCommands& commands)
    : commands_(commands) {
    Create(instance, {L"QuellgateHours", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, owner, true},
           layout::kBlockingHoursWindow);
    ShowProgramIcon(instance);
}

void BlockingHoursWindow::Fill(const HoursEntry& entry) const {
    Check(Control(layout::kHoursAlways), entry.always);
    Check(Control(layout::kHoursOnlyOn), !entry.always);
    for (std::size_t day = 0; day < kDaysInWeek; ++day)
        Check(Control(layout::DayBoxOf(day)), entry.days[day]);
    SetWindowTextW(Control(layout::kHoursFrom), Wide(entry.from).c_str());
    SetWindowTextW(Control(layout::kHoursTo), Wide(entry.to).c_str());
    FollowChoice();
}

void BlockingHoursWindow::FollowChoice() const {
    const BOOL onlyOn = IsChecked(Control(layout::kHoursOnlyOn));
    for (const layout::Control& control : layout::kBlockingHoursWindow.controls)
        if (layout::FollowsOnlyOn(control.id)) EnableWindow(Control(control.id), onlyOn);
}

HoursEntry BlockingHoursWindow::Entry() const {
    HoursEntry entry{!IsChecked(Control(layout::kHoursOnlyOn)),
                     {},
                     WindowText(Control(layout::kHoursFrom)),
                     WindowText(Control(layout::kHoursTo))};
    for (std::size_t day = 0; day < kDaysInWeek; ++day)
        entry.days[day] = IsChecked(Control(layout::DayBoxOf(day)));
    return entry;
}

LRESULT BlockingHoursWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return 0;
        // Enter and Esc come as IDOK and IDCANCEL.
        if (LOWORD(wParam) == layout::kHoursAlways || LOWORD(wParam) == layout::kHoursOnlyOn) {
            FollowChoice();
        } else if (LOWORD(wParam) == layout::kHoursOk || LOWORD(wParam) == IDOK) {
            if (commands_.SetBlockingHours(Entry())) Hide();
        } else if (LOWORD(wParam) == layout::kHoursCancel || LOWORD(wParam) == IDCANCEL) {
            Hide();
        }
        return 0;
    case WM_CLOSE: Hide(); return 0;
    default: return Form::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace quellgate::win32
