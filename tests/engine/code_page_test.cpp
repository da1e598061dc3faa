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

TEST(CodePageTest, RecordsDecodeAsOneCharacter) {
    EXPECT_EQ(RecordCharacter({0xD6, 0xD0}), U'中');
    EXPECT_EQ(RecordCharacter({'A', 0x00}), U'A');
    EXPECT_EQ(RecordCharacter({'A', 0xD6}), U'A') << "the byte after a single-byte one is padding";
    EXPECT_EQ(RecordCharacter({0x00, 0x00}), U'\0');
    // Shift-JIS 発 (0x94 0xAD) read through code page 936 is the GBK character with those bytes.
    EXPECT_EQ(RecordCharacter({0x94, 0xAD}), U'敪');
}

TEST(CodePageTest, InvalidRecordBytesDecodeToThePlaceholder) {
    EXPECT_EQ(RecordCharacter({0x81, 0x20}), kPlaceholder); // trail byte below 0x40
    EXPECT_EQ(RecordCharacter({0x81, 0x7F}), kPlaceholder);
    EXPECT_EQ(RecordCharacter({0xA1, 0xFF}), kPlaceholder);
    EXPECT_EQ(RecordCharacter({0xD6, 0x00}), kPlaceholder);
    // Positions the code page assigns to private use are characters like any other.
    EXPECT_EQ(RecordCharacter({0xAA, 0xA1}), U'\uE000');
    EXPECT_EQ(CharCodeOf(U'\uE000'), static_cast<CharCode>(0xAAA1));
}

TEST(CodePageTest, RecordCodeMatchesTheCodeOfTheCharacterItHolds) {
    for (const Record record : {Record{0xD6, 0xD0}, Record{0xA3, 0xA1}, Record{'z', 0},
                                Record{0x81, 0x40}, Record{0xFE, 0x4F}}) {
        EXPECT_EQ(CharCodeOf(RecordCharacter(record)), RecordCode(record));
    }
    EXPECT_EQ(RecordCode({'A', 0x77}), 65);
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
