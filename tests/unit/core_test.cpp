#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "../reference/rotor_walk.h"
#include "blocklist/active_keyword_list.h"
#include "fakes/fakes.h"
#include "protect/rotor_cipher.h"
#include "scan/keyword_matcher.h"
#include "scan/window_scan.h"
#include "text/utf8.h"

namespace quellgate {
namespace {

std::string Printable() {
    std::string all;
    for (char c = ' '; c <= '~'; ++c)
        if (c != '"') all += c;
    return all;
}

TEST(RotorCipher, KeyIsTenDifferentPermutationsOfThe94Characters) {
    std::set<std::string_view> seen;
    for (std::size_t k = 0; k < kRotorCount; ++k) {
        std::string sorted(RotorAlphabet(k));
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, Printable()) << "alphabet " << k;
        seen.insert(RotorAlphabet(k));
    }
    EXPECT_EQ(seen.size(), kRotorCount);
}

TEST(RotorCipher, MatchesTheRotorWalkAndRoundTripsAcrossTheRotorBoundaries) {
    const std::string bytes = Printable() + "\"\r\n\t\xC5\xBE";
    for (const std::size_t length : {0, 1, 93, 94, 95, 188, 189, 5000}) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i) text += bytes[(i * 7) % bytes.size()];
        EXPECT_EQ(Encipher(text), reference::RotorWalkEncipher(text)) << "length " << length;
        EXPECT_EQ(Decipher(text), reference::RotorWalkDecipher(text)) << "length " << length;
        EXPECT_EQ(Decipher(Encipher(text)), text) << "length " << length;
        EXPECT_EQ(Encipher(Decipher(text)), text) << "length " << length;
    }
    EXPECT_NE(Encipher(Printable()), Printable());
}

TEST(RotorCipher, PassesOtherBytesThroughInPlaceAndStillTurns) {
    const std::string text = "a\"b\r\nc\td\xC5\xBEz";
    const std::string cipher = Encipher(text);
    for (const std::size_t at : {1, 3, 4, 6, 8, 9}) EXPECT_EQ(cipher[at], text[at]) << at;
    EXPECT_EQ(cipher.find('"'), 1u) << "no double quote is made";
    // The character after an inserted pass-through byte moves one rotor step.
    EXPECT_NE(Encipher("\tb")[1], Encipher("b")[0]);
}

TEST(RotorCipher, RepeatsEvery47Characters) {
    const std::string cipher = Encipher(std::string(100, 'K'));
    EXPECT_EQ(cipher.substr(0, 53), cipher.substr(47));
    EXPECT_NE(cipher[0], cipher[1]);
    EXPECT_NE(Encipher("A"), Encipher("a"));
}

TEST(Utf8, RepairsBrokenBytesAndDropsNul) {
    EXPECT_EQ(SanitizeUtf8("ok \xC5\xBE"), "ok \xC5\xBE");
    EXPECT_EQ(SanitizeUtf8(std::string("a\0b", 3)), "ab");
    EXPECT_EQ(SanitizeUtf8("\xFFz"), "\xEF\xBF\xBDz");
    EXPECT_EQ(SanitizeUtf8("\xC5"), "\xEF\xBF\xBD") << "a sequence cut short";
    EXPECT_EQ(SanitizeUtf8("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD") << "an encoded surrogate";
}

TEST(Utf8, CountsCutsAndConvertsToUtf16AndBack) {
    EXPECT_EQ(CharacterCount("ab\xC5\xBE"), 3u);
    EXPECT_EQ(FirstCharacters("ab\xC5\xBEz", 3), "ab\xC5\xBE");
    EXPECT_EQ(FirstCharacters("ab", 5), "ab");

    const std::u16string greek = u"Δίκτυο 😀";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(greek)), greek);
    EXPECT_EQ(Utf16ToUtf8(u"Δ"), "\xCE\x94");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', char16_t(0xD800), u'z'}), "a\xEF\xBF\xBDz");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xDC00), char16_t(0xD83D)}), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToUtf16("x\xFF"), u"x\uFFFD");
}

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

TEST_F(Scan, ScansVisibleWindowsWithACaptionCutTo255CharactersInSystemOrder) {
    desktop.AddWindow("First");
    desktop.AddWindow("");
    desktop.AddWindow("Hidden youtube window", false);
    // 254 letters, then a two-byte character, then the keyword.
    desktop.AddWindow(std::string(254, 'x') + "\xC3\xA9" + "youtube");
    list.Add("youtube");
    const auto& rows = scanner.RefreshWindowList();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].caption, "First");
    EXPECT_EQ(rows[1].caption, std::string(254, 'x') + "\xC3\xA9");
    EXPECT_EQ(rows[1].handle, desktop.windows[3].handle);
    EXPECT_EQ(AltHomesAfterScan(), 0);

    desktop.windows[3].caption = std::string(248, 'x') + "youtube";
    EXPECT_EQ(AltHomesAfterScan(), 1);
    // The scan follows changes of the keyword list.
    list.Add("first");
    EXPECT_EQ(AltHomesAfterScan(), 2);
    list.RemoveAt(1);
    EXPECT_EQ(AltHomesAfterScan(), 1);
}

TEST_F(Scan, SendsOneKeystrokePerWindowWhoseLowerCasedCaptionHoldsAKeywordEveryTime) {
    struct Case {
        std::vector<std::string> keywords, captions;
        int altHomes;
    };
    for (const Case& c :
         {Case{{}, {"youtube"}, 0}, Case{{"youtube"}, {"My YouTube Page - Browser", "Home page"}, 1},
          Case{{"face book"}, {"facebook", "Face-book", "The FACE BOOK club"}, 1},
          Case{{"twitter", "youtube"}, {"twitter and youtube", "Another youtube video", "Notepad"}, 2},
          Case{{"ΔΙΚΤΥΟ"}, {"Το Δίκτυο: ΔΙΚΤΥΟ ειδήσεων", "ŽELJEZNICA"}, 1},
          Case{{"ΔΙΚΤΥΟ", "željeznica"}, {"Το Δίκτυο: ΔΙΚΤΥΟ ειδήσεων", "ŽELJEZNICA"}, 2}}) {
        fakes::FakeDesktop screen;
        ActiveKeywordList keywords{textCase};
        WindowScanner windowScanner{screen, keywords};
        for (const auto& k : c.keywords) keywords.Add(k);
        for (const auto& caption : c.captions) screen.AddWindow(caption);
        windowScanner.ScanWindows();
        windowScanner.ScanWindows();
        EXPECT_EQ(screen.altHomes, 2 * c.altHomes) << c.captions[0];
    }
}

TEST_F(Scan, ARefusedKeystrokeEndsThatScanOnly) {
    list.Add("blocked");
    for (int i = 0; i < 4; ++i) desktop.AddWindow("blocked page " + std::to_string(i));
    desktop.refuseSendsAfter = 1;
    EXPECT_EQ(AltHomesAfterScan(), 1);
    desktop.refuseSendsAfter = -1;
    EXPECT_EQ(AltHomesAfterScan(), 4);
}

// The matcher against the obvious search, on texts made to overlap a lot;
// empty keywords, which match every text, and empty lists included.
TEST(KeywordMatcher, AgreesWithANaiveSearch) {
    std::mt19937 rng(7);
    const auto word = [&](int maxLength) {
        std::string s(rng() % (maxLength + 1), 'a');
        for (auto& c : s) c = static_cast<char>('a' + rng() % 3);
        return s;
    };
    for (int round = 0; round < 1000; ++round) {
        std::vector<std::string> keywords(rng() % 12);
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

}  // namespace
}  // namespace quellgate
