#include "input_text.h"

#include "code_page.h"
#include "utf8.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

// Every character code page 936 can write, and a few beyond the Basic Multilingual Plane that
// only UTF-8 and UTF-16 carry.
std::u32string CodePageCharacters() {
    std::u32string text;
    for (char32_t character = 1; character < 0x10000; ++character) {
        if (CharCodeOf(character)) {
            text.push_back(character);
        }
    }
    return text;
}

std::string Utf16(std::u32string_view text, bool bigEndian) {
    std::string bytes;
    const auto unit = [&](char32_t value) {
        const char high = static_cast<char>(value >> 8);
        const char low = static_cast<char>(value & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    };
    for (const char32_t character : text) {
        if (character >= 0x10000) {
            unit(0xD800 + ((character - 0x10000) >> 10));
            unit(0xDC00 + ((character - 0x10000) & 0x3FF));
        } else {
            unit(character);
        }
    }
    return bytes;
}

TEST(InputTextTest, EveryEncodingGivesBackTheTextItCarries) {
    const std::u32string text = CodePageCharacters();
    ASSERT_GT(text.size(), 21000u);
    const std::string utf8 = EncodeUtf8(text);
    const std::u32string wide = text + U"\U0001F600\U00020000";

    EXPECT_EQ(DecodeInput(*EncodeCodePage936(text), InputEncoding::Gbk).text, utf8);
    EXPECT_EQ(DecodeInput(utf8, InputEncoding::Utf8).text, utf8);
    EXPECT_EQ(DecodeInput(utf8, std::nullopt).text, utf8);
    for (const bool bigEndian : {false, true}) {
        const InputEncoding encoding = bigEndian ? InputEncoding::Utf16Be : InputEncoding::Utf16Le;
        const DecodedInput asked = DecodeInput(Utf16(wide, bigEndian), encoding);
        EXPECT_FALSE(asked.invalidAt);
        EXPECT_EQ(asked.text, EncodeUtf8(wide));
        const DecodedInput marked = DecodeInput(Utf16(U"\uFEFF" + wide, bigEndian), std::nullopt);
        EXPECT_EQ(marked.encoding, encoding) << "recognised by its byte order mark";
        EXPECT_EQ(marked.text, EncodeUtf8(wide)) << "the mark itself is dropped";
    }
}

TEST(InputTextTest, OnlyALeadingByteOrderMarkIsDropped) {
    EXPECT_EQ(DecodeInput("\xEF\xBB\xBF发", std::nullopt).text, "发");
    EXPECT_EQ(DecodeInput("\xEF\xBB\xBF\xEF\xBB\xBF发", InputEncoding::Utf8).text, "\uFEFF发");
    EXPECT_EQ(DecodeInput("发\xEF\xBB\xBF", std::nullopt).text, "发\uFEFF");
    EXPECT_EQ(DecodeInput(Utf16(U"\uFEFF\uFEFFx", false), InputEncoding::Utf16Le).text, "\uFEFFx");
    const std::u32string gbkReading = {RecordCharacter({0xEF, 0xBB}),
                                       RecordCharacter({0xBF, 0xA1})};
    EXPECT_EQ(DecodeInput("\xEF\xBB\xBF\xA1", InputEncoding::Gbk).text, EncodeUtf8(gbkReading))
        << "GBK has no byte order mark: those bytes are GBK characters like any other";
}

TEST(InputTextTest, TheFirstBadByteIsFoundWhereverItIs) {
    // A valid text with one broken character put at every position: the offset names it.
    const std::u32string text = U"发东 A中\n国";
    for (std::size_t at = 0; at <= text.size(); ++at) {
        const std::u32string before = text.substr(0, at);
        const std::size_t gbkOffset = EncodeCodePage936(before)->size();
        const std::string gbk =
            *EncodeCodePage936(before) + "\x81\x7F" + *EncodeCodePage936(text.substr(at));
        EXPECT_EQ(DecodeInput(gbk, InputEncoding::Gbk).invalidAt, gbkOffset) << at;
        EXPECT_EQ(DecodeInput(*EncodeCodePage936(before) + "\xB7", InputEncoding::Gbk).invalidAt,
                  gbkOffset)
            << "a lead byte without its trail byte";
        const std::string utf16 =
            Utf16(before, false) + Utf16(U"\xDC00", false) + Utf16(text.substr(at), false);
        EXPECT_EQ(DecodeInput(utf16, InputEncoding::Utf16Le).invalidAt, 2 * at) << at;
        EXPECT_EQ(DecodeInput(Utf16(before, true) + "x", InputEncoding::Utf16Be).invalidAt, 2 * at)
            << "half a unit at the end";
        const std::string utf8 = EncodeUtf8(before) + "\xC0\x80" + EncodeUtf8(text.substr(at));
        EXPECT_EQ(DecodeInput("\xEF\xBB\xBF" + utf8, std::nullopt).invalidAt,
                  3 + EncodeUtf8(before).size())
            << "offsets count the byte order mark";
    }
}

TEST(InputTextTest, MessagesNameTheEncodingAndSuggestGbkWhenItFits) {
    const std::string gbk = *EncodeCodePage936(U"刘德华在广东");
    const std::string notUtf8 = InvalidInputMessage(DecodeInput(gbk, std::nullopt));
    EXPECT_EQ(notUtf8, "the input is not valid UTF-8 (byte offset 0); it reads as GBK, so try "
                       "--from gbk");
    EXPECT_EQ(InvalidInputMessage(DecodeInput("ab\x81", std::nullopt)),
              "the input is not valid UTF-8 (byte offset 2)");
    EXPECT_EQ(InvalidInputMessage(DecodeInput("ab\x81", InputEncoding::Gbk)),
              "the input is not valid GBK (byte offset 2)");
}

TEST(InputTextTest, EncodingNames) {
    EXPECT_EQ(EncodingByName("UTF-8"), InputEncoding::Utf8);
    for (const char* name : {"gbk", "CP936", "gb2312"}) {
        EXPECT_EQ(EncodingByName(name), InputEncoding::Gbk) << name;
    }
    EXPECT_EQ(EncodingByName("utf-16LE"), InputEncoding::Utf16Le);
    EXPECT_EQ(EncodingByName("utf-16be"), InputEncoding::Utf16Be);
    for (const char* name : {"", "utf8x", "utf-16", "latin1", "gb18030"}) {
        EXPECT_FALSE(EncodingByName(name)) << name;
    }
}

} // namespace
} // namespace pelmora
