// Captions as X11 programs set them, in each type they come in, as UTF-8.
#include <gtest/gtest.h>

#include "linux/x11/captions.h"

namespace quellgate::x11 {
namespace {

TEST(Captions, EveryTypeReadsAsUtf8AndWhatCannotBeShownBecomesAReplacement) {
    Atoms atoms;
    atoms.utf8String = 300;
    atoms.compoundText = 301;
    const xcb_atom_t latin1 = XCB_ATOM_STRING, utf8 = atoms.utf8String, compound = atoms.compoundText;
    const std::string bad = "\xEF\xBF\xBD";
    struct Case {
        xcb_atom_t type;
        std::string bytes, caption;
    };
    for (const Case& c : {
             Case{latin1, "Caf\xE9 cr\xE8me", "Café crème"},
             Case{latin1, std::string("a\0b", 3), "ab"},
             Case{utf8, "Δίκτυο \xFF", "Δίκτυο " + bad},
             Case{xcb_atom_t{4711}, "ok \xC3\xA9", "ok é"},  // a type set wrongly: read as UTF-8
             Case{compound, "Caf\xE9 \x1B%G\xE6\x97\xA5\x1B%@ ok", "Café 日 ok"},
             Case{compound, "\x1B%G\xCE\x94 to the end", "Δ to the end"},
             Case{compound, "a\x1B%/1\x80\x03xyzb", "a" + bad + "b"},       // a segment that gives its length
             Case{compound, "a\x1B$(Bxy\x1B(B z", "a" + bad + bad + " z"},  // another set on the left
             Case{compound, "\xE9\x1B-B\xE9\x1B-A\xE9", "é" + bad + "é"},   // and on the right
             Case{compound,
                  "l\x9B"
                  "2]r\x9B]",
                  "lr"},  // direction changes carry no text
             Case{compound, "tab\there\nnew\x01\x7F", "tab\there\nnew"},
             Case{compound, "cut \x1B%", "cut "},
         })
        EXPECT_EQ(CaptionText(c.bytes, c.type, atoms), c.caption) << c.bytes;
}

}  // namespace
}  // namespace quellgate::x11
