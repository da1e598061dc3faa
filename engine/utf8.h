#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

/// Stands for bytes that are not UTF-8 and for code points that UTF-8 cannot carry.
inline constexpr char32_t kReplacementCharacter = U'\uFFFD';

/// The byte offset of the first byte that is not part of valid UTF-8, or nothing when all of
/// `bytes` is valid. Strict: no overlong forms, no surrogates, nothing above U+10FFFF.
std::optional<std::size_t> FindInvalidUtf8(std::string_view bytes);

/// The length of the sequence that `lead` begins: 2 to 4, or 1 for ASCII and for a byte that
/// begins no valid sequence.
constexpr std::size_t Utf8SequenceLength(unsigned char lead) {
    return lead >= 0xF0 && lead <= 0xF4   ? 4
           : lead >= 0xE0 && lead <= 0xEF ? 3
           : lead >= 0xC2 && lead <= 0xDF ? 2
                                          : 1;
}

/// How many bytes at the end of `bytes` begin a multi-byte sequence that the end cuts short
/// (0 to 3): what a reader keeps back until the next read brings the rest.
std::size_t CutUtf8Tail(std::string_view bytes);

/// The code point at `at`, moving `at` past it. Each byte that does not start a valid sequence
/// is one U+FFFD on its own, so a walk always moves on.
char32_t NextCodePoint(std::string_view bytes, std::size_t& at);

/// Writes the UTF-8 of `character` (U+FFFD for a lone surrogate or a value above U+10FFFF) to
/// `out`, which has room for four bytes; returns how many bytes it wrote. Inline, because output
/// writers call it for every character.
inline std::size_t WriteUtf8(char32_t character, char* out) {
    if (character < 0x80) {
        out[0] = static_cast<char>(character);
        return 1;
    }
    if (character < 0x800) {
        out[0] = static_cast<char>(0xC0 | character >> 6);
        out[1] = static_cast<char>(0x80 | (character & 0x3F));
        return 2;
    }
    if (character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF)) {
        character = kReplacementCharacter;
    }
    if (character < 0x10000) {
        out[0] = static_cast<char>(0xE0 | character >> 12);
        out[1] = static_cast<char>(0x80 | (character >> 6 & 0x3F));
        out[2] = static_cast<char>(0x80 | (character & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | character >> 18);
    out[1] = static_cast<char>(0x80 | (character >> 12 & 0x3F));
    out[2] = static_cast<char>(0x80 | (character >> 6 & 0x3F));
    out[3] = static_cast<char>(0x80 | (character & 0x3F));
    return 4;
}

/// Appends the UTF-8 of `character` (U+FFFD for a lone surrogate or a value above U+10FFFF).
void AppendUtf8(char32_t character, std::string& out);

/// UTF-8 of `text`.
std::string EncodeUtf8(std::u32string_view text);

/// Code points of valid UTF-8 `bytes` (invalid bytes become U+FFFD).
std::u32string DecodeUtf8(std::string_view bytes);

} // namespace pelmora
