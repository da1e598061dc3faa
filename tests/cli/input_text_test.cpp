#include "input_text.h"

#include "string_text.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

using testing::EncodeCodePage936;

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
    EXPECT_EQ(InvalidInputMessage(TextEncoding::Utf8, 0, "\x94", "\x94\x9F\x6C\x49\x82\x6F", true),
              "the input is not valid UTF-8 (byte offset 0: 94); it reads as UTF-16BE without a "
              "byte order mark, so try --from utf-16be")
        << "钟汉良 in UTF-16BE";
    EXPECT_EQ(InvalidInputMessage(TextEncoding::Utf8, 0, "\xC1", gbk + "\x95\x32\x82\x36", true),
              "the input is not valid UTF-8 (byte offset 0: C1); it reads as GB18030, so try "
              "--from gb18030")
        << "刘德华在广东𠀀 in GB18030";
    EXPECT_EQ(InvalidInputMessage(TextEncoding::Gbk, 2, "\x81", "ab\x81", true),
              "the input is not valid GBK (byte offset 2: 81)");
}

} // namespace
} // namespace pelmora
