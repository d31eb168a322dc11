#pragma once

// How both front ends show what the layout tables and the controller give
// them: each decision here, drawn the same way by Windows and by Qt.

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "blocklist/networks.h"
#include "shell/window_layout.h"

namespace quellgate::layout {

// The classic dialog font's sizes, by role; the face is the desktop's sans serif.
struct FontSize {
    double points;
    bool bold;
};
constexpr FontSize SizeOf(Font font) {
    switch (font) {
    case Font::Text: return {8.25, false};
    case Font::Heading: return {8.25, true};
    case Font::Status: return {9.75, true};
    case Font::Title: return {13.5, true};
    }
    return {8.25, false};
}

// Each picture is the file src/pictures/<name>.png, built into the program
// under that name.
constexpr std::string_view NameOf(Picture picture) {
    switch (picture) {
    case Picture::Facebook: return "facebook";
    case Picture::Twitter: return "twitter";
    case Picture::LinkedIn: return "linkedin";
    case Picture::MySpace: return "myspace";
    case Picture::YouTube: return "youtube";
    case Picture::Add: return "add";
    case Picture::Remove: return "remove";
    case Picture::Splash: return "splash";
    case Picture::Info: return "info";
    case Picture::None: break;
    }
    return "";
}

// A rectangle in pixels.
struct Box {
    int left, top, width, height;
    bool operator==(const Box&) const = default;
};

// The largest box of the picture's proportions that fits in `box`, centred.
Box FitInside(int pictureWidth, int pictureHeight, Box box);

// The coloured outline round a network's picture, along the inside of the
// icon's place; the picture is fitted into what it leaves.
inline constexpr int kOutlineTwips = 45;
struct Outline {
    std::array<Box, 4> edges;  // top, bottom, left, right
    Box inside;
};
Outline OutlineOf(Box icon, int width);

// A network's icon and status label are the first ids plus the network's
// index; every network has both.
constexpr int IconOf(std::size_t network) { return kNetworkIcon + static_cast<int>(network); }
constexpr int StatusOf(std::size_t network) { return kNetworkStatus + static_cast<int>(network); }
constexpr std::optional<std::size_t> NetworkOf(int id) {
    for (std::size_t network = 0; network < kNetworkCount; ++network)
        if (id == IconOf(network) || id == StatusOf(network)) return network;
    return std::nullopt;
}
static_assert(std::count_if(detail::kMainControls.begin(), detail::kMainControls.end(),
                            [](const Control& control) { return NetworkOf(control.id).has_value(); }) ==
                  2 * static_cast<std::ptrdiff_t>(kNetworkCount),
              "an icon and a status label for every network");

// A text box takes at most this many characters: it holds a time, and a huge
// paste would only keep the window busy.
inline constexpr int kTextBoxCharacters = 16;

// The controls of the blocking-hours window that only "Only on" uses: they
// are enabled while it is chosen.
constexpr bool FollowsOnlyOn(int id) {
    return (id >= DayBoxOf(0) && id < DayBoxOf(kDaysInWeek)) || id == kHoursFromLabel || id == kHoursFrom ||
           id == kHoursToLabel || id == kHoursTo;
}

// A switch shows its state in its label's text and colour and its outline's colour.
struct SwitchLook {
    std::string_view text;
    Rgb colour;
};
constexpr SwitchLook LookOf(bool blocked) {
    return blocked ? SwitchLook{kBlockedText, kBlockedColour} : SwitchLook{kFreeText, kFreeColour};
}

// A row of the keyword list shows at most this many characters of an entry,
// then an ellipsis: no row is wide enough for more, and a huge one would slow
// the list down. The entry itself stays whole.
inline constexpr std::size_t kRowCharacters = 300;
std::string RowOf(std::string_view entry);

// The splash rolls up from the bottom by kSplashRollTwips every
// kSplashRollMs, and goes kSplashShownMs after it was first painted: until
// then it is not on screen, however long the window system takes to put it
// there.
inline constexpr int kSplashRollTwips = 300;
inline constexpr int kSplashRollMs = 100;
inline constexpr int kSplashShownMs = 2000;

}  // namespace quellgate::layout
