// Hand-drawn GDI pictures for the program's windows: network icons, the
// add/remove buttons, the splash emblem and the Info window decoration.
#pragma once

#include "shell/window_layout.h"
#include "win32/windows_api.h"

namespace quellgate::win32 {

// Every function paints inside `area` of `dc` only, scales with the area's size (the caller gives pixel rectangles already scaled for the monitor's DPI), and leaves the DC's selected objects as it found them.
void DrawNetworkIcon(HDC dc, const RECT& area, int network);   // network 0..4: facebook, twitter, linkedin, myspace, youtube, in that order; anything else gets a neutral grey tile
void DrawAddButton(HDC dc, const RECT& area, bool pressed);     // green plus in a circle; pressed = shifted and darker
void DrawRemoveButton(HDC dc, const RECT& area, bool pressed);  // red minus in a circle; pressed = shifted and darker
void DrawSplashPicture(HDC dc, const RECT& area);               // shield-and-padlock emblem made to sit on the RGB(0,0,255) splash window
void DrawInfoDecoration(HDC dc, const RECT& area);              // the same emblem with a ring of network dots, for the Info window
void DrawStatusOutline(HDC dc, const RECT& area, COLORREF colour); // 3-px (at 96 DPI) outline of `colour` along the inside of area

// One of the program's pictures, scaled to fit the area and centred.
void DrawPicture(HDC dc, const RECT& area, layout::Picture picture);

}  // namespace quellgate::win32
