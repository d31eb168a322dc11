#pragma once

#include <xcb/xcb.h>

#include <string>
#include <string_view>

#include "linux/x11/xcb_handles.h"

namespace quellgate::x11 {

// A WM_NAME or _NET_WM_NAME value as valid UTF-8, read by the property's type:
// UTF8_STRING, STRING (Latin-1) or COMPOUND_TEXT. Unknown types are read as
// UTF-8, which is what programs that get the type wrong nearly always mean.
std::string CaptionText(std::string_view bytes, xcb_atom_t type, const Atoms& atoms);

std::string Latin1ToUtf8(std::string_view text);

// Compound text: Latin-1 with ISO 2022 switches, and UTF-8 segments (ESC % G).
// Characters of other character sets become U+FFFD.
std::string CompoundTextToUtf8(std::string_view text);

}  // namespace quellgate::x11
