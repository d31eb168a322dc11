// The core's parts that need no controller: the scan and its matcher, the
// cipher, UTF-8, the shadowed stores, the command line and the windows' layout.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "blocklist/active_keywords.h"
#include "blocklist/blocklist_file.h"
#include "fakes/fakes.h"
#include "platform/shadowed_stores.h"
#include "protect/rotor_cipher.h"
#include "scan/keyword_matcher.h"
#include "scan/window_scan.h"
#include "shell/command_line.h"
#include "shell/window_layout.h"
#include "text/utf8.h"

using namespace quellgate;

// Which windows the scan pushes off, counted in Alt+Home keystrokes.
struct Screen {
    explicit Screen(std::initializer_list<const char*> keywordList) {
        for (const char* keyword : keywordList) keywords.Add(keyword);
    }
    int AltHomesPerScan() {
        const int before = desktop.altHomes;
        scanner.Scan();
        return desktop.altHomes - before;
    }

    fakes::FakeDesktop desktop;
    fakes::AsciiTextCase textCase;
    ActiveKeywords keywords{textCase};
    WindowScanner scanner{desktop, textCase, keywords};
};

TEST(Scan, OneKeystrokePerVisibleWindowWhoseLowerCasedCaptionHoldsAKeyword) {
    struct Case {
        std::initializer_list<const char*> keywords;
        std::initializer_list<const char*> captions;
        int altHomes;
    };
    for (const Case& c :
         {Case{{}, {"youtube"}, 0}, Case{{"youtube"}, {"My YouTube Page - Browser", "Home page"}, 1},
          Case{{"face book"}, {"facebook", "Face-book", "The FACE BOOK club"}, 1},
          Case{{"twitter", "youtube"}, {"twitter and youtube", "Another youtube video", "Notepad"}, 2}}) {
        Screen screen(c.keywords);
        for (const char* caption : c.captions) screen.desktop.AddWindow(caption);
        EXPECT_EQ(screen.AltHomesPerScan(), c.altHomes) << *c.captions.begin();
        EXPECT_EQ(screen.AltHomesPerScan(), c.altHomes) << "again at every scan";
    }
}

TEST(Scan, SeesOnlyVisibleCaptionedWindowsAndTheFirst255Characters) {
    Screen screen({"youtube"});
    screen.desktop.AddWindow("");
    screen.desktop.AddWindow("Hidden youtube window", false);
    // 254 letters, a two-byte character, then the keyword: past the 255th character.
    screen.desktop.AddWindow(std::string(254, 'x') + "\xC3\xA9youtube");
    EXPECT_EQ(screen.AltHomesPerScan(), 0);
    std::string accented;  // 248 characters of two bytes each, then the keyword: the 255th character
    while (accented.size() < 2 * 248) accented += "\xC3\xA9";
    screen.desktop.windows.back().caption = accented + "youtube";
    EXPECT_EQ(screen.AltHomesPerScan(), 1);
    screen.keywords.Add("hidden");
    EXPECT_EQ(screen.AltHomesPerScan(), 1) << "follows the list; hidden windows stay unseen";
    screen.keywords.Remove("youtube");
    EXPECT_EQ(screen.AltHomesPerScan(), 0);
}

TEST(Scan, ARefusedKeystrokeEndsThatScanOnly) {
    Screen screen({"blocked"});
    for (int i = 0; i < 4; ++i) screen.desktop.AddWindow("blocked page " + std::to_string(i));
    screen.desktop.refuseNext = 1;
    EXPECT_EQ(screen.AltHomesPerScan(), 0);
    EXPECT_EQ(screen.AltHomesPerScan(), 4);
}

// The matcher against the obvious search, on texts made to overlap a lot,
// with a byte above 0x7f so that a signed order shows.
TEST(KeywordMatcher, AgreesWithANaiveSearch) {
    std::mt19937 rng(7);
    const auto word = [&](unsigned maxLength) {
        std::string s(rng() % (maxLength + 1), 'a');
        for (auto& c : s) c = "ab\xc3"[rng() % 3];
        return s;
    };
    for (int round = 0; round < 1000; ++round) {
        std::vector<std::string> keywords(rng() % 12);
        for (auto& k : keywords) k = word(5);
        const KeywordMatcher matcher({keywords.begin(), keywords.end()});
        for (int t = 0; t < 20; ++t) {
            const std::string text = word(30);
            bool expected = false;
            for (const auto& k : keywords) expected = expected || text.find(k) != std::string::npos;
            ASSERT_EQ(matcher.Matches(text), expected) << "text " << text;
        }
    }
}

// The cipher that keeps the blocklist and the password, and UTF-8 handling.
static std::string Printable() {
    std::string all;
    for (char c = ' '; c <= '~'; ++c)
        if (c != '"') all += c;
    return all;
}

// Files and passwords stored by earlier runs must stay readable: every
// character at every place of two turns of the rotors, as the rotor walk
// (bench/rotor_walk.h) gave it when the closed form was checked against it.
TEST(RotorCipher, GivesTheSameCipherTextAcrossTheRotorBoundaries) {
    std::string text;
    for (std::size_t i = 0; i < 190; ++i) text += Printable()[(i * 7) % 94];
    const std::string turn =
        R"(K9y^dQz*F^m#$h\w^Izg|/y>09;}!^M$7(~t_u@xT?a^}cpobhF6&aB<svVzG%i%zpjZaG\13D'M5TXo_PV)znRiRjk,H')";
    EXPECT_EQ(Encipher(text), "'" + turn + turn + "K");
    EXPECT_EQ(Decipher("'" + turn + turn + "K"), text);
}

TEST(Utf8, RepairsEveryKindOfBrokenSequenceAndDropsNul) {
    struct Case {
        std::string in, out;
    };
    const std::string bad = "\xEF\xBF\xBD";
    for (const Case& c :
         {Case{"ok \xC5\xBE \xF0\x9F\x98\x80", "ok \xC5\xBE \xF0\x9F\x98\x80"},
          Case{std::string("a\0b", 3), "ab"}, Case{"\xFFz", bad + "z"}, Case{"\xC5", bad},  // cut short
          Case{"\xE0\x80\xAF", bad + bad + bad},                                            // overlong
          Case{"\xF4\x90\x80\x80", bad + bad + bad + bad},                                  // above U+10FFFF
          Case{"\xED\xA0\x80", bad + bad + bad}}) {  // an encoded surrogate
        EXPECT_EQ(SanitizeUtf8(c.in), c.out);
    }
    EXPECT_EQ(DecodeBlocklist(Encipher("caf\xE9")), std::vector<std::string>{"caf" + bad})
        << "a keyword in the file";
}

// Stores kept for every user, shadowed by the account's own copies.
TEST(ShadowedSettings, ReadTheAccountsCopyFirstAndWriteWhereTheValueWillBeRead) {
    struct Case {
        const char* what;
        std::optional<std::string> shared, own;  // the value "A" in each
        bool sharedRefuses, ownRefuses, ownOfOtherType;
        std::optional<std::string> read;
        std::string_view writtenTo;  // "" when the write fails
    };
    for (const Case& c : {
             Case{"the shared value only", "True", {}, false, false, false, "True", "shared"},
             Case{"the account's copy only", {}, "True", false, false, false, "True", "own"},
             Case{"both: the copy wins", "False", "True", false, false, false, "True", "own"},
             Case{"the shared store refuses", "False", {}, true, false, false, "False", "own"},
             Case{"both refuse", "False", {}, true, true, false, "False", ""},
             Case{"a copy of another type", "True", "1", false, false, true, std::nullopt, "own"},
         }) {
        SCOPED_TRACE(c.what);
        fakes::MemorySettingsStore shared("HKLM"), own("HKCU");
        if (c.shared) shared.values["A"] = *c.shared;
        if (c.own) own.values["A"] = *c.own;
        if (c.ownOfOtherType) own.otherType.insert("A");
        if (c.sharedRefuses) shared.refused.insert("A");
        if (c.ownRefuses) own.refused.insert("A");
        ShadowedSettings store(shared, own);
        EXPECT_EQ(store.Read("A"), c.read);
        const Outcome written = store.Write("A", "new");
        EXPECT_EQ(static_cast<bool>(written), !c.writtenTo.empty());
        EXPECT_EQ(shared.Read("A") == "new", c.writtenTo == "shared");
        EXPECT_EQ(own.Read("A") == "new", c.writtenTo == "own");
        EXPECT_EQ(store.Read("A"), written ? "new" : c.read);
        if (!written) {
            EXPECT_EQ(written.reason(), "Access is denied.; Access is denied.");
        }
    }
    fakes::MemorySettingsStore shared("HKLM"), own("HKCU");
    shared.unreadable = true;
    EXPECT_FALSE(ShadowedSettings(shared, own).Readable());
    EXPECT_EQ(ShadowedSettings(shared, own).Location(), "HKLM or, for this account, HKCU");
}

TEST(ShadowedFiles, FollowTheSameRuleAndKeepAFileThatFailsForAnotherReasonWhereItIs) {
    fakes::MemoryFileStore shared("C:\\Program Files\\Quellgate\\"), own("C:\\Users\\u\\VirtualStore\\");
    ShadowedFiles files(shared, own);
    shared.files["blocklist"] = "shared";
    shared.failWrites = true;  // held by another program
    EXPECT_FALSE(files.Replace("blocklist", "new"));
    EXPECT_THAT(own.files, ::testing::IsEmpty());
    shared.refuseWrites = true;
    ASSERT_TRUE(files.Replace("blocklist", "new"));
    EXPECT_EQ(std::get<std::string>(files.Read("blocklist")), "new");
    EXPECT_EQ(files.PathOf("blocklist"), "C:\\Users\\u\\VirtualStore\\blocklist");
    shared.refuseWrites = shared.failWrites = false;
    ASSERT_TRUE(files.Replace("blocklist", "newer"));
    EXPECT_EQ(shared.files["blocklist"], "shared") << "the copy, once there, is written";
    EXPECT_EQ(std::get<std::string>(files.Read("blocklist")), "newer");
}

// What the command line asks before any window opens.
TEST(CommandLine, AnswersVersionOnlyWhenAsked) {
    const char* qtOptions[] = {"quellgate", "-platform", "xcb"};
    EXPECT_EQ(VersionRequested(3, qtOptions), std::nullopt);
    const char* asked[] = {"quellgate", "-platform", "xcb", "--version"};
    EXPECT_THAT(VersionRequested(4, asked).value_or(""),
                ::testing::MatchesRegex(R"(quellgate [0-9]+\.[0-9]+\.[0-9]+)"));
    const char* first[] = {"quellgate", "--version"};
    EXPECT_EQ(VersionRequested(2, first), VersionRequested(4, asked));
}

// Controls share at most an edge a pixel (15 twips) wide; only a frame holds others.
TEST(Layout, NoControlLiesOverAnother) {
    for (const layout::Window& window : {layout::kMainWindow, layout::kSplashWindow, layout::kInfoWindow,
                                         layout::kChangePasswordWindow, layout::kBlockingHoursWindow})
        for (const auto& a : window.controls)
            for (const auto& b : window.controls) {
                if (&a >= &b || a.kind == layout::Kind::GroupBox || b.kind == layout::Kind::GroupBox)
                    continue;
                const auto overlap = [](int aStart, int aLength, int bStart, int bLength) {
                    return std::min(aStart + aLength, bStart + bLength) - std::max(aStart, bStart);
                };
                EXPECT_TRUE(overlap(a.place.left, a.place.width, b.place.left, b.place.width) <= 15 ||
                            overlap(a.place.top, a.place.height, b.place.top, b.place.height) <= 15)
                    << window.title << ": " << a.id << " over " << b.id;
            }
}
