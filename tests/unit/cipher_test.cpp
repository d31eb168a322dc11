#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "../reference/rotor_walk.h"
#include "protect/rotor_cipher.h"

namespace quellgate {
namespace {

std::string AllAlphabetCharacters() {
    std::string all;
    for (char c = ' '; c <= '~'; ++c)
        if (c != '"') all += c;
    return all;
}

TEST(RotorCipher, KeyIsTenDifferentPermutationsOfThe94Characters) {
    std::set<std::string_view> seen;
    std::string expected = AllAlphabetCharacters();
    for (std::size_t k = 0; k < kRotorCount; ++k) {
        std::string sorted(RotorAlphabet(k));
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, expected) << "alphabet " << k;
        seen.insert(RotorAlphabet(k));
    }
    EXPECT_EQ(seen.size(), kRotorCount);
}

TEST(RotorCipher, MatchesTheRotorWalk) {
    const std::string text = AllAlphabetCharacters() + "\"\r\n" + AllAlphabetCharacters() + "Tail";
    EXPECT_EQ(Encipher(text), reference::RotorWalkEncipher(text));
    EXPECT_EQ(Decipher(text), reference::RotorWalkDecipher(text));
}

TEST(RotorCipher, RoundTripsAtTheRotorBoundaries) {
    const std::string all = AllAlphabetCharacters();
    for (const std::size_t length : {0, 1, 93, 94, 95, 188, 189, 5000}) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i) text += all[(i * 7) % all.size()];
        const std::string cipher = Encipher(text);
        EXPECT_EQ(cipher.size(), text.size());
        EXPECT_EQ(Decipher(cipher), text) << "length " << length;
        EXPECT_EQ(Encipher(Decipher(text)), text) << "length " << length;
    }
    EXPECT_EQ(Decipher(Encipher(all)), all);
    EXPECT_NE(Encipher(all), all);
}

TEST(RotorCipher, PassesOtherBytesThroughInPlaceAndStillTurns) {
    const std::string text = "a\"b\r\nc\td\xC5\xBE" "e";
    const std::string cipher = Encipher(text);
    for (const std::size_t at : {1, 3, 4, 6, 8, 9}) EXPECT_EQ(cipher[at], text[at]) << at;
    EXPECT_EQ(cipher.find('"'), 1u) << "no double quote is made";
    EXPECT_EQ(Decipher(cipher), text);
    // The character after an inserted pass-through byte moves one rotor step.
    EXPECT_NE(Encipher("\tb")[1], Encipher("b")[0]);
    EXPECT_EQ(Encipher("\"\r\n"), "\"\r\n");
}

TEST(RotorCipher, RepeatsEvery47Characters) {
    const std::string cipher = Encipher(std::string(100, 'K'));
    for (std::size_t t = 0; t + 47 < cipher.size(); ++t) ASSERT_EQ(cipher[t], cipher[t + 47]) << t;
    EXPECT_NE(cipher[0], cipher[1]);
    EXPECT_NE(Encipher("A"), Encipher("a"));
}

}  // namespace
}  // namespace quellgate
