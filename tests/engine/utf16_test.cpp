#include "utf16.h"

#include "utf8.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace pelmora {
namespace {

bool IsSurrogate(char16_t unit) {
    return IsHighSurrogate(unit) || IsLowSurrogate(unit);
}

TEST(Utf16Test, KnownUnitSequences) {
    EXPECT_EQ(Utf8FromUtf16(u"发A"), "\xE5\x8F\x91"
                                     "A");
    EXPECT_EQ(Utf8FromUtf16(u"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8FromUtf16(u"\xD83D"
                            u"A"),
              "\xEF\xBF\xBD"
              "A");
    EXPECT_EQ(Utf8FromUtf16(u"\xDE00"), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf8FromUtf16(u"\xDE00\xD83D"), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(Utf8FromUtf16(u"A\xD83D"), "A\xEF\xBF\xBD");
    EXPECT_EQ(Utf8FromUtf16(u""), "");
}

// Every code point UTF-8 can carry goes to UTF-16 and back unchanged, one or two units each.
TEST(Utf16Test, EveryCodePointMakesTheRoundTrip) {
    std::u32string text;
    for (char32_t character = 0; character <= 0x10FFFF; ++character) {
        if (!IsSurrogate(static_cast<char16_t>(character)) || character > 0xFFFF) {
            text.push_back(character);
        }
    }
    const std::string utf8 = EncodeUtf8(text);
    const std::u16string units = Utf16FromUtf8(utf8);
    ASSERT_EQ(units.size(), 0x10000 - 0x800 + 2 * 0x100000);
    EXPECT_EQ(Utf8FromUtf16(units), utf8);
    EXPECT_EQ(CharacterCountOfUtf16(std::u16string_view(units), units.size()), text.size());
    EXPECT_EQ(Utf16FromUtf8("a\xFF"), u"a\uFFFD") << "a byte that is no UTF-8";
}

// Whatever units a box holds, paired or not, the result is valid UTF-8 with one code point per
// unit except that a high surrogate directly followed by a low one counts once.
TEST(Utf16Test, AnyUnitsGiveValidUtf8WithOneCharacterPerUnitOrPair) {
    std::mt19937 random(7);
    const char16_t pool[] = {u'A',   u'\n',  u'发',  0xD800, 0xDBFF, 0xDC00,
                             0xDFFF, 0xD83D, 0xDE00, 0xFFFD, 0xFFFF, 0x0000};
    for (int round = 0; round < 5000; ++round) {
        std::u16string units;
        const int length = static_cast<int>(random() % 12);
        for (int at = 0; at < length; ++at) {
            units.push_back(pool[random() % std::size(pool)]);
        }
        std::size_t pairs = 0;
        std::size_t lone = 0;
        for (std::size_t at = 0; at < units.size(); ++at) {
            if (units[at] >= 0xD800 && units[at] <= 0xDBFF && at + 1 < units.size() &&
                units[at + 1] >= 0xDC00 && units[at + 1] <= 0xDFFF) {
                ++pairs;
                ++at;
            } else if (IsSurrogate(units[at])) {
                ++lone;
            }
        }
        const std::string utf8 = Utf8FromUtf16(units);
        ASSERT_EQ(CharacterCountOfUtf16(std::u16string_view(units), units.size()),
                  units.size() - pairs);
        ASSERT_FALSE(FindInvalidUtf8(utf8).has_value());
        const std::u32string decoded = DecodeUtf8(utf8);
        ASSERT_EQ(decoded.size(), units.size() - pairs);
        const std::size_t replaced = static_cast<std::size_t>(
            std::count(decoded.begin(), decoded.end(), kReplacementCharacter));
        const std::size_t replacementUnits =
            static_cast<std::size_t>(std::count(units.begin(), units.end(), char16_t{0xFFFD}));
        ASSERT_EQ(replaced, lone + replacementUnits);
    }
}

} // namespace
} // namespace pelmora
