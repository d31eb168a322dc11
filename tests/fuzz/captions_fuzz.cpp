// Arbitrary bytes as an X11 window's caption, of each type it may come in.
#include <cstdint>
#include <string_view>

#include "linux/x11/captions.h"
#include "property.h"
#include "text/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    quellgate::x11::Atoms atoms;
    atoms.utf8String = 100;
    atoms.compoundText = 101;
    for (const xcb_atom_t type :
         {xcb_atom_t{XCB_ATOM_STRING}, atoms.utf8String, atoms.compoundText, xcb_atom_t{7}})
        quellgate::fuzz::Require(quellgate::IsValidUtf8(quellgate::x11::CaptionText(bytes, type, atoms)),
                                 "every caption reads as valid UTF-8 without NUL");
    return 0;
}
