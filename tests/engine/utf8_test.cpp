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

} // namespace
} // namespace pelmora
