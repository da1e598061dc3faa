#include "encoding_hint.h"

#include "code_page.h"
#include "stream_decoder.h"
#include "utf8.h"

#include <algorithm>
#include <string>

namespace pelmora {

namespace {

// How a text reads in one encoding: its characters, those that common Chinese and ASCII text
// is made of, and those that are Chinese without being common.
struct Reading {
    TextEncoding encoding;
    std::size_t characters = 0;
    std::size_t common = 0;
    std::size_t otherChinese = 0;
    std::size_t fourByte = 0; ///< GB18030's own characters, which GBK lacks

    std::size_t Uncommon() const { return characters - common; }
    // Mostly Chinese and ASCII: at least three characters in four.
    bool Mostly() const { return 4 * (common + otherChinese) >= 3 * characters; }
};

bool IsPrintableAscii(char32_t byte) {
    return byte >= 0x20 && byte < 0x7F;
}

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

// Whether `tail`, all that follows the first bad byte of a whole text, is the beginning of one
// UTF-8 character: a text cut short in the middle of its last character.
bool IsCutUtf8Character(std::string_view tail) {
    const std::size_t wanted = Utf8SequenceLength(static_cast<unsigned char>(tail.front()));
    return wanted > tail.size() && std::all_of(tail.begin() + 1, tail.end(), [](char byte) {
               return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
           });
}

// What plain text is never made of: control characters but tab and line breaks, private use,
// noncharacters, and U+FFFD, which stands for bytes that were no character.
bool IsNoPlainText(char32_t character) {
    if (character < 0x20) {
        return character != '\t' && character != '\n' && character != '\r';
    }
    return (character >= 0x7F && character < 0xA0) ||
           (character >= 0xE000 && character <= 0xF8FF) || character == kReplacementCharacter ||
           character == 0xFFFE || character == 0xFFFF;
}

// Printable ASCII and line breaks, and the characters of GB2312 (code page 936's rows A1 to F7
// with trail bytes from A1): the hanzi, punctuation and kana of everyday Chinese text.
bool IsCommon(char32_t character) {
    if (character < 0x80) {
        return IsPrintableAscii(character) || character == '\t' || character == '\n' ||
               character == '\r';
    }
    const std::optional<CharCode> code = CharCodeOf(character);
    if (!code || *code >= 0) {
        return false;
    }
    const auto bytes = static_cast<std::uint16_t>(*code);
    const unsigned lead = bytes >> 8;
    const unsigned trail = bytes & 0xFF;
    return lead >= 0xA1 && lead <= 0xF7 && trail >= 0xA1;
}

// The blocks of Chinese, Japanese and Korean ideographs, their punctuation, kana and full-width
// forms.
bool IsChinese(char32_t character) {
    return (character >= 0x2E80 && character <= 0x33FF) ||
           (character >= 0x3400 && character <= 0x4DBF) ||
           (character >= 0x4E00 && character <= 0x9FFF) ||
           (character >= 0xF900 && character <= 0xFAFF) ||
           (character >= 0xFE30 && character <= 0xFE4F) ||
           (character >= 0xFF00 && character <= 0xFFEF) ||
           (character >= 0x20000 && character <= 0x3FFFF);
}

// How `bytes` read in `encoding`; nothing when they are no text in it. Read as GB18030, U+FFFD
// is one of its four-byte characters (nearly all of them ideographs), which Pelmora reads as
// misses.
std::optional<Reading> ReadAs(TextEncoding encoding, std::string_view bytes, bool complete) {
    StreamDecoder decoder(encoding, BadBytes::Stop);
    std::string utf8;
    if (!decoder.Decode(bytes, utf8) || (complete && !decoder.Finish(utf8))) {
        return std::nullopt;
    }
    Reading reading{encoding};
    for (std::size_t at = 0; at < utf8.size(); ++reading.characters) {
        const char32_t character = NextCodePoint(utf8, at);
        const bool fourByte =
            encoding == TextEncoding::Gb18030 && character == kReplacementCharacter;
        reading.fourByte += fourByte ? 1 : 0;
        if (fourByte || IsChinese(character)) {
            ++(IsCommon(character) ? reading.common : reading.otherChinese);
        } else if (IsNoPlainText(character)) {
            return std::nullopt;
        } else if (IsCommon(character)) {
            ++reading.common;
        }
    }
    return reading;
}

} // namespace

std::optional<TextEncoding> LikelyEncoding(std::string_view readSoFar, std::uint64_t invalidAt,
                                           bool complete) {
    if (invalidAt >= readSoFar.size() || !IsAscii(readSoFar.substr(0, invalidAt)) ||
        (complete && IsCutUtf8Character(readSoFar.substr(invalidAt)))) {
        return std::nullopt;
    }
    std::optional<Reading> best;
    bool tied = false;
    for (const TextEncoding encoding :
         {TextEncoding::Gbk, TextEncoding::Gb18030, TextEncoding::Utf16Le, TextEncoding::Utf16Be}) {
        const std::optional<Reading> reading = ReadAs(encoding, readSoFar, complete);
        // GB18030 reads text without four-byte characters as GBK does; it is named for those.
        const bool gbkAlike = encoding == TextEncoding::Gb18030 && reading && !reading->fourByte;
        if (!reading || !reading->Mostly() || gbkAlike) {
            continue;
        }
        if (best && reading->Uncommon() == best->Uncommon()) {
            tied = true;
        } else if (!best || reading->Uncommon() < best->Uncommon()) {
            best = reading;
            tied = false;
        }
    }
    if (!best || tied) {
        return std::nullopt;
    }
    return best->encoding;
}

} // namespace pelmora
