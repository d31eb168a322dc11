// The cipher that keeps the blocklist and the password, and UTF-8 handling.
#include <gtest/gtest.h>

#include "protect/rotor_cipher.h"
#include "text/utf8.h"

namespace quellgate {
namespace {

std::string Printable() {
    std::string all;
    for (char c = ' '; c <= '~'; ++c)
        if (c != '"') all += c;
    return all;
}

// Files and passwords stored by earlier runs must stay readable: any change
// to the key or the stepping shows here.
TEST(RotorCipher, GivesTheCipherTextThatStoredFilesHold) {
    EXPECT_EQ(Encipher("facebook games"), R"(3(=hb@ScSHjQ[^)");
    EXPECT_EQ(Encipher("lotus7391"), R"(FM2R<9$|7)");
    EXPECT_EQ(Encipher("The quick brown fox jumps over the lazy dog!"),
              R"(iV6CdObe&_*Tlsc5#v-I@)[T<*bL! ;5K&<mtZV7p5^#)");
    EXPECT_EQ(Decipher(R"(3(=hb@ScSHjQ[^)"), "facebook games");
}

// Every character at every place of two turns of the rotors, as the rotor
// walk (bench/rotor_walk.h) gave it when the closed form was checked against it.
TEST(RotorCipher, GivesTheSameCipherTextAcrossTheRotorBoundariesAndRoundTrips) {
    std::string text;
    for (std::size_t i = 0; i < 190; ++i) text += Printable()[(i * 7) % 94];
    const std::string turn = R"(K9y^dQz*F^m#$h\w^Izg|/y>09;}!^M$7(~t_u@xT?a^}cpobhF6&aB<svVzG%i%zpjZaG\13D'M5TXo_PV)znRiRjk,H')";
    EXPECT_EQ(Encipher(text), "'" + turn + turn + "K");
    const std::string bytes = Printable() + "\"\r\n\t\xC5\xBE";
    for (const std::size_t length : {0, 1, 93, 94, 95, 188, 189, 5000}) {
        std::string mixed;
        for (std::size_t i = 0; i < length; ++i) mixed += bytes[(i * 7) % bytes.size()];
        EXPECT_EQ(Decipher(Encipher(mixed)), mixed) << "length " << length;
        EXPECT_EQ(Encipher(Decipher(mixed)), mixed) << "length " << length;
    }
}

TEST(Utf8, RepairsEveryKindOfBrokenSequenceAndDropsNul) {
    struct Case {
        std::string in, out;
    };
    const std::string bad = "\xEF\xBF\xBD";
    for (const Case& c :
         {Case{"ok \xC5\xBE \xF0\x9F\x98\x80", "ok \xC5\xBE \xF0\x9F\x98\x80"},
          Case{std::string("a\0b", 3), "ab"}, Case{"\xFFz", bad + "z"}, Case{"\xC5", bad},  // cut short
          Case{"x\xF0\x9F\x98", "x" + bad + bad + bad},     // a 4-byte sequence cut at the end
          Case{"\xC0\xAF", bad + bad},                      // overlong, 2 bytes
          Case{"\xE0\x80\xAF", bad + bad + bad},            // overlong, 3 bytes
          Case{"\xF0\x8F\xBF\xBF", bad + bad + bad + bad},  // overlong, 4 bytes
          Case{"\xF4\x90\x80\x80", bad + bad + bad + bad},  // above U+10FFFF
          Case{"\xF5\x80\x80\x80", bad + bad + bad + bad},  // lead bytes F5..F7
          Case{"\xF7\xBF", bad + bad}, Case{"\xED\xA0\x80", bad + bad + bad}}) {  // an encoded surrogate
        EXPECT_EQ(SanitizeUtf8(c.in), c.out);
    }
}

TEST(Utf8, CountsCutsAndConvertsToUtf16AndBack) {
    EXPECT_EQ(CharacterCount("ab\xC5\xBE"), 3u);
    EXPECT_EQ(FirstCharacters("ab\xC5\xBEz", 3), "ab\xC5\xBE");
    EXPECT_EQ(FirstCharacters("ab", 5), "ab");
    EXPECT_EQ(Abbreviated("ab\xC5\xBEz", 3), "ab\xC5\xBE\u2026");
    EXPECT_EQ(Abbreviated("abc", 3), "abc");
    const std::u16string greek = u"Δίκτυο 😀";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(greek)), greek);
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', char16_t(0xD800), u'z'}), "a\xEF\xBF\xBDz");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xDC00), char16_t(0xD83D)}), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToUtf16("x\xFF"), u"x\uFFFD");
}

}  // namespace
}  // namespace quellgate
