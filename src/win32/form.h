#pragma once

#include <array>
#include <map>
#include <optional>

#include "shell/view_rules.h"
#include "win32/handles.h"
#include "win32/pictures.h"

namespace quellgate::win32 {

int ToPixels(int twips, UINT dpi);
inline COLORREF ToColorRef(layout::Rgb colour) { return RGB(colour.red, colour.green, colour.blue); }

// Gives the window the keyboard focus even though the user is working in
// another program: the windows of a background program must not open behind it.
void BringToFront(HWND window);

// A top-level window built from its layout with standard controls. Holds
// `this` in the window's user data and forwards its messages to HandleMessage.
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
        DWORD style, exStyle;
        HWND owner;
        bool centred;
        HMENU menu = nullptr;                   // owned by the window from then on
        layout::Rgb background{240, 240, 240};  // used only when faceColour is false
        bool faceColour = true;                 // the system's colour for dialogs
    };

    Form() = default;
    void Create(HINSTANCE instance, const Frame& frame, const layout::Window& design);
    // The program's icon in the caption of a window of its own.
    void ShowProgramIcon(HINSTANCE instance) const;

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // A label's text colour, where it is not the system's.
    virtual std::optional<layout::Rgb> TextColour(const layout::Control& control) const {
        return control.colour;
    }
    // Pictures and picture buttons.
    virtual void DrawControl(const layout::Control& control, const DRAWITEMSTRUCT& item) const;

    UINT Dpi() const { return dpi_; }
    RECT PixelRect(const layout::Twips& place) const;
    void SetClientHeightPixels(int height) const;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void ApplyDpi(UINT dpi, const RECT* suggested);
    const layout::Control* Find(int id) const;
    void AddTooltips(HINSTANCE instance);

    UniqueWindow window_;
    UniqueWindow tooltips_;
    const layout::Window* design_ = nullptr;
    std::map<layout::Picture, Picture> pictures_;  // each kept scaled for its place
    std::array<UniqueFont, 4> fonts_;              // by layout::Font
    UniqueBrush background_;
    COLORREF backgroundColour_ = 0;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    bool centred_ = false;
};

}  // namespace quellgate::win32
