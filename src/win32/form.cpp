#include "win32/form.h"

#include "win32/wide.h"

namespace quellgate::win32 {
namespace {

constexpr int kTwipsPerInch = 1440;

UniqueFont MakeFont(int tenthsOfPoint, bool bold, UINT dpi) {
    // The TrueType face of the classic dialog font, so text scales cleanly.
    return UniqueFont(CreateFontW(-MulDiv(tenthsOfPoint, static_cast<int>(dpi), 720), 0, 0, 0,
                                  bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, L"Microsoft Sans Serif"));
}

void Register(HINSTANCE instance, const wchar_t* className, HBRUSH background, HICON icon, WNDPROC proc) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.hIcon = icon;
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

int ToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), kTwipsPerInch); }

Form::~Form() {
    // Messages sent while the window goes away must not reach a half-destroyed object.
    if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
}

void Form::Show() const {
    ShowWindow(window_.get(), SW_SHOWNORMAL);
    BringToFront(window_.get());
}

void Form::Create(HINSTANCE instance, const Frame& frame, std::span<const ControlSpec> controls) {
    Register(instance, frame.className, frame.background, frame.icon, &Form::Proc);
    controls_.assign(controls.begin(), controls.end());
    clientWidth_ = frame.clientWidth;
    clientHeight_ = frame.clientHeight;
    centred_ = frame.centred;
    HWND window = CreateWindowExW(frame.exStyle, frame.className, Wide(frame.caption).c_str(), frame.style,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, frame.owner,
                                  frame.menu, instance, this);
    if (!window) {
        window_.release();  // creation failed; the system has already destroyed it
        return;
    }
    HINSTANCE module = instance;
    for (const auto& control : controls_)
        CreateWindowExW(0, control.className, Wide(control.text).c_str(),
                        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | control.style, 0, 0, 0, 0, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), module, nullptr);
    ApplyDpi(GetDpiForWindow(window), nullptr);
}

RECT Form::PixelRect(const Twips& place) const {
    const int left = ToPixels(place.left, dpi_), top = ToPixels(place.top, dpi_);
    return {left, top, left + ToPixels(place.width, dpi_), top + ToPixels(place.height, dpi_)};
}

LRESULT Form::PaintPicture(void (*draw)(HDC, const RECT&), const Twips& place) const {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_.get(), &paint);
    draw(dc, PixelRect(place));
    EndPaint(window_.get(), &paint);
    return 0;
}

LRESULT Form::LabelColours(WPARAM dc, COLORREF text) {
    SetTextColor(reinterpret_cast<HDC>(dc), text);
    SetBkColor(reinterpret_cast<HDC>(dc), GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
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
    fonts_[static_cast<std::size_t>(FontKind::Default)] = MakeFont(83, false, dpi_);
    fonts_[static_cast<std::size_t>(FontKind::Bold825)] = MakeFont(83, true, dpi_);
    fonts_[static_cast<std::size_t>(FontKind::Bold975)] = MakeFont(98, true, dpi_);
    fonts_[static_cast<std::size_t>(FontKind::Bold135)] = MakeFont(135, true, dpi_);

    HWND window = window_.get();
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    RECT frame{0, 0, ToPixels(clientWidth_, dpi_), ToPixels(clientHeight_, dpi_)};
    AdjustWindowRectExForDpi(&frame, style, GetMenu(window) != nullptr, exStyle, dpi_);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    if (suggested) {
        SetWindowPos(window, nullptr, suggested->left, suggested->top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (centred_) {
        const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
        SetWindowPos(window, nullptr, (screenWidth - width) / 2, (screenHeight - height) / 2, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (const auto& control : controls_) {
        const RECT place = PixelRect(control.place);
        HWND child = Control(control.id);
        SetWindowPos(child, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(Font(control.font)), TRUE);
    }
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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
    try {
        if (message == WM_DPICHANGED) {
            form->ApplyDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        }
        return form->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's code; the message is dropped.
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace quellgate::win32
