#include "encoding_hint.h"

#include "code_page.h"
#include "stream_decoder.h"
#include "stream_encoder.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace pelmora {
namespace {

constexpr TextEncoding kHinted[] = {TextEncoding::Gbk, TextEncoding::Gb18030, TextEncoding::Utf16Le,
                                    TextEncoding::Utf16Be};

// GB18030's four-byte code of a character beyond the Basic Multilingual Plane: its distance
// from U+10000, counted on from 90 30 81 30, with digits of 10, 126 and 10 bytes.
std::string Gb18030FourBytes(char32_t character) {
    std::uint32_t index = character - 0x10000 + 189000;
    std::string bytes(4, '\0');
    bytes[3] = static_cast<char>(0x30 + index % 10);
    index /= 10;
    bytes[2] = static_cast<char>(0x81 + index % 126);
    index /= 126;
    bytes[1] = static_cast<char>(0x30 + index % 10);
    bytes[0] = static_cast<char>(0x81 + index / 10);
    return bytes;
}

// `text` in `encoding`; GB18030 as GBK where GBK has the character.
std::string Encoded(std::u32string_view text, TextEncoding encoding) {
    const StreamEncoder encoder(encoding == TextEncoding::Gb18030 ? TextEncoding::Gbk : encoding);
    std::string bytes;
    for (const char32_t character : text) {
        char written[StreamEncoder::kMostBytes];
        const std::size_t length = encoder.Write(character, written);
        bytes += length > 0 ? std::string(written, length) : Gb18030FourBytes(character);
    }
    return bytes;
}

// The text Pelmora reads from `bytes` in `encoding` (all of them, or up to a character they
// cut short when they are not `complete`), or nothing when it cannot.
std::optional<std::u32string> Decoded(std::string_view bytes, TextEncoding encoding,
                                      bool complete = true) {
    StreamDecoder decoder(encoding, BadBytes::Stop);
    std::string utf8;
    if (!decoder.Decode(bytes, utf8) || (complete && !decoder.Finish(utf8))) {
        return std::nullopt;
    }
    return DecodeUtf8(utf8);
}

// What reading `text`, written in `encoding`, should give: itself, but for GB18030's four-byte
// characters, which Pelmora reads as U+FFFD (misses).
std::u32string AsRead(std::u32string text, TextEncoding encoding) {
    if (encoding == TextEncoding::Gb18030) {
        std::replace_if(
            text.begin(), text.end(), [](char32_t c) { return !CharCodeOf(c); },
            kReplacementCharacter);
    }
    return text;
}

// Hints for texts written in each encoding: how many were right, and how many texts were not
// UTF-8 from their start, so that a hint was asked for.
struct HintCounts {
    int asked = 0;
    int right = 0;
};

// Asks for a hint on `text` written in `encoding`, read whole or only its first `readSoFar`
// bytes. A hint given must read the bytes back to the text: right or absent, never wrong.
void CheckHint(std::u32string_view text, TextEncoding encoding, HintCounts& counts) {
    const std::string bytes = Encoded(text, encoding);
    const std::optional<std::size_t> bad = FindInvalidUtf8(bytes);
    if (!bad) {
        return; // read as UTF-8 without a fault: no hint is asked for
    }
    const std::optional<TextEncoding> hint = LikelyEncoding(bytes, *bad, true);
    const bool fromItsStart = std::all_of(bytes.begin(), bytes.begin() + *bad, [](char b) {
        return static_cast<unsigned char>(b) < 0x80;
    });
    counts.asked += fromItsStart ? 1 : 0;
    if (hint) {
        ASSERT_EQ(Decoded(bytes, *hint), AsRead(std::u32string(text), encoding))
            << EncodeUtf8(text) << " in " << EncodingDisplayName(encoding) << ", hinted "
            << EncodingDisplayName(*hint);
        ++counts.right;
    }
}

std::vector<char32_t> Gb2312Hanzi() {
    std::vector<char32_t> hanzi;
    for (int lead = 0xB0; lead <= 0xF7; ++lead) {
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            const std::optional<char32_t> character =
                CodePage936Character(static_cast<std::uint16_t>(lead << 8 | trail));
            if (character && *character >= 0x4E00 && *character <= 0x9FFF) {
                hanzi.push_back(*character); // not the private-use codes at the end of row D7
            }
        }
    }
    return hanzi;
}

// Every GB2312 hanzi alone and in a name on a line of its own, in GBK, UTF-16LE and UTF-16BE,
// and every ideograph of CJK Extension B in such a name in GB18030 (four bytes): each hint
// given is right, and names that are not UTF-8 from their start all get one.
TEST(EncodingHintTest, HintsOverEveryHanziAreRightOrAbsent) {
    std::map<TextEncoding, HintCounts> alone;
    std::map<TextEncoding, HintCounts> named;
    for (const char32_t hanzi : Gb2312Hanzi()) {
        for (const TextEncoding encoding :
             {TextEncoding::Gbk, TextEncoding::Utf16Le, TextEncoding::Utf16Be}) {
            CheckHint(std::u32string{hanzi}, encoding, alone[encoding]);
            CheckHint(std::u32string{U'刘', hanzi, U'\n'}, encoding, named[encoding]);
        }
    }
    for (char32_t extension = 0x20000; extension <= 0x2A6DF; ++extension) {
        CheckHint(std::u32string{U'刘', extension, U'\n'}, TextEncoding::Gb18030,
                  named[TextEncoding::Gb18030]);
    }
    for (const TextEncoding encoding : kHinted) {
        SCOPED_TRACE(EncodingDisplayName(encoding));
        EXPECT_GT(named[encoding].asked, 1000);
        EXPECT_EQ(named[encoding].right, named[encoding].asked);
        std::printf("%s: names %d of %d hinted, alone %d of %d\n",
                    std::string(EncodingDisplayName(encoding)).c_str(), named[encoding].right,
                    named[encoding].asked, alone[encoding].right, alone[encoding].asked);
    }
}

// Running text in each encoding, read whole or only in part (a long input is judged on its
// first bytes): the whole gets its own encoding, every part a hint that reads it as the text's
// beginning, or none.
TEST(EncodingHintTest, RunningTextGetsItsOwnEncoding) {
    const std::u32string text = U"刘德华在广东发展，2024年发行新专辑《忘情水》。\n"
                                U"张学友、黎明和郭富城 (四大天王) 也在香港。\r\n";
    const std::u32string rare = U"𠀾𠁆𪚥";
    for (const TextEncoding encoding : kHinted) {
        SCOPED_TRACE(EncodingDisplayName(encoding));
        const std::u32string written =
            encoding == TextEncoding::Gb18030 ? text + rare + text : text;
        const std::string bytes = Encoded(written, encoding);
        const std::size_t bad = FindInvalidUtf8(bytes).value();
        EXPECT_EQ(LikelyEncoding(bytes, bad, true), encoding);
        for (std::size_t part = bad + 1; part < bytes.size(); ++part) {
            const std::string_view read = std::string_view(bytes).substr(0, part);
            const std::optional<TextEncoding> hint = LikelyEncoding(read, bad, false);
            const std::optional<std::u32string> beginning =
                hint ? Decoded(read, *hint, false) : std::nullopt;
            EXPECT_TRUE(!hint || (beginning && AsRead(written, encoding).starts_with(*beginning)))
                << part << " bytes, hinted " << EncodingDisplayName(*hint);
        }
    }
}

// UTF-8 with a bad byte after non-ASCII text, ASCII followed by the start of a UTF-8 character,
// and bytes that no encoding reads as text get none.
TEST(EncodingHintTest, NoHintForUtf8OrForBytesThatAreNoText) {
    for (const char32_t hanzi : Gb2312Hanzi()) {
        const std::string utf8 = EncodeUtf8(std::u32string{U'刘', hanzi}) + "\xC3";
        ASSERT_EQ(LikelyEncoding(utf8, utf8.size() - 1, true), std::nullopt);
        const std::string ascii = "abc" + EncodeUtf8(std::u32string{hanzi}).substr(0, 1);
        ASSERT_EQ(LikelyEncoding(ascii, 3, true), std::nullopt);
    }
    EXPECT_EQ(LikelyEncoding(std::string("\x80\x00\x01\xFF\xFE", 5), 0, true), std::nullopt);
}

} // namespace
} // namespace pelmora
