#include "text_encoding.h"

#include "code_page.h"
#include "stream_decoder.h"
#include "stream_encoder.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace pelmora {
namespace {

TEST(TextEncodingTest, EncodingNames) {
    for (const char* name : {"UTF-8", "utf8", "Utf8"}) {
        EXPECT_EQ(EncodingByName(name), TextEncoding::Utf8) << name;
    }
    for (const char* name : {"gbk", "CP936", "gb2312"}) {
        EXPECT_EQ(EncodingByName(name), TextEncoding::Gbk) << name;
    }
    EXPECT_EQ(EncodingByName("GB18030"), TextEncoding::Gb18030);
    EXPECT_EQ(EncodingByName("utf-16LE"), TextEncoding::Utf16Le);
    EXPECT_EQ(EncodingByName("utf-16be"), TextEncoding::Utf16Be);
    for (const char* name : {"Shift-JIS", "shift_jis", "SJIS", "cp932"}) {
        EXPECT_EQ(EncodingByName(name), TextEncoding::ShiftJis) << name;
    }
    for (const char* name : {"", "utf8x", "utf-16", "latin1", "shiftjis"}) {
        EXPECT_FALSE(EncodingByName(name)) << name;
    }
}

TEST(TextEncodingTest, ByteOrderMarks) {
    EXPECT_EQ(FindByteOrderMark("\xEF\xBB\xBF"
                                "a")
                  ->encoding,
              TextEncoding::Utf8);
    EXPECT_EQ(FindByteOrderMark("\xFF\xFE")->encoding, TextEncoding::Utf16Le);
    EXPECT_EQ(FindByteOrderMark("\xFE\xFF\x00")->length, 2u);
    EXPECT_FALSE(FindByteOrderMark("\xEF\xBB"));
    EXPECT_FALSE(FindByteOrderMark("a\xFF\xFE"));
    for (const std::string_view start : {"", "\xEF", "\xEF\xBB", "\xFF", "\xFE"}) {
        EXPECT_TRUE(CouldBeginByteOrderMark(start)) << start.size();
    }
    for (const std::string_view start : {"\xEF\xBB\xBF", "\xFF\xFE", "a", "\xEF\xBC", "\xFE\xFE"}) {
        EXPECT_FALSE(CouldBeginByteOrderMark(start)) << start.size();
    }
}

// Every code point the encoder writes reads back through the decoder of the same encoding as
// itself, and code page 936 refuses exactly the characters it has no code for.
TEST(TextEncodingTest, WhatTheEncoderWritesTheDecoderReadsBack) {
    for (const TextEncoding encoding :
         {TextEncoding::Utf8, TextEncoding::Gbk, TextEncoding::Utf16Le, TextEncoding::Utf16Be}) {
        SCOPED_TRACE(EncodingDisplayName(encoding));
        const StreamEncoder encoder(encoding);
        std::string bytes;
        std::u32string written;
        for (char32_t character = 0; character <= 0x10FFFF; ++character) {
            if (character >= 0xD800 && character <= 0xDFFF) {
                continue;
            }
            char out[StreamEncoder::kMostBytes];
            const std::size_t length = encoder.Write(character, out);
            ASSERT_EQ(length == 0, encoding == TextEncoding::Gbk && !CharCodeOf(character))
                << std::hex << +character;
            if (length > 0) {
                bytes.append(out, length);
                written.push_back(character);
            }
        }
        StreamDecoder decoder(encoding, BadBytes::Stop);
        std::string utf8;
        ASSERT_TRUE(decoder.Decode(bytes, utf8));
        ASSERT_TRUE(decoder.Finish(utf8));
        EXPECT_TRUE(DecodeUtf8(utf8) == written);
    }
    EXPECT_THROW(StreamEncoder{TextEncoding::ShiftJis}, std::invalid_argument);
    EXPECT_THROW(StreamEncoder{TextEncoding::Gb18030}, std::invalid_argument);
}

} // namespace
} // namespace pelmora
