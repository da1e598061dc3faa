#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

/// The code of one character in code page 936 (GBK) as a signed 16-bit number: a single-byte
/// character has its byte value, a double-byte character lead * 256 + trail in two's
/// complement, so every double-byte code is negative. 中 is -10544, ！ is -23647.
using CharCode = std::int16_t;

/// Shown for a character that the tables cannot hold or a record that holds no character.
inline constexpr char32_t kPlaceholder = U'\u25A1'; // □

/// True for the lead bytes of code page 936's double-byte characters.
constexpr bool IsLeadByte(std::uint8_t byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

/// The code of `character` in code page 936, or nothing when the code page cannot represent it
/// (an emoji, an ideograph outside GBK, a lone surrogate). Never a substituted "?".
std::optional<CharCode> CharCodeOf(char32_t character);

/// The character that code page 936 `code` stands for (a byte value below 0x100, or lead * 256 +
/// trail), or nothing when those bytes are no character of the code page.
std::optional<char32_t> CodePage936Character(std::uint16_t code);

/// Writes the code page 936 bytes of `character` to `out`, which has room for two; returns how
/// many, or 0 when the code page cannot represent it.
std::size_t WriteCodePage936(char32_t character, char* out);

/// Appends the code page 936 bytes of `character`; false (and nothing appended) when the code
/// page cannot represent it.
bool AppendCodePage936(char32_t character, std::string& out);

} // namespace pelmora
