#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

/// True for the bytes that begin a double-byte Shift-JIS character: 81-9F and E0-FC.
constexpr bool IsShiftJisLeadByte(std::uint8_t byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

/// The character Shift-JIS `code` stands for (a byte value below 0x100, or lead * 256 + trail),
/// or nothing when those bytes are no character.
std::optional<char32_t> ShiftJisCharacter(std::uint16_t code);

/// The Shift-JIS code of `character` (a byte value below 0x100, or lead * 256 + trail), or
/// nothing when code page 932 has none. Where it has several (a sign in JIS X 0208 and in NEC
/// row 13, a kanji in both extension rows), the code Windows writes: JIS X 0208 first, then
/// NEC row 13, then the IBM extension rows FA-FC before their NEC-selected copies in ED-EE.
std::optional<std::uint16_t> ShiftJisCode(char32_t character);

/// What a Japanese program on Windows reads in `bytes`: a strict code page 932 (Shift-JIS)
/// decoding. Nothing when any byte or pair is no character (a lead byte at the end included).
/// Pelmora writes its Japanese code text for exactly this reader.
std::optional<std::u32string> DecodeShiftJis(std::string_view bytes);

} // namespace pelmora
