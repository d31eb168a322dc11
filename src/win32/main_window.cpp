#include "win32/main_window.h"

#include "blocklist/network_switches.h"
#include "win32/artwork.h"
#include "win32/other_windows.h"
#include "win32/resource_ids.h"
#include "win32/wide.h"

#include <commctrl.h>

namespace quellgate::win32 {
namespace {

enum : int {
    kImage1 = 1001,  // .. kImage1 + 4
    kLabel1 = 1011,  // .. kLabel1 + 4
    kList3 = 1020,
    kFrame3,
    kFrame2,
    kFrame1,
    kLabel8,
    kImage6,
    kImage7,
    kChkRun,
    kLabel158,
    kMenuHide = 2001,
    kMenuPassword,
    kMenuExit,
    kMenuInfo,
};

constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kWatchInterval = 300;

constexpr COLORREF kFreeColour = 65280;      // green
constexpr COLORREF kBlockedColour = 255;     // red
constexpr COLORREF kHeadingColour = 49152;   // dark green

// Frames are containers in the design; here their children are siblings
// placed at the frame's offset.
constexpr Twips In(Twips frame, Twips child) {
    return {frame.left + child.left, frame.top + child.top, child.width, child.height};
}
constexpr Twips kFrame3Place{240, 120, 3500, 5500};
constexpr Twips kFrame2Place{3840, 120, 3500, 5500};
constexpr Twips kFrame1Place{7440, 240, 2175, 1815};
constexpr std::array<Twips, 5> kIconPlaces = {
    Twips{360, 480, 870, 870}, Twips{360, 1440, 870, 870}, Twips{240, 2400, 1095, 840},
    Twips{360, 3360, 870, 855}, Twips{360, 4320, 855, 855}};
constexpr std::array<int, 5> kRowTops = {480, 1440, 2400, 3360, 4320};

constexpr DWORD kImageStyle = BS_OWNERDRAW | WS_TABSTOP;
constexpr DWORD kLabelStyle = SS_LEFT | SS_NOPREFIX;

// Earlier rows lie above later ones, so the frames come last and stay behind.
const ControlSpec kControls[] = {
    {kImage1 + 0, WC_BUTTONW, "facebook", kImageStyle, In(kFrame3Place, kIconPlaces[0])},
    {kLabel1 + 0, WC_STATICW, "FREE", kLabelStyle, In(kFrame3Place, {1320, kRowTops[0], 1335, 375}), FontKind::Bold975},
    {kImage1 + 1, WC_BUTTONW, "twitter", kImageStyle, In(kFrame3Place, kIconPlaces[1])},
    {kLabel1 + 1, WC_STATICW, "FREE", kLabelStyle, In(kFrame3Place, {1320, kRowTops[1], 1335, 375}), FontKind::Bold975},
    {kImage1 + 2, WC_BUTTONW, "linkedin", kImageStyle, In(kFrame3Place, kIconPlaces[2])},
    {kLabel1 + 2, WC_STATICW, "FREE", kLabelStyle, In(kFrame3Place, {1320, kRowTops[2], 1335, 375}), FontKind::Bold975},
    {kImage1 + 3, WC_BUTTONW, "myspace", kImageStyle, In(kFrame3Place, kIconPlaces[3])},
    {kLabel1 + 3, WC_STATICW, "FREE", kLabelStyle, In(kFrame3Place, {1320, kRowTops[3], 1335, 375}), FontKind::Bold975},
    {kImage1 + 4, WC_BUTTONW, "youtube", kImageStyle, In(kFrame3Place, kIconPlaces[4])},
    {kLabel1 + 4, WC_STATICW, "FREE", kLabelStyle, In(kFrame3Place, {1320, kRowTops[4], 1335, 375}), FontKind::Bold975},
    {kList3, WC_LISTBOXW, "", WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
     {3960, 480, 3255, 4155}},
    {kLabel8, WC_STATICW, "ADD SITE OR KEYWORD", SS_CENTER | SS_NOPREFIX, In(kFrame2Place, {600, 4560, 2415, 375}),
     FontKind::Bold825},
    {kImage6, WC_BUTTONW, "ADD site / keyword", kImageStyle, In(kFrame2Place, {240, 4920, 360, 360})},
    {kImage7, WC_BUTTONW, "REMOVE selected from list", kImageStyle, In(kFrame2Place, {3000, 4920, 360, 360})},
    {kChkRun, WC_BUTTONW, "Run with Windows", BS_AUTOCHECKBOX | WS_TABSTOP, In(kFrame1Place, {120, 360, 1935, 255})},
    {kLabel158, WC_STATICW, "F4 / F5 keys Hide / Show THIS WINDOW", SS_CENTER | SS_NOPREFIX,
     In(kFrame1Place, {120, 1080, 1935, 615})},
    {kFrame3, WC_BUTTONW, "Social networks", BS_GROUPBOX, kFrame3Place, FontKind::Bold825},
    {kFrame2, WC_BUTTONW, "BLOCKED sites / keywords", BS_GROUPBOX, kFrame2Place, FontKind::Bold825},
    {kFrame1, WC_BUTTONW, "Program Options", BS_GROUPBOX, kFrame1Place, FontKind::Bold825},
};

HMENU BuildMenu() {
    HMENU program = CreatePopupMenu();
    AppendMenuW(program, MF_STRING, kMenuHide, L"Hide (F4)");
    AppendMenuW(program, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(program, MF_STRING, kMenuPassword, L"Change Password");
    AppendMenuW(program, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(program, MF_STRING, kMenuExit, L"Exit and Terminate");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(program), L"Program");
    AppendMenuW(bar, MF_STRING, kMenuInfo, L"Info");
    return bar;
}

UniqueIcon LoadAppIcon(HINSTANCE instance, int size) {
    return UniqueIcon(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUELLGATE), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

bool IsImage(int id) { return (id >= kImage1 && id < kImage1 + 5) || id == kImage6 || id == kImage7; }

}  // namespace

OwnerWindow::OwnerWindow(HINSTANCE instance) {
    Create(instance, {L"QuellgateOwner", "Quellgate", WS_POPUP, WS_EX_TOOLWINDOW, nullptr, nullptr, 0, 0, false, nullptr},
           {});
}

MainWindow::MainWindow(HINSTANCE instance, HWND owner) : instance_(instance), owner_(owner) {
    // The menu belongs to the window from here on and goes with it.
    Create(instance,
           {L"QuellgateMain", "QUELLGATE V. 1.0.", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0,
            owner, BuildMenu(), 9705, 5925, false, GetSysColorBrush(COLOR_BTNFACE)},
           kControls);
    bigIcon_ = LoadAppIcon(instance, GetSystemMetricsForDpi(SM_CXICON, Dpi()));
    smallIcon_ = LoadAppIcon(instance, GetSystemMetricsForDpi(SM_CXSMICON, Dpi()));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    SendMessageW(Control(kChkRun), BM_SETCHECK, BST_CHECKED, 0);
    AddTooltips();
}

MainWindow::~MainWindow() = default;

void MainWindow::AddTooltips() {
    tooltips_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr, instance_, nullptr));
    const std::pair<int, const wchar_t*> tips[] = {
        {kList3, L"Blocked Keywords"}, {kImage6, L"ADD site / keyword"}, {kImage7, L"REMOVE selected from list"}};
    for (const auto& [id, text] : tips) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(Control(id));
        tool.lpszText = const_cast<wchar_t*>(text);
        SendMessageW(tooltips_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void MainWindow::StartWatch() { SetTimer(hwnd(), kWatchTimer, kWatchInterval, nullptr); }

bool MainWindow::PreTranslate(MSG& message) const {
    for (const Form* form : {static_cast<const Form*>(this), static_cast<const Form*>(password_.get()),
                             static_cast<const Form*>(info_.get())})
        if (form && form->hwnd() && IsWindowVisible(form->hwnd()) && IsDialogMessageW(form->hwnd(), &message))
            return true;
    return false;
}

void MainWindow::ShowSwitch(std::size_t network, bool blocked) {
    blocked_.at(network) = blocked;
    const int id = kImage1 + static_cast<int>(network);
    SetWindowTextW(Control(kLabel1 + static_cast<int>(network)), blocked ? L"BLOCKED" : L"FREE");
    InvalidateRect(Control(id), nullptr, TRUE);
    InvalidateRect(Control(kLabel1 + static_cast<int>(network)), nullptr, TRUE);
}

void MainWindow::ShowKeywords(const std::vector<std::string>& entries) {
    HWND list = Control(kList3);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    SendMessageW(list, LB_INITSTORAGE, entries.size(), 0);
    for (const auto& entry : entries)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(entry).c_str()));
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

std::optional<std::size_t> MainWindow::SelectedKeyword() const {
    const LRESULT selected = SendMessageW(Control(kList3), LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return std::nullopt;
    return static_cast<std::size_t>(selected);
}

bool MainWindow::RunAtStartupTicked() const {
    return SendMessageW(Control(kChkRun), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::SetRunAtStartupTicked(bool ticked) {
    SendMessageW(Control(kChkRun), BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainWindow::ShowSplash() {
    if (!splash_) splash_ = std::make_unique<SplashWindow>(instance_, owner_);
    // The user's browser keeps the focus, so Alt+Home reaches it from the first tick.
    splash_->ShowInactive();
}

void MainWindow::ShowInfo() {
    if (!info_) info_ = std::make_unique<InfoWindow>(instance_, owner_);
    info_->Show();
}

void MainWindow::ShowChangePassword() {
    if (!password_) password_ = std::make_unique<PasswordWindow>(instance_, owner_, *controller_);
    password_->Show();
}

void MainWindow::Terminate() {
    KillTimer(hwnd(), kWatchTimer);
    PostQuitMessage(0);
}

void MainWindow::OnCommand(int id, int code) {
    if (!controller_) return;
    if (id >= kImage1 && id < kImage1 + 5 && code == BN_CLICKED) {
        controller_->NetworkIcon_Click(static_cast<std::size_t>(id - kImage1));
        return;
    }
    switch (id) {
    case kImage6: if (code == BN_CLICKED) controller_->Image6_Click(); break;
    case kImage7: if (code == BN_CLICKED) controller_->Image7_Click(); break;
    case kChkRun: if (code == BN_CLICKED) controller_->ChkRun_Click(); break;
    case kMenuHide: controller_->mnuHide_Click(); break;
    case kMenuPassword: controller_->mnuPassword_Click(); break;
    case kMenuExit: PostMessageW(hwnd(), WM_CLOSE, 0, 0); break;
    case kMenuInfo: controller_->mnuInfo_Click(); break;
    default: break;
    }
}

void MainWindow::DrawItem(const DRAWITEMSTRUCT& item) const {
    const int id = static_cast<int>(item.CtlID);
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    if (id >= kImage1 && id < kImage1 + 5) {
        const int network = id - kImage1;
        const COLORREF colour = blocked_[static_cast<std::size_t>(network)] ? kBlockedColour : kFreeColour;
        const int inset = ToPixels(45, Dpi());  // the outline's width
        RECT icon = item.rcItem;
        InflateRect(&icon, -inset, -inset);
        if (pressed) OffsetRect(&icon, 1, 1);
        DrawNetworkIcon(item.hDC, icon, network);
        DrawStatusOutline(item.hDC, item.rcItem, colour);
    } else if (id == kImage6) {
        DrawAddButton(item.hDC, item.rcItem, pressed);
    } else if (id == kImage7) {
        DrawRemoveButton(item.hDC, item.rcItem, pressed);
    }
    if (item.itemState & ODS_FOCUS) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -1, -1);
        DrawFocusRect(item.hDC, &focus);
    }
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kWatchTimer && controller_) controller_->Timer1_Timer();
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_DRAWITEM:
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (id >= kLabel1 && id < kLabel1 + 5)
            return LabelColours(wParam, blocked_[static_cast<std::size_t>(id - kLabel1)] ? kBlockedColour : kFreeColour);
        if (id == kLabel8) return LabelColours(wParam, kHeadingColour);
        return LabelColours(wParam);
    }
    case WM_SETCURSOR:
        if (IsImage(GetDlgCtrlID(reinterpret_cast<HWND>(wParam)))) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        // Every way of closing (menu, title bar, Alt+F4, another program) asks first.
        if (controller_) controller_->Form_Unload();
        return 0;
    case WM_QUERYENDSESSION:
        return controller_ && controller_->Form_Unload() ? TRUE : FALSE;
    default:
        break;
    }
    return Form::HandleMessage(message, wParam, lParam);
}

}  // namespace quellgate::win32
