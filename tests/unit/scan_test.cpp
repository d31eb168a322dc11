// Which windows the scan pushes off, counted in Alt+Home keystrokes.
#include <gtest/gtest.h>

#include <random>

#include "blocklist/active_keywords.h"
#include "fakes/fakes.h"
#include "scan/keyword_matcher.h"
#include "scan/window_scan.h"

namespace quellgate {
namespace {

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
    fakes::UnicodeTextCase textCase;
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
          Case{{"twitter", "youtube"}, {"twitter and youtube", "Another youtube video", "Notepad"}, 2},
          Case{{"ΔΙΚΤΥΟ", "željeznica"}, {"Το Δίκτυο: ΔΙΚΤΥΟ ειδήσεων", "ŽELJEZNICA", "Ζ"}, 2}}) {
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
    screen.desktop.windows.back().caption = std::string(248, 'x') + "youtube";
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

}  // namespace
}  // namespace quellgate
