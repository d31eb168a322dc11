#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "win32/handles.h"

namespace quellgate::win32 {

// A place in twips (1/1440 inch), as the windows are designed; converted to
// pixels for the monitor's DPI whenever it changes.
struct Twips {
    int left, top, width, height;
};

int ToPixels(int twips, UINT dpi);

// Gives the window the keyboard focus even though the user is working in
// another program: the windows of a background program must not open behind it.
void BringToFront(HWND window);

enum class FontKind { Default, Bold825, Bold975, Bold135, Count };

struct ControlSpec {
    int id;
    const wchar_t* className;
    std::string_view text;
    DWORD style;
    Twips place;
    FontKind font = FontKind::Default;
};

// A top-level window built from a table of standard controls. Holds `this`
// in the window's user data and forwards its messages to HandleMessage.
class Form {
public:
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    HWND hwnd() const { return window_.get(); }
    HWND Control(int id) const { return GetDlgItem(window_.get(), id); }
    void Show() const;
    // Shows it without taking the keyboard focus from the program in use.
    void ShowInactive() const { ShowWindow(window_.get(), SW_SHOWNOACTIVATE); }
    void Hide() const { ShowWindow(window_.get(), SW_HIDE); }

protected:
    struct Frame {
        const wchar_t* className;
        std::string_view caption;
        DWORD style, exStyle;
        HWND owner;
        HMENU menu;
        int clientWidth, clientHeight;  // twips
        bool centred;
        HBRUSH background;
        HICON icon = nullptr;
    };

    Form() = default;
    void Create(HINSTANCE instance, const Frame& frame, std::span<const ControlSpec> controls);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    UINT Dpi() const { return dpi_; }
    HFONT Font(FontKind kind) const { return fonts_[static_cast<std::size_t>(kind)].get(); }
    RECT PixelRect(const Twips& place) const;

    // WM_PAINT: the window's one picture, drawn into its place.
    LRESULT PaintPicture(void (*draw)(HDC, const RECT&), const Twips& place) const;
    // WM_CTLCOLORSTATIC: a label in `text` on the window's face colour.
    static LRESULT LabelColours(WPARAM dc, COLORREF text = GetSysColor(COLOR_BTNTEXT));
    void SetClientHeightPixels(int height) const;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void ApplyDpi(UINT dpi, const RECT* suggested);

    UniqueWindow window_;
    std::vector<ControlSpec> controls_;
    std::array<UniqueFont, static_cast<std::size_t>(FontKind::Count)> fonts_;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    int clientWidth_ = 0, clientHeight_ = 0;
    bool centred_ = false;
};

}  // namespace quellgate::win32
