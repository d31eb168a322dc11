#include "win32/main_window.h"

#include "win32/blocking_hours_window.h"
#include "win32/change_password_window.h"
#include "win32/info_window.h"
#include "win32/resource_ids.h"
#include "win32/splash_window.h"
#include "win32/wide.h"

namespace quellgate::win32 {
namespace {

constexpr UINT_PTR kWatchTimer = 1;
// A long keyword list is put into the list box a piece at a time, between
// the watch's ticks: each row costs a call into the window system.
constexpr UINT_PTR kFillTimer = 2;
constexpr std::size_t kRowsAtOnce = 200;

HMENU BuildMenu() {
    HMENU program = CreatePopupMenu();
    for (const auto& entry : layout::kProgramMenu)
        AppendMenuW(program, entry.id ? MF_STRING : MF_SEPARATOR, static_cast<UINT_PTR>(entry.id),
                    entry.id ? Wide(entry.text).c_str() : nullptr);
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(program), Wide(layout::kProgramMenuTitle).c_str());
    AppendMenuW(bar, MF_STRING, layout::kInfoMenu.id, Wide(layout::kInfoMenu.text).c_str());
    return bar;
}

UniqueIcon LoadAppIcon(HINSTANCE instance, int size) {
    return UniqueIcon(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUELLGATE), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

constexpr layout::Window kOwner{"Quellgate", 0, 0, {}};

}  // namespace

OwnerWindow::OwnerWindow(HINSTANCE instance) {
    Create(instance, {L"QuellgateOwner", WS_POPUP, WS_EX_TOOLWINDOW, nullptr, false}, kOwner);
}

MainWindow::MainWindow(HINSTANCE instance, HWND owner, ViewCommands& commands)
    : instance_(instance), owner_(owner), commands_(commands) {
    Create(instance,
           {L"QuellgateMain", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, owner, false, BuildMenu()},
           layout::kMainWindow);
    bigIcon_ = LoadAppIcon(instance, GetSystemMetricsForDpi(SM_CXICON, Dpi()));
    smallIcon_ = LoadAppIcon(instance, GetSystemMetricsForDpi(SM_CXSMICON, Dpi()));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

MainWindow::~MainWindow() = default;

void MainWindow::StartWatch() { SetTimer(hwnd(), kWatchTimer, kWatchIntervalMs, nullptr); }

bool MainWindow::PreTranslate(MSG& message) const {
    for (const Form* form :
         {static_cast<const Form*>(this), static_cast<const Form*>(changePassword_.get()),
          static_cast<const Form*>(blockingHours_.get()), static_cast<const Form*>(info_.get())})
        if (form && form->hwnd() && IsWindowVisible(form->hwnd()) && IsDialogMessageW(form->hwnd(), &message))
            return true;
    return false;
}

void MainWindow::ShowSwitch(std::size_t network, bool blocked) {
    blocked_.at(network) = blocked;
    SetWindowTextW(Control(layout::StatusOf(network)), Wide(layout::LookOf(blocked).text).c_str());
    InvalidateRect(Control(layout::IconOf(network)), nullptr, TRUE);
    InvalidateRect(Control(layout::StatusOf(network)), nullptr, TRUE);
}

void MainWindow::ShowKeywords(const std::vector<std::string>& rows) {
    shownRows_ = rows;
    filledRows_ = 0;
    HWND list = Control(layout::kKeywordList);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    SendMessageW(list, LB_INITSTORAGE, rows.size(), 0);
    FillKeywordList();
}

void MainWindow::FillKeywordList() {
    HWND list = Control(layout::kKeywordList);
    const std::size_t end = std::min(shownRows_.size(), filledRows_ + kRowsAtOnce);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (; filledRows_ < end; ++filledRows_) {
        const std::wstring row = Wide(shownRows_[filledRows_]);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    if (filledRows_ < shownRows_.size()) {
        SetTimer(hwnd(), kFillTimer, 1, nullptr);
    } else {
        KillTimer(hwnd(), kFillTimer);
        shownRows_ = {};
    }
}

std::optional<std::size_t> MainWindow::SelectedKeyword() const {
    const LRESULT selected = SendMessageW(Control(layout::kKeywordList), LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return std::nullopt;
    return static_cast<std::size_t>(selected);
}

void MainWindow::ShowStartAtLogon(bool on) {
    SendMessageW(Control(layout::kStartAtLogonBox), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainWindow::ShowHoursInForce(std::string_view line) {
    SetWindowTextW(Control(layout::kHoursInForce), Wide(line).c_str());
}

void MainWindow::ShowSplash() {
    if (!splash_) splash_ = std::make_unique<SplashWindow>(instance_, owner_);
    // The user's program keeps the focus, so Alt+Home reaches it from the first tick.
    splash_->ShowInactive();
}

void MainWindow::ShowInfo() {
    if (!info_) info_ = std::make_unique<InfoWindow>(instance_, owner_);
    info_->Show();
}

void MainWindow::ShowChangePassword() {
    if (!changePassword_)
        changePassword_ = std::make_unique<ChangePasswordWindow>(instance_, owner_, commands_);
    changePassword_->Show();
}

void MainWindow::ShowBlockingHours(const HoursEntry& entry) {
    if (!blockingHours_) blockingHours_ = std::make_unique<BlockingHoursWindow>(instance_, owner_, commands_);
    blockingHours_->Fill(entry);
    blockingHours_->Show();
}

void MainWindow::Terminate() {
    KillTimer(hwnd(), kWatchTimer);
    PostQuitMessage(0);
}

void MainWindow::OnCommand(int id, int code) {
    if (id >= layout::kMenuHide && id <= layout::kMenuInfo) return commands_.Choose(id);
    if (code != BN_CLICKED) return;
    if (const auto network = layout::NetworkOf(id)) return commands_.ToggleNetwork(*network);
    switch (id) {
    case layout::kAddButton: commands_.AddKeyword(); break;
    case layout::kRemoveButton: commands_.RemoveSelectedKeyword(); break;
    case layout::kStartAtLogonBox:
        commands_.SetStartAtLogon(SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED);
        break;
    default: break;
    }
}

std::optional<layout::Rgb> MainWindow::TextColour(const layout::Control& control) const {
    if (const auto network = layout::NetworkOf(control.id)) return layout::LookOf(blocked_[*network]).colour;
    return Form::TextColour(control);
}

void MainWindow::DrawControl(const layout::Control& control, const DRAWITEMSTRUCT& item) const {
    const auto network = layout::NetworkOf(control.id);
    if (!network) return Form::DrawControl(control, item);
    // The picture inside, the switch's colour round it.
    const RECT& place = item.rcItem;
    const layout::Outline outline =
        layout::OutlineOf({place.left, place.top, place.right - place.left, place.bottom - place.top},
                          ToPixels(layout::kOutlineTwips, Dpi()));
    DRAWITEMSTRUCT inside = item;
    inside.rcItem = {outline.inside.left, outline.inside.top, outline.inside.left + outline.inside.width,
                     outline.inside.top + outline.inside.height};
    Form::DrawControl(control, inside);
    const UniqueBrush brush(CreateSolidBrush(ToColorRef(layout::LookOf(blocked_[*network]).colour)));
    for (const layout::Box& edge : outline.edges) {
        const RECT rect{edge.left, edge.top, edge.left + edge.width, edge.top + edge.height};
        FillRect(item.hDC, &rect, brush.get());
    }
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kWatchTimer) commands_.OnWatchTick();
        if (wParam == kFillTimer) FillKeywordList();
        return 0;
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_CLOSE:
        // Every way of closing (menu, title bar, Alt+F4, another program) asks first.
        commands_.RequestExit();
        return 0;
    case WM_QUERYENDSESSION: return commands_.RequestExit() ? TRUE : FALSE;
    default: return Form::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace quellgate::win32
