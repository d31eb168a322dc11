#pragma once

#include <string>
#include <string_view>

#include "platform/outcome.h"

namespace quellgate::kwin {

// KWin offers its fake input only to a program that the Exec= of a desktop
// entry names, an entry that asks for it with X-KDE-Wayland-Interfaces.
// The package's entry names /usr/bin/quellgate; a program anywhere else
// gets an entry of its own, for its own path, in the user's applications
// folder, hidden from menus. No other file is touched.
struct FakeInputGrant {
    Outcome outcome = Outcome::Success();
    // The entry was written just now: KWin reads it only once it looks at
    // its entries again, which may take it a second or two.
    bool written = false;
};
FakeInputGrant GrantFakeInput(std::string_view executablePath);

// Where a program other than the package's has its entry.
std::string FakeInputEntryPath();

}  // namespace quellgate::kwin
