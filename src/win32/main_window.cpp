#include "win32/main_window.h"

#include "text/utf8.h"
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

std::optional<std::size_t> NetworkOf(int id, int first) {
    if (id < first || id >= first + static_cast<int>(kNetworkCount)) return std::nullopt;
    return static_cast<std::size_t>(id - first);
}

// The outline's width along the inside of the area.
void DrawOutline(HDC dc, RECT area, COLORREF colour, int width) {
    const UniqueBrush brush(CreateSolidBrush(colour));
    for (int i = 0; i < width; ++i) {
        FrameRect(dc, &area, brush.get());
        InflateRect(&area, -1, -1);
    }
}

constexpr layout::Window kOwner{"Quellgate", 0, 0, {}};

}  // namespace

OwnerWindow::OwnerWindow(HINSTANCE instance) {
    Create(instance, {L"QuellgateOwner", WS_POPUP, WS_EX_TOOLWINDOW, nullptr, false}, kOwner);
}

MainWindow::MainWindow(HINSTANCE instance, HWND owner) : instance_(instance), owner_(owner) {
    Create(instance,
           {L"QuellgateMain", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, owner, false, BuildMenu()},
           layout::kMainWindow);
    bigIcon_ = LoadAppIcon(instance, GetSystemMetricsForDpi(SM_CXICON, Dpi()));
    smallIcon_ = LoadAppIcon(instance, GetSystemMetricsForDpi(SM_CXSMICON, Dpi()));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    SendMessageW(Control(layout::kStartAtLogonBox), BM_SETCHECK, BST_CHECKED, 0);
}

MainWindow::~MainWindow() = default;

void MainWindow::StartWatch() { SetTimer(hwnd(), kWatchTimer, kWatchIntervalMs, nullptr); }

bool MainWindow::PreTranslate(MSG& message) const {
    for (const Form* form : {static_cast<const Form*>(this), static_cast<const Form*>(changePassword_.get()),
                             static_cast<const Form*>(info_.get())})
        if (form && form->hwnd() && IsWindowVisible(form->hwnd()) && IsDialogMessageW(form->hwnd(), &message))
            return true;
    return false;
}

const layout::Rgb& MainWindow::SwitchColour(std::size_t network) const {
    return blocked_.at(network) ? layout::kBlockedColour : layout::kFreeColour;
}

void MainWindow::ShowSwitch(std::size_t network, bool blocked) {
    blocked_.at(network) = blocked;
    const int offset = static_cast<int>(network);
    SetWindowTextW(Control(layout::kNetworkStatus + offset),
                   Wide(blocked ? layout::kBlockedText : layout::kFreeText).c_str());
    InvalidateRect(Control(layout::kNetworkIcon + offset), nullptr, TRUE);
    InvalidateRect(Control(layout::kNetworkStatus + offset), nullptr, TRUE);
}

void MainWindow::ShowKeywords(const std::vector<std::string>& entries) {
    shownKeywords_ = entries;
    filledRows_ = 0;
    HWND list = Control(layout::kKeywordList);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    SendMessageW(list, LB_INITSTORAGE, entries.size(), 0);
    FillKeywordList();
}

void MainWindow::FillKeywordList() {
    HWND list = Control(layout::kKeywordList);
    const std::size_t end = std::min(shownKeywords_.size(), filledRows_ + kRowsAtOnce);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (; filledRows_ < end; ++filledRows_) {
        const std::wstring row =
            Wide(Abbreviated(shownKeywords_[filledRows_], layout::kShownEntryCharacters));
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    if (filledRows_ < shownKeywords_.size()) {
        SetTimer(hwnd(), kFillTimer, 1, nullptr);
    } else {
        KillTimer(hwnd(), kFillTimer);
        shownKeywords_ = {};
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
        changePassword_ = std::make_unique<ChangePasswordWindow>(instance_, owner_, *controller_);
    changePassword_->Show();
}

void MainWindow::Terminate() {
    KillTimer(hwnd(), kWatchTimer);
    PostQuitMessage(0);
}

void MainWindow::OnCommand(int id, int code) {
    if (!controller_) return;
    if (const auto network = NetworkOf(id, layout::kNetworkIcon); network && code == BN_CLICKED)
        return controller_->ToggleNetwork(*network);
    switch (id) {
    case layout::kAddButton:
        if (code == BN_CLICKED) controller_->AddKeyword();
        break;
    case layout::kRemoveButton:
        if (code == BN_CLICKED) controller_->RemoveSelectedKeyword();
        break;
    case layout::kStartAtLogonBox:
        if (code == BN_CLICKED)
            controller_->SetStartAtLogon(SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED);
        break;
    case layout::kMenuHide: Hide(); break;
    case layout::kMenuChangePassword: ShowChangePassword(); break;
    case layout::kMenuExit: PostMessageW(hwnd(), WM_CLOSE, 0, 0); break;
    case layout::kMenuInfo: ShowInfo(); break;
    default: break;
    }
}

std::optional<layout::Rgb> MainWindow::TextColour(const layout::Control& control) const {
    if (const auto network = NetworkOf(control.id, layout::kNetworkStatus)) return SwitchColour(*network);
    return Form::TextColour(control);
}

void MainWindow::DrawControl(const layout::Control& control, const DRAWITEMSTRUCT& item) const {
    const auto network = NetworkOf(control.id, layout::kNetworkIcon);
    if (!network) return Form::DrawControl(control, item);
    // The picture inside, the switch's colour round it.
    const int outline = ToPixels(layout::kOutlineTwips, Dpi());
    DRAWITEMSTRUCT inside = item;
    InflateRect(&inside.rcItem, -outline, -outline);
    Form::DrawControl(control, inside);
    DrawOutline(item.hDC, item.rcItem, ToColorRef(SwitchColour(*network)), outline);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kWatchTimer && controller_) controller_->OnWatchTick();
        if (wParam == kFillTimer) FillKeywordList();
        return 0;
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_CLOSE:
        // Every way of closing (menu, title bar, Alt+F4, another program) asks first.
        if (controller_) controller_->RequestExit();
        return 0;
    case WM_QUERYENDSESSION: return controller_ && controller_->RequestExit() ? TRUE : FALSE;
    default: return Form::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace quellgate::win32
