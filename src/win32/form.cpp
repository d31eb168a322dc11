#include "win32/form.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>

#include "win32/diagnostics.h"
#include "win32/resource_ids.h"
#include "win32/wide.h"

#include <commctrl.h>

namespace quellgate::win32 {
namespace {

UniqueFont MakeFont(layout::FontSize size, UINT dpi) {
    // The TrueType face of the classic dialog font, so text scales cleanly.
    return UniqueFont(CreateFontW(-static_cast<int>(std::lround(size.points * dpi / 72)), 0, 0, 0,
                                  size.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, L"Microsoft Sans Serif"));
}

struct ControlClass {
    const wchar_t* name;
    DWORD style;
};

ControlClass ClassOf(layout::Kind kind) {
    using layout::Kind;
    switch (kind) {
    case Kind::Label: return {WC_STATICW, SS_LEFT | SS_NOPREFIX};
    case Kind::CentredLabel: return {WC_STATICW, SS_CENTER | SS_NOPREFIX};
    case Kind::Paragraph: return {WC_STATICW, SS_LEFT | SS_NOPREFIX};
    case Kind::GroupBox: return {WC_BUTTONW, BS_GROUPBOX};
    case Kind::List:
        return {WC_LISTBOXW, WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT};
    case Kind::CheckBox: return {WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP};
    case Kind::RadioButton: return {WC_BUTTONW, BS_AUTORADIOBUTTON | WS_TABSTOP};
    case Kind::PictureButton: return {WC_BUTTONW, BS_OWNERDRAW | WS_TABSTOP};
    case Kind::Button: return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP};
    case Kind::DefaultButton: return {WC_BUTTONW, BS_DEFPUSHBUTTON | WS_TABSTOP};
    case Kind::PasswordBox: return {WC_EDITW, WS_BORDER | WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL};
    case Kind::TextBox: return {WC_EDITW, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL};
    case Kind::Rule: return {WC_STATICW, SS_ETCHEDHORZ};
    case Kind::Image: return {WC_STATICW, SS_OWNERDRAW};
    }
    return {WC_STATICW, 0};
}

// Static controls break lines at CR LF.
std::wstring ControlText(std::string_view text) {
    std::wstring wide;
    for (const wchar_t c : Wide(text)) {
        if (c == L'\n') wide += L'\r';
        wide += c;
    }
    return wide;
}

void Register(HINSTANCE instance, const wchar_t* className, WNDPROC proc) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    RegisterClassExW(&windowClass);  // a second window of the class finds it registered
}

}  // namespace

void BringToFront(HWND window) {
    SetForegroundWindow(window);
    if (GetForegroundWindow() == window) return;
    // Windows lets only the foreground program change the foreground; sharing
    // its input state for a moment lends us that right.
    const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const DWORD ownThread = GetCurrentThreadId();
    if (foregroundThread == 0 || foregroundThread == ownThread) return;
    AttachThreadInput(ownThread, foregroundThread, TRUE);
    SetForegroundWindow(window);
    SetFocus(window);
    AttachThreadInput(ownThread, foregroundThread, FALSE);
}

int ToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), layout::kTwipsPerInch); }

Form::~Form() {
    // Messages sent while the window goes away must not reach a half-destroyed object.
    if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
}

void Form::Show() const {
    ShowWindow(window_.get(), SW_SHOWNORMAL);
    BringToFront(window_.get());
}

void Form::ShowProgramIcon(HINSTANCE instance) const {
    SendMessageW(window_.get(), WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconW(instance, MAKEINTRESOURCEW(IDI_QUELLGATE))));
}

void Form::Create(HINSTANCE instance, const Frame& frame, const layout::Window& design) {
    Register(instance, frame.className, &Form::Proc);
    design_ = &design;
    centred_ = frame.centred;
    backgroundColour_ = frame.faceColour ? GetSysColor(COLOR_BTNFACE) : ToColorRef(frame.background);
    background_.reset(CreateSolidBrush(backgroundColour_));
    HWND window = CreateWindowExW(frame.exStyle, frame.className, Wide(design.title).c_str(), frame.style,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, frame.owner,
                                  frame.menu, instance, this);
    if (!window) return;
    for (const auto& control : design.controls) {
        if (control.picture != layout::Picture::None)
            pictures_.try_emplace(control.picture, instance, layout::NameOf(control.picture));
        const ControlClass kind = ClassOf(control.kind);
        HWND child =
            CreateWindowExW(0, kind.name, ControlText(control.text).c_str(),
                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style, 0, 0, 0, 0, window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
        if (control.kind == layout::Kind::TextBox)
            SendMessageW(child, EM_SETLIMITTEXT, layout::kTextBoxCharacters, 0);
    }
    AddTooltips(instance);
    ApplyDpi(GetDpiForWindow(window), nullptr);
}

void Form::AddTooltips(HINSTANCE instance) {
    for (const auto& control : design_->controls) {
        if (control.kind != layout::Kind::List && control.kind != layout::Kind::PictureButton) continue;
        if (!tooltips_)
            tooltips_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                            hwnd(), nullptr, instance, nullptr));
        std::wstring text = Wide(control.text);
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(Control(control.id));
        tool.lpszText = text.data();  // copied by the tooltip control
        SendMessageW(tooltips_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

const layout::Control* Form::Find(int id) const {
    if (!design_) return nullptr;
    const auto it = std::find_if(design_->controls.begin(), design_->controls.end(),
                                 [id](const layout::Control& control) { return control.id == id; });
    return it == design_->controls.end() ? nullptr : &*it;
}

RECT Form::PixelRect(const layout::Twips& place) const {
    const int left = ToPixels(place.left, dpi_), top = ToPixels(place.top, dpi_);
    return {left, top, left + ToPixels(place.width, dpi_), top + ToPixels(place.height, dpi_)};
}

void Form::SetClientHeightPixels(int height) const {
    RECT window{};
    RECT client{};
    GetWindowRect(window_.get(), &window);
    GetClientRect(window_.get(), &client);
    const int frameHeight = (window.bottom - window.top) - client.bottom;
    SetWindowPos(window_.get(), nullptr, 0, 0, window.right - window.left, frameHeight + std::max(height, 0),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::ApplyDpi(UINT dpi, const RECT* suggested) {
    dpi_ = dpi ? dpi : USER_DEFAULT_SCREEN_DPI;
    for (std::size_t i = 0; i < fonts_.size(); ++i)
        fonts_[i] = MakeFont(layout::SizeOf(layout::Font(i)), dpi_);

    HWND window = window_.get();
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    RECT frame{0, 0, ToPixels(design_->clientWidth, dpi_), ToPixels(design_->clientHeight, dpi_)};
    AdjustWindowRectExForDpi(&frame, style, GetMenu(window) != nullptr, exStyle, dpi_);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    if (suggested) {
        SetWindowPos(window, nullptr, suggested->left, suggested->top, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (centred_) {
        const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
        SetWindowPos(window, nullptr, (screenWidth - width) / 2, (screenHeight - height) / 2, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (const auto& control : design_->controls) {
        const RECT place = PixelRect(control.place);
        HWND child = Control(control.id);
        SetWindowPos(child, nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(child, WM_SETFONT,
                     reinterpret_cast<WPARAM>(fonts_[static_cast<std::size_t>(control.font)].get()), TRUE);
    }
}

void Form::DrawControl(const layout::Control& control, const DRAWITEMSTRUCT& item) const {
    FillRect(item.hDC, &item.rcItem, background_.get());
    if (const auto picture = pictures_.find(control.picture); picture != pictures_.end())
        picture->second.Draw(item.hDC, item.rcItem, (item.itemState & ODS_SELECTED) ? 1 : 0);  // pressed
    if (item.itemState & ODS_FOCUS) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -1, -1);
        DrawFocusRect(item.hDC, &focus);
    }
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(window_.get(), &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, background_.get());
        return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
        auto dc = reinterpret_cast<HDC>(wParam);
        const layout::Control* control = Find(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
        const auto colour = control ? TextColour(*control) : std::nullopt;
        SetTextColor(dc, colour ? ToColorRef(*colour) : GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, backgroundColour_);
        return reinterpret_cast<LRESULT>(background_.get());
    }
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (const layout::Control* control = Find(static_cast<int>(item.CtlID))) DrawControl(*control, item);
        return TRUE;
    }
    case WM_SETCURSOR: {
        const layout::Control* control = Find(GetDlgCtrlID(reinterpret_cast<HWND>(wParam)));
        if (control && control->kind == layout::Kind::PictureButton) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    default: break;
    }
    return DefWindowProcW(window_.get(), message, wParam, lParam);
}

LRESULT CALLBACK Form::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        form->window_.reset(window);
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // Destroyed by the system (or a failed creation): the handle is gone,
        // and must not be destroyed a second time.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->tooltips_.release();
        form->window_.release();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        if (message == WM_DPICHANGED) {
            form->ApplyDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        }
        return form->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& failure) {
        // Nothing may unwind through the system's code; the message is dropped.
        NoteFault(std::string("a window message failed: ") + failure.what());
    } catch (...) {
        NoteFault("a window message failed");
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace quellgate::win32
