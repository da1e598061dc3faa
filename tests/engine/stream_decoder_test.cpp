#include "stream_decoder.h"

#include "code_page.h"
#include "shift_jis.h"
#include "string_text.h"
#include "utf16.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <random>

namespace pelmora {
namespace {

using testing::DecodeToUtf8;
using testing::EncodeCodePage936;

constexpr TextEncoding kEncodings[] = {TextEncoding::Utf8,    TextEncoding::Gbk,
                                       TextEncoding::Gb18030, TextEncoding::Utf16Le,
                                       TextEncoding::Utf16Be, TextEncoding::ShiftJis};

struct Decoded {
    std::string utf8;
    std::optional<std::uint64_t> invalidAt;
    bool operator==(const Decoded&) const = default;
};

// Decodes `bytes` handed over in pieces of the sizes `pieceSize` gives in turn.
Decoded DecodeInPieces(std::string_view bytes, TextEncoding encoding, BadBytes bad,
                       const std::vector<std::size_t>& pieceSizes) {
    StreamDecoder decoder(encoding, bad);
    Decoded decoded;
    std::size_t turn = 0;
    for (std::size_t at = 0; at < bytes.size() && !decoder.InvalidAt();) {
        const std::size_t size = pieceSizes[turn++ % pieceSizes.size()];
        decoder.Decode(bytes.substr(at, size), decoded.utf8);
        at += size;
    }
    decoder.Finish(decoded.utf8);
    decoded.invalidAt = decoder.InvalidAt();
    return decoded;
}

std::string Utf16Bytes(std::u32string_view text, bool bigEndian) {
    std::u16string units;
    for (const char32_t character : text) {
        AppendUtf16(character, units);
    }
    std::string bytes;
    for (const char16_t unit : units) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// Every character of each encoding's whole repertoire reads back as itself, however the reads
// split the bytes.
TEST(StreamDecoderTest, EveryCharacterReadsBackWhateverTheSplit) {
    std::u32string codePage;
    std::u32string wide;
    for (char32_t character = 0; character < 0x10000; ++character) {
        if (CharCodeOf(character)) {
            codePage.push_back(character);
        }
        if (!IsHighSurrogate(character) && !IsLowSurrogate(character)) {
            wide.push_back(character);
        }
    }
    wide += U"\U0001F600\U00020000\U0010FFFF";
    ASSERT_GT(codePage.size(), 21000u);
    std::string shiftJis;
    std::string shiftJisUtf8;
    for (unsigned code = 0; code <= 0xFCFC; ++code) {
        if (const std::optional<char32_t> character =
                ShiftJisCharacter(static_cast<std::uint16_t>(code))) {
            shiftJis += code > 0xFF ? std::string{static_cast<char>(code >> 8),
                                                  static_cast<char>(code & 0xFF)}
                                    : std::string(1, static_cast<char>(code));
            AppendUtf8(*character, shiftJisUtf8);
        }
    }
    const std::vector<std::pair<TextEncoding, std::pair<std::string, std::string>>> cases = {
        {TextEncoding::Utf8, {EncodeUtf8(wide), EncodeUtf8(wide)}},
        {TextEncoding::Gbk, {*EncodeCodePage936(codePage), EncodeUtf8(codePage)}},
        {TextEncoding::Gb18030, {*EncodeCodePage936(codePage), EncodeUtf8(codePage)}},
        {TextEncoding::Utf16Le, {Utf16Bytes(wide, false), EncodeUtf8(wide)}},
        {TextEncoding::Utf16Be, {Utf16Bytes(wide, true), EncodeUtf8(wide)}},
        {TextEncoding::ShiftJis, {shiftJis, shiftJisUtf8}},
    };
    for (const auto& [encoding, texts] : cases) {
        const auto& [bytes, utf8] = texts;
        for (const std::vector<std::size_t>& split :
             {std::vector<std::size_t>{1}, {3}, {65536}, {1, 2, 5, 4}}) {
            const Decoded decoded = DecodeInPieces(bytes, encoding, BadBytes::Stop, split);
            EXPECT_EQ(decoded.invalidAt, std::nullopt) << static_cast<int>(encoding);
            EXPECT_TRUE(decoded.utf8 == utf8) << static_cast<int>(encoding) << " " << split[0];
        }
    }
    EXPECT_EQ(DecodeToUtf8("\x81\x30\x81\x30"
                           "A",
                           TextEncoding::Gb18030),
              "\uFFFDA")
        << "a four-byte GB18030 character is one character no table holds";
}

// Splitting never changes a result: random bytes, in every encoding and both ways of handling
// bad bytes, decode the same whole and one byte at a time; stopping stops at the first bad byte
// with everything before it decoded.
TEST(StreamDecoderTest, SplittingNeverChangesTheResult) {
    const char pool[] = {'A',    '\n',   '\0',   '\x30', '\x81', '\x9F', '\xA1', '\xB7',
                         '\xC3', '\xD8', '\xDC', '\xE4', '\xB8', '\xAD', '\xF0', '\x9F',
                         '\x80', '\xFE', '\xFF', '\x40', '\xE0', '\xED', '\xA0', '\xF4'};
    std::mt19937 random(20261207);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        const std::size_t length = random() % 16;
        while (bytes.size() < length) {
            bytes.push_back(pool[random() % std::size(pool)]);
        }
        for (const TextEncoding encoding : kEncodings) {
            for (const BadBytes bad : {BadBytes::Stop, BadBytes::Replace}) {
                const Decoded whole = DecodeInPieces(bytes, encoding, bad, {bytes.size() + 1});
                ASSERT_EQ(DecodeInPieces(bytes, encoding, bad, {1}), whole)
                    << static_cast<int>(encoding) << ' ' << ::testing::PrintToString(bytes);
                ASSERT_EQ(FindInvalidUtf8(whole.utf8), std::nullopt);
                if (bad == BadBytes::Replace) {
                    ASSERT_EQ(whole.invalidAt, std::nullopt);
                } else if (whole.invalidAt) {
                    ASSERT_EQ(whole.utf8, DecodeToUtf8(bytes.substr(0, *whole.invalidAt), encoding))
                        << "what comes before the bad byte decodes on its own";
                }
            }
        }
        const Decoded utf8 = DecodeInPieces(bytes, TextEncoding::Utf8, BadBytes::Stop, {1});
        ASSERT_EQ(utf8.invalidAt, FindInvalidUtf8(bytes));
        ASSERT_EQ(DecodeToUtf8(bytes, TextEncoding::Utf8), EncodeUtf8(DecodeUtf8(bytes)));
        const Decoded shiftJis = DecodeInPieces(bytes, TextEncoding::ShiftJis, BadBytes::Stop, {1});
        ASSERT_EQ(shiftJis.invalidAt.has_value(), !DecodeShiftJis(bytes).has_value());
    }
}

} // namespace
} // namespace pelmora
