#include <gtest/gtest.h>

#include "text/utf8.h"

namespace quellgate {
namespace {

TEST(Utf8, RepairsBrokenBytesAndDropsNul) {
    EXPECT_EQ(SanitizeUtf8("ok \xC5\xBE"), "ok \xC5\xBE");
    EXPECT_EQ(SanitizeUtf8(std::string("a\0b", 3)), "ab");
    EXPECT_EQ(SanitizeUtf8("\xFF" "a"), "\xEF\xBF\xBD" "a");
    EXPECT_EQ(SanitizeUtf8("\xC5"), "\xEF\xBF\xBD") << "a sequence cut short";
    EXPECT_EQ(SanitizeUtf8("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD")
        << "an encoded surrogate";
}

TEST(Utf8, CountsAndCutsByCharacter) {
    EXPECT_EQ(CharacterCount("ab\xC5\xBE"), 3u);
    EXPECT_EQ(FirstCharacters("ab\xC5\xBE" "c", 3), "ab\xC5\xBE");
    EXPECT_EQ(FirstCharacters("ab", 5), "ab");
}

}  // namespace
}  // namespace quellgate

namespace quellgate {
namespace {

TEST(Utf16, ConvertsBothWaysAndRepairsBrokenSurrogates) {
    const std::u16string greek = u"Δίκτυο 😀";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(greek)), greek);
    EXPECT_EQ(Utf16ToUtf8(u"Δ"), "\xCE\x94");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', char16_t(0xD800), u'b'}), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xDC00), char16_t(0xD83D)}), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToUtf16("x\xFF"), u"x\uFFFD");
}

}  // namespace
}  // namespace quellgate
