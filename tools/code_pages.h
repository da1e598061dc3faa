#pragma once

#include <unicode/ucnv.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora::tables {

// One ICU converter restricted to round-trip mappings. Both directions stop at the first
// unmapped character instead of substituting, and fallback mappings are switched off, so a
// character is accepted only when its bytes lead back to it and it leads back to its bytes.
class StrictCodePage {
public:
    explicit StrictCodePage(const char* icuName);

    // The one character the bytes stand for, when the bytes are exactly one character whose
    // round-trip encoding is these same bytes.
    std::optional<UChar32> Decode(std::string_view bytes) const;

    // The bytes of c, when c has a round-trip mapping in this code page.
    std::optional<std::string> Encode(UChar32 c) const;

    // The one character the bytes stand for as a reader of this code page reads them, reverse
    // fallbacks included (ICU applies them whatever the fallback flag says); nothing unless the
    // bytes are exactly one character.
    std::optional<UChar32> DecodeAny(std::string_view bytes) const;

    // The bytes ICU writes for c, which for a private-use code point may be a fallback; nothing
    // when it writes none.
    std::optional<std::string> EncodeAny(UChar32 c) const;

private:
    struct Closer {
        void operator()(UConverter* converter) const { ucnv_close(converter); }
    };

    std::unique_ptr<UConverter, Closer> m_converter;
};

// ICU names of the two code pages Pelmora works with: the Simplified-Chinese desktop and the
// Shift-JIS code the Japanese games read, both as Windows maps them to Unicode.
inline constexpr const char* kDesktopCodePage = "windows-936";
inline constexpr const char* kShiftJisCodePage = "windows-932";

// True when the Shift-JIS lead byte belongs to a JIS X 0208 row: rows 1-8 (0x81-0x84) and the
// kanji rows 16-84 (0x88-0x9F, 0xE0-0xEA). Code page 932 adds vendor rows outside these: NEC
// row 13 (0x87), the NEC-selected IBM rows 89-92 (0xED-0xEE), user-defined rows (0xF0-0xF9)
// and the IBM extensions (0xFA-0xFC).
bool IsJisX0208Lead(std::uint8_t lead);

// True for NEC row 13 (0x87): circled numbers, Roman numerals, № and other signs.
bool IsNecRow13Lead(std::uint8_t lead);

// True for the extension kanji rows of code page 932: the NEC-selected IBM extensions
// (0xED-0xEE) and the IBM extensions (0xFA-0xFC).
bool IsExtensionLead(std::uint8_t lead);

// The character as UTF-8, for reports.
std::string Utf8(UChar32 c);

} // namespace pelmora::tables
