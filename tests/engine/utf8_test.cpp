#include "utf8.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

TEST(Utf8Test, FindsTheFirstInvalidByte) {
    EXPECT_EQ(FindInvalidUtf8("中文 ok"), std::nullopt);
    EXPECT_EQ(FindInvalidUtf8(""), std::nullopt);
    EXPECT_EQ(FindInvalidUtf8("ab\xFF"), 2u);
    EXPECT_EQ(FindInvalidUtf8("中\xE4\xB8"), 3u) << "truncated sequence";
    EXPECT_EQ(FindInvalidUtf8("\xC0\x80"), 0u) << "overlong";
    EXPECT_EQ(FindInvalidUtf8("x\xED\xA0\x80"), 1u) << "surrogate";
    EXPECT_EQ(FindInvalidUtf8("\xF4\x90\x80\x80"), 0u) << "above U+10FFFF";
    EXPECT_EQ(FindInvalidUtf8("\x80"), 0u) << "stray continuation";
}

TEST(Utf8Test, WalksCodePointsAndRecoversFromBadBytes) {
    EXPECT_EQ(DecodeUtf8("a中😀"), U"a中😀");
    EXPECT_EQ(DecodeUtf8("a\xFF"
                         "b\xE4\xB8"),
              U"a\uFFFDb\uFFFD\uFFFD");
    EXPECT_EQ(EncodeUtf8(U"a中😀"), "a中😀");
    EXPECT_EQ(EncodeUtf8(std::u32string(1, char32_t{0xDC00})), "\xEF\xBF\xBD");
}

// Every three-byte form, each continuation byte tried at every value: valid exactly where the
// Unicode rules say (E0 needs A0-BF next, ED 80-9F, the others 80-BF), and then the value the
// bits give.
TEST(Utf8Test, ThreeByteSequencesFollowTheUnicodeRules) {
    for (unsigned lead = 0xE0; lead <= 0xEF; ++lead) {
        const unsigned low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned high = lead == 0xED ? 0x9F : 0xBF;
        for (unsigned varied = 0; varied <= 0xFF; ++varied) {
            for (const bool second : {true, false}) {
                const unsigned middle = second ? varied : low;
                const unsigned last = second ? 0x80 : varied;
                const std::string bytes{static_cast<char>(lead), static_cast<char>(middle),
                                        static_cast<char>(last)};
                const bool valid = middle >= low && middle <= high && last >= 0x80 && last <= 0xBF;
                EXPECT_EQ(FindInvalidUtf8(bytes).has_value(), !valid)
                    << std::hex << lead << ' ' << middle << ' ' << last;
                if (valid) {
                    const char32_t expected =
                        (lead & 0x0F) << 12 | (middle & 0x3F) << 6 | (last & 0x3F);
                    EXPECT_EQ(DecodeUtf8(bytes), std::u32string(1, expected));
                }
            }
        }
    }
}

} // namespace
} // namespace pelmora
