#include "utf16.h"

#include "utf8.h"

namespace pelmora {

std::size_t WriteUtf16(char32_t character, char16_t* out) {
    if (character < 0x10000) {
        const bool surrogate = IsHighSurrogate(character) || IsLowSurrogate(character);
        out[0] = static_cast<char16_t>(surrogate ? kReplacementCharacter : character);
        return 1;
    }
    if (character <= 0x10FFFF) {
        const char32_t offset = character - 0x10000;
        out[0] = static_cast<char16_t>(0xD800 + (offset >> 10));
        out[1] = static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
        return 2;
    }
    out[0] = static_cast<char16_t>(kReplacementCharacter);
    return 1;
}

void AppendUtf16(char32_t character, std::u16string& out) {
    char16_t units[2];
    out.append(units, WriteUtf16(character, units));
}

std::u16string Utf16FromUtf8(std::string_view utf8) {
    std::u16string units;
    units.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        AppendUtf16(NextCodePoint(utf8, at), units);
    }
    return units;
}

std::string Utf8FromUtf16(std::u16string_view units) {
    std::string utf8;
    utf8.reserve(units.size() * 3);
    for (std::size_t at = 0; at < units.size(); ++at) {
        const char16_t unit = units[at];
        if (IsHighSurrogate(unit) && at + 1 < units.size() && IsLowSurrogate(units[at + 1])) {
            AppendUtf8(CodePointOfPair(unit, units[at + 1]), utf8);
            ++at;
        } else {
            AppendUtf8(unit, utf8); // a lone surrogate comes out as U+FFFD
        }
    }
    return utf8;
}

} // namespace pelmora
