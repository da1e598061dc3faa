#include "input_text.h"

#include "code_page.h"
#include "string_text.h"
#include "utf16.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace pelmora {
namespace {

using testing::EncodeCodePage936;

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

std::string Utf16LeBytes(std::u32string_view text) {
    std::string bytes;
    for (const char16_t unit : Utf16FromUtf8(EncodeUtf8(text))) {
        bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    }
    return bytes;
}

// A name with each Chinese character of code page 936 in turn: in GBK or UTF-16LE, where it is
// not UTF-8 from its start, the hint names the encoding it is in; in UTF-8 with a bad byte at
// the end, there is no hint.
TEST(InputTextTest, AnotherEncodingIsSuggestedOnlyForTextThatIsNotUtf8FromItsStart) {
    int gbkHints = 0;
    int utf16Hints = 0;
    for (char32_t character = 0x4E00; character <= 0x9FA5; ++character) {
        const std::u32string text = {U'刘', character, U'\n'};
        const std::optional<std::string> gbk = EncodeCodePage936(text);
        if (!gbk) {
            continue;
        }
        for (const auto& [bytes, encoding] :
             {std::pair{*gbk, TextEncoding::Gbk},
              std::pair{Utf16LeBytes(text), TextEncoding::Utf16Le}}) {
            const std::optional<std::size_t> bad = FindInvalidUtf8(bytes);
            if (bad && IsAscii(bytes.substr(0, *bad))) {
                ASSERT_EQ(LikelyEncoding(bytes, *bad, true), encoding) << std::hex << +character;
                ++(encoding == TextEncoding::Gbk ? gbkHints : utf16Hints);
            }
        }
        const std::string utf8 = EncodeUtf8(text) + "\xC3";
        ASSERT_EQ(LikelyEncoding(utf8, utf8.size() - 1, true), std::nullopt);
        const std::string ascii = "abc" + EncodeUtf8(std::u32string{character}).substr(0, 1);
        ASSERT_EQ(LikelyEncoding(ascii, 3, true), std::nullopt) << std::hex << +character;
    }
    EXPECT_GT(gbkHints, 20000);
    EXPECT_GT(utf16Hints, 5000);
}

TEST(InputTextTest, MessagesNameTheEncodingTheOffsetAndTheBytes) {
    EXPECT_EQ(InvalidInputMessage(TextEncoding::Utf8, 9, "\xC3", "刘德华\xC3", true),
              "the input is not valid UTF-8 (byte offset 9: C3)");
    const std::string gbk = *EncodeCodePage936(U"刘德华在广东");
    EXPECT_EQ(InvalidInputMessage(TextEncoding::Utf8, 0, gbk.substr(0, 2), gbk, true),
              "the input is not valid UTF-8 (byte offset 0: C1 F5); it reads as GBK, so try "
              "--from gbk");
    EXPECT_EQ(InvalidInputMessage(TextEncoding::Utf8, 2, "\xD1\x53",
                                  std::string_view("A\0\xD1\x53", 4), true),
              "the input is not valid UTF-8 (byte offset 2: D1 53); it reads as UTF-16LE "
              "without a byte order mark, so try --from utf-16le");
    EXPECT_EQ(InvalidInputMessage(TextEncoding::Gbk, 2, "\x81", "ab\x81", true),
              "the input is not valid GBK (byte offset 2: 81)");
}

} // namespace
} // namespace pelmora
