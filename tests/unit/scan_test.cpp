#include <gtest/gtest.h>

#include <random>

#include "blocklist/active_keyword_list.h"
#include "fakes/fakes.h"
#include "scan/keyword_matcher.h"
#include "scan/window_scan.h"

namespace quellgate {
namespace {

class Scan : public ::testing::Test {
protected:
    int AltHomesAfterScan() {
        const int before = desktop.altHomes;
        scanner.ScanWindows();
        return desktop.altHomes - before;
    }

    fakes::FakeDesktop desktop;
    fakes::UnicodeTextCase textCase;
    ActiveKeywordList list{textCase};
    WindowScanner scanner{desktop, list};
};

TEST_F(Scan, ListsOnlyVisibleWindowsWithACaptionInSystemOrder) {
    desktop.AddWindow("First");
    desktop.AddWindow("");
    desktop.AddWindow("Hidden main window", false);
    desktop.AddWindow("Second");
    const auto& rows = scanner.RefreshWindowList();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].caption, "First");
    EXPECT_EQ(rows[1].caption, "Second");
    EXPECT_EQ(rows[1].handle, desktop.windows[3].handle);
}

TEST_F(Scan, KeepsTheFirst255CharactersOfACaption) {
    // 254 letters, then a two-byte character, then the keyword.
    desktop.AddWindow(std::string(254, 'x') + "\xC3\xA9" + "youtube");
    list.Add("youtube");
    const auto& rows = scanner.RefreshWindowList();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].caption, std::string(254, 'x') + "\xC3\xA9");
    EXPECT_EQ(AltHomesAfterScan(), 0);

    desktop.windows[0].caption = std::string(248, 'x') + "youtube";
    EXPECT_EQ(AltHomesAfterScan(), 1);
}

TEST_F(Scan, MatchesAnywhereInTheCaptionWhateverTheCase) {
    list.Add("youtube");
    desktop.AddWindow("My YouTube Page - Browser");
    EXPECT_EQ(AltHomesAfterScan(), 1);
    EXPECT_EQ(AltHomesAfterScan(), 1) << "a caption that still holds the keyword is hit every tick";
    desktop.windows[0].caption = "Home page";
    EXPECT_EQ(AltHomesAfterScan(), 0);
}

TEST_F(Scan, LowerCasesCaptionsBeyondAscii) {
    list.Add("ΔΙΚΤΥΟ");  // lower-cased on the way in
    desktop.AddWindow("Το Δίκτυο: ΔΙΚΤΥΟ ειδήσεων");
    desktop.AddWindow("ŽELJEZNICA");
    EXPECT_EQ(AltHomesAfterScan(), 1);
    list.Add("željeznica");
    EXPECT_EQ(AltHomesAfterScan(), 2);
}

TEST_F(Scan, IsAPlainSubstringSearch) {
    list.Add("face book");
    desktop.AddWindow("facebook");
    desktop.AddWindow("Face-book");
    EXPECT_EQ(AltHomesAfterScan(), 0);
    desktop.AddWindow("The FACE BOOK club");
    EXPECT_EQ(AltHomesAfterScan(), 1);
}

TEST_F(Scan, SendsOneKeystrokePerMatchingWindowNotPerKeyword) {
    list.Add("twitter");
    list.Add("youtube");
    desktop.AddWindow("twitter and youtube side by side");
    EXPECT_EQ(AltHomesAfterScan(), 1);
    desktop.AddWindow("Another youtube video");
    desktop.AddWindow("Notepad");
    EXPECT_EQ(AltHomesAfterScan(), 2);
}

TEST_F(Scan, SendsNothingWithoutKeywordsButStillTakesTheSnapshot) {
    desktop.AddWindow("youtube");
    EXPECT_EQ(AltHomesAfterScan(), 0);
    desktop.AddWindow("another");
    scanner.ScanWindows();
    EXPECT_EQ(scanner.RefreshWindowList().size(), 2u);
}

TEST_F(Scan, ARefusedKeystrokeEndsThatScanOnly) {
    list.Add("blocked");
    for (int i = 0; i < 4; ++i) desktop.AddWindow("blocked page " + std::to_string(i));
    desktop.refuseSendsAfter = 1;
    EXPECT_EQ(AltHomesAfterScan(), 1);
    desktop.refuseSendsAfter = -1;
    EXPECT_EQ(AltHomesAfterScan(), 4);
}

TEST_F(Scan, FollowsChangesOfTheKeywordList) {
    desktop.AddWindow("news of the day");
    EXPECT_EQ(AltHomesAfterScan(), 0);
    list.Add("news");
    EXPECT_EQ(AltHomesAfterScan(), 1);
    list.RemoveAt(0);
    EXPECT_EQ(AltHomesAfterScan(), 0);
}

// The matcher against the obvious search, on texts made to overlap a lot.
TEST(KeywordMatcher, AgreesWithANaiveSearchOnRandomTexts) {
    std::mt19937 rng(7);
    const auto word = [&](int maxLength) {
        std::string s(1 + rng() % maxLength, 'a');
        for (auto& c : s) c = static_cast<char>('a' + rng() % 3);
        return s;
    };
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> keywords(1 + rng() % 12);
        for (auto& k : keywords) k = word(5);
        const KeywordMatcher matcher(keywords);
        for (int t = 0; t < 20; ++t) {
            const std::string text = word(30);
            std::optional<std::size_t> expected;
            for (std::size_t k = 0; k < keywords.size() && !expected; ++k)
                if (text.find(keywords[k]) != std::string::npos) expected = k;
            ASSERT_EQ(matcher.FirstMatch(text), expected) << "text " << text;
        }
    }
}

TEST(KeywordMatcher, TreatsAnEmptyKeywordAsMatchingEverything) {
    const KeywordMatcher matcher({"zzz", "", "abc"});
    EXPECT_EQ(matcher.FirstMatch("abc"), 1u);
    EXPECT_EQ(matcher.FirstMatch(""), 1u);
    EXPECT_EQ(KeywordMatcher(std::vector<std::string>{}).FirstMatch("abc"), std::nullopt);
}

}  // namespace
}  // namespace quellgate
