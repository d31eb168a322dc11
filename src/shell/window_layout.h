#pragma once

// The program's windows as designed: every control with its text, place,
// font and colour. Both front ends build their windows from these tables,
// and their tests find controls by these ids.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "blocklist/blocking_hours.h"

namespace quellgate::layout {

// Places are in twips, 1/1440 inch: 15 twips make a pixel at 96 dots per inch.
inline constexpr int kTwipsPerInch = 1440;
struct Twips {
    int left, top, width, height;
};

struct Rgb {
    std::uint8_t red, green, blue;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kFreeColour{0, 255, 0};
inline constexpr Rgb kBlockedColour{255, 0, 0};
inline constexpr Rgb kHeadingColour{0, 192, 0};
inline constexpr Rgb kSplashBlue{0, 0, 255};
inline constexpr Rgb kSplashTitleColour{255, 0, 0};
inline constexpr Rgb kSplashHintColour{255, 255, 255};
inline constexpr Rgb kInfoTitleColour{0, 0, 255};
inline constexpr Rgb kPasswordHintColour{255, 0, 0};

// Fonts by their role; view_rules.h gives their sizes.
enum class Font {
    Text,     // every text given no other
    Heading,  // frame captions, the add heading, the splash's hint
    Status,   // a network's FREE or BLOCKED, the info window's title
    Title,    // the splash's title
};

enum class Kind {
    Label,  // left-aligned text
    CentredLabel,
    Paragraph,  // several lines of left-aligned text
    GroupBox,   // a frame with a caption; its controls are placed on the window
    List,       // single selection; its text is its tooltip
    CheckBox,
    RadioButton,    // the window's radio buttons exclude each other
    PictureButton,  // a picture that clicks; its text is its tooltip and accessible name
    Button,
    DefaultButton,  // answers Enter
    PasswordBox,    // shows "*" for each character
    TextBox,        // one line of text
    Rule,           // a thin etched line
    Image,          // a picture that does nothing
};

enum class Picture { None, Facebook, Twitter, LinkedIn, MySpace, YouTube, Add, Remove, Splash, Info };

struct Control {
    int id;
    Kind kind;
    std::string_view text;
    Twips place;
    Font font = Font::Text;
    Picture picture = Picture::None;
    std::optional<Rgb> colour = std::nullopt;  // of the text, where it is not the system's
};

struct Window {
    std::string_view title;
    int clientWidth, clientHeight;  // twips
    std::span<const Control> controls;
};

// Control ids. A network's icon and status label are the first id plus the
// network's index.
enum Id : int {
    kNetworkIcon = 1001,
    kNetworkStatus = 1011,
    kKeywordList = 1020,
    kNetworksFrame,
    kKeywordsFrame,
    kOptionsFrame,
    kAddHeading,
    kAddButton,
    kRemoveButton,
    kStartAtLogonBox,
    kKeysHint,
    kHoursInForce,

    kMenuHide = 2001,
    kMenuChangePassword,
    kMenuBlockingHours,
    kMenuExit,
    kMenuInfo,

    kSplashTitle = 3001,
    kSplashHint,
    kSplashPicture,

    kInfoOk = 3101,
    kInfoTitle,
    kInfoPicture,
    kInfoText,
    kInfoRuleAbove,
    kInfoRuleBelow,

    kOldPassword = 3201,
    kNewPassword,
    kRetypedPassword,
    kPasswordOk,
    kPasswordCancel,
    kOldPasswordLabel,
    kNewPasswordLabel,
    kRetypedPasswordLabel,
    kPasswordHint,

    kHoursAlways = 3301,
    kHoursOnlyOn,
    kHoursFrom,
    kHoursTo,
    kHoursOk,
    kHoursCancel,
    kHoursFromLabel,
    kHoursToLabel,
    kHoursHint,
    kHoursDay = 3311,  // Monday's box; a day's box is this plus the day's index
};

// A day's box in the blocking-hours window.
constexpr int DayBoxOf(std::size_t day) { return kHoursDay + static_cast<int>(day); }

struct MenuEntry {
    int id;  // 0 for a separator
    std::string_view text;
};
inline constexpr std::string_view kProgramMenuTitle = "Program";
inline constexpr std::array<MenuEntry, 6> kProgramMenu = {{
    {kMenuHide, "Hide (F4)"},
    {0, "-"},
    {kMenuChangePassword, "Change Password"},
    {kMenuBlockingHours, "Blocking Hours"},
    {0, "-"},
    {kMenuExit, "Exit and Terminate"},
}};
inline constexpr MenuEntry kInfoMenu{kMenuInfo, "Info"};

// A network's status label; until the switches are shown, every row says FREE.
inline constexpr std::string_view kFreeText = "FREE";
inline constexpr std::string_view kBlockedText = "BLOCKED";

// The start-at-logon box's caption outside Windows.
inline constexpr std::string_view kStartAtLoginText = "Start at login";
// The splash's hint where F5 cannot be watched and a command takes its place.
inline constexpr std::string_view kShowCommandHint = "RUN quellgate --show TO UNHIDE MAIN WINDOW";

namespace detail {

// Frames are containers in the design; their controls are placed on the
// window at the frame's offset.
constexpr Twips In(Twips frame, Twips child) {
    return {frame.left + child.left, frame.top + child.top, child.width, child.height};
}
inline constexpr Twips kNetworksFramePlace{240, 120, 3500, 5500};
inline constexpr Twips kKeywordsFramePlace{3840, 120, 3500, 5500};
inline constexpr Twips kOptionsFramePlace{7440, 240, 2175, 1815};

constexpr Control Icon(int network, Twips place, Picture picture, std::string_view name) {
    return {kNetworkIcon + network,         Kind::PictureButton, name,
            In(kNetworksFramePlace, place), Font::Text,          picture};
}
constexpr Control Status(int network, int top) {
    return {kNetworkStatus + network, Kind::Label, kFreeText, In(kNetworksFramePlace, {1320, top, 1335, 375}),
            Font::Status};
}

// Earlier controls lie above later ones, so the frames come last and stay behind.
inline constexpr std::array kMainControls = {
    Icon(0, {360, 480, 870, 870}, Picture::Facebook, "facebook"),
    Status(0, 480),
    Icon(1, {360, 1440, 870, 870}, Picture::Twitter, "twitter"),
    Status(1, 1440),
    Icon(2, {240, 2400, 1095, 840}, Picture::LinkedIn, "linkedin"),
    Status(2, 2400),
    Icon(3, {360, 3360, 870, 855}, Picture::MySpace, "myspace"),
    Status(3, 3360),
    Icon(4, {360, 4320, 855, 855}, Picture::YouTube, "youtube"),
    Status(4, 4320),
    Control{kKeywordList, Kind::List, "Blocked Keywords", {3960, 480, 3255, 4155}},
    Control{kAddHeading, Kind::CentredLabel, "ADD SITE OR KEYWORD",
            In(kKeywordsFramePlace, {600, 4560, 2415, 375}), Font::Heading, Picture::None, kHeadingColour},
    Control{kAddButton, Kind::PictureButton, "ADD site / keyword",
            In(kKeywordsFramePlace, {240, 4920, 360, 360}), Font::Text, Picture::Add},
    Control{kRemoveButton, Kind::PictureButton, "REMOVE selected from list",
            In(kKeywordsFramePlace, {3000, 4920, 360, 360}), Font::Text, Picture::Remove},
    Control{kStartAtLogonBox, Kind::CheckBox, "Run with Windows",
            In(kOptionsFramePlace, {120, 360, 1935, 255})},
    Control{kKeysHint, Kind::CentredLabel, "F4 / F5 keys Hide / Show THIS WINDOW",
            In(kOptionsFramePlace, {120, 1080, 1935, 615})},
    Control{kNetworksFrame, Kind::GroupBox, "Social networks", kNetworksFramePlace, Font::Heading},
    Control{kKeywordsFrame, Kind::GroupBox, "BLOCKED sites / keywords", kKeywordsFramePlace, Font::Heading},
    Control{kOptionsFrame, Kind::GroupBox, "Program Options", kOptionsFramePlace, Font::Heading},
    Control{kHoursInForce, Kind::Paragraph, "", {7440, 2160, 2175, 1200}},
};

inline constexpr std::array kSplashControls = {
    Control{kSplashTitle,
            Kind::CentredLabel,
            "QUELLGATE",
            {0, 120, 4575, 375},
            Font::Title,
            Picture::None,
            kSplashTitleColour},
    Control{kSplashHint,
            Kind::CentredLabel,
            "PRESS F5 KEY TO UNHIDE MAIN WINDOW",
            {0, 600, 4575, 375},
            Font::Heading,
            Picture::None,
            kSplashHintColour},
    Control{kSplashPicture, Kind::Image, "", {0, 1080, 4695, 5415}, Font::Text, Picture::Splash},
};

inline constexpr std::array kInfoControls = {
    Control{kInfoOk, Kind::DefaultButton, "OK", {1793, 8280, 975, 423}},
    Control{kInfoTitle,
            Kind::CentredLabel,
            "QUELLGATE V 1.0",
            {120, 120, 4215, 375},
            Font::Status,
            Picture::None,
            kInfoTitleColour},
    Control{kInfoPicture, Kind::Image, "", {120, 600, 4320, 3000}, Font::Text, Picture::Info},
    Control{kInfoRuleAbove, Kind::Rule, "", {120, 3720, 4320, 30}},
    Control{
        kInfoText,
        Kind::Paragraph,
        "Quellgate keeps you away from social networks and from any site or subject you name.\n\n"
        "It runs hidden. Several times a second it reads the titles of the open windows; when one holds a "
        "blocked network or keyword, it sends Alt+Home, and the browser leaves the page for its home "
        "page.\n\n"
        "Click a network's picture to switch it between FREE and BLOCKED. Use the buttons under the list to "
        "add a site or keyword and to remove the selected one.\n\n"
        "F4 hides the main window.\nF5 shows it after the master password.\nF8 sends Alt+Home at once.",
        {240, 3870, 4080, 4050}},
    Control{kInfoRuleBelow, Kind::Rule, "", {120, 8070, 4320, 30}},
};

// In tab order.
inline constexpr std::array kChangePasswordControls = {
    Control{kOldPassword, Kind::PasswordBox, "", {1320, 480, 2325, 345}},
    Control{kNewPassword, Kind::PasswordBox, "", {1320, 1200, 2325, 345}},
    Control{kRetypedPassword, Kind::PasswordBox, "", {1320, 1920, 2325, 345}},
    Control{kPasswordOk, Kind::DefaultButton, "OK", {1320, 2520, 1065, 423}},
    Control{kOldPasswordLabel, Kind::Label, "Old password:", {120, 480, 1080, 270}},
    Control{kNewPasswordLabel, Kind::CentredLabel, "New password:", {120, 1200, 1080, 615}},
    Control{kRetypedPasswordLabel, Kind::CentredLabel, "Re-type New password:", {120, 1920, 1080, 615}},
    Control{kPasswordHint,
            Kind::CentredLabel,
            "At least 8 characters",
            {1320, 1560, 2400, 375},
            Font::Text,
            Picture::None,
            kPasswordHintColour},
    Control{kPasswordCancel, Kind::Button, "Cancel", {2640, 2520, 1065, 423}},
};

constexpr Control DayBox(std::size_t day) {
    return {DayBoxOf(day),
            Kind::CheckBox,
            kDayNames.at(day),
            {600, 900 + 300 * static_cast<int>(day), 1080, 270}};
}

// In tab order.
inline constexpr std::array kBlockingHoursControls = {
    Control{kHoursAlways, Kind::RadioButton, "Always", {240, 180, 1800, 285}},
    Control{kHoursOnlyOn, Kind::RadioButton, "Only on", {240, 540, 1800, 285}},
    DayBox(0),
    DayBox(1),
    DayBox(2),
    DayBox(3),
    DayBox(4),
    DayBox(5),
    DayBox(6),
    // Each label just before its box, which screen readers name after it.
    Control{kHoursFromLabel, Kind::Label, "From:", {2040, 930, 660, 270}},
    Control{kHoursFrom, Kind::TextBox, "", {2760, 885, 900, 330}},
    Control{kHoursToLabel, Kind::Label, "To:", {2040, 1410, 660, 270}},
    Control{kHoursTo, Kind::TextBox, "", {2760, 1365, 900, 330}},
    Control{kHoursOk, Kind::DefaultButton, "OK", {1920, 3120, 1065, 423}},
    Control{kHoursCancel, Kind::Button, "Cancel", {3180, 3120, 1065, 423}},
    Control{kHoursHint,
            Kind::Paragraph,
            "As HH:MM on the 24-hour clock. An end before the start runs past midnight.",
            {2040, 1860, 2220, 1080}},
};

}  // namespace detail

inline constexpr Window kMainWindow{"QUELLGATE V. 1.0.", 9705, 5925, detail::kMainControls};
inline constexpr Window kSplashWindow{"Quellgate", 4695, 6480, detail::kSplashControls};
inline constexpr Window kInfoWindow{"Info", 4560, 8835, detail::kInfoControls};
inline constexpr Window kChangePasswordWindow{"Change password", 4095, 3240, detail::kChangePasswordControls};
inline constexpr Window kBlockingHoursWindow{"Blocking Hours", 4440, 3720, detail::kBlockingHoursControls};

}  // namespace quellgate::layout
