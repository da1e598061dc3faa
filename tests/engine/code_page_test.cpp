#include "code_page.h"
#include "string_text.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

using testing::EncodeCodePage936;

TEST(CodePageTest, CharCodesFollowTheSignedLeadTrailRule) {
    EXPECT_EQ(CharCodeOf(U'中'), -10544);
    EXPECT_EQ(CharCodeOf(U'！'), -23647);
    EXPECT_EQ(CharCodeOf(U'A'), 65);
    EXPECT_EQ(CharCodeOf(U'\n'), 10);
    EXPECT_EQ(CharCodeOf(U'\0'), 0);
    EXPECT_EQ(CharCodeOf(U'　'), static_cast<CharCode>(0xA1A1));
    EXPECT_EQ(CharCodeOf(U'€'), 0x80); // the one single-byte character above ASCII
    EXPECT_EQ(CharCodeOf(U'丂'), static_cast<CharCode>(0x8140)); // GBK extension, lowest lead
}

TEST(CodePageTest, CharactersOutsideTheCodePageHaveNoCode) {
    EXPECT_EQ(CharCodeOf(U'😀'), std::nullopt);
    EXPECT_EQ(CharCodeOf(U'\U00020000'), std::nullopt); // CJK extension B
    EXPECT_EQ(CharCodeOf(U'\u9FA6'), std::nullopt);     // past the last GBK ideograph
    EXPECT_EQ(CharCodeOf(char32_t{0xD800}), std::nullopt);
    EXPECT_EQ(CharCodeOf(U'\uFFFD'), std::nullopt);
    EXPECT_EQ(CharCodeOf(char32_t{0x110000}), std::nullopt);
}

TEST(CodePageTest, EncodingGivesBackTheBytes) {
    EXPECT_EQ(EncodeCodePage936(U"中A！"), std::string("\xD6\xD0"
                                                       "A"
                                                       "\xA3\xA1"));
    EXPECT_EQ(EncodeCodePage936(U"敪"), std::string("\x94\xAD"));
    EXPECT_EQ(EncodeCodePage936(U"a😀"), std::nullopt);
    EXPECT_EQ(EncodeCodePage936(U""), std::string());
}

} // namespace
} // namespace pelmora
