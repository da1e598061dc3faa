#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-16, as window toolkits, the Windows console and the clipboard keep text.
namespace pelmora {

/// True for the first unit of a surrogate pair (D800-DBFF).
constexpr bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

/// True for the second unit of a surrogate pair (DC00-DFFF).
constexpr bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

/// The code point a high and a low surrogate stand for together.
constexpr char32_t CodePointOfPair(char32_t high, char32_t low) {
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

/// Writes the UTF-16 units of `character` to `out`, which has room for two: a pair above U+FFFF,
/// U+FFFD for a lone surrogate or a value above U+10FFFF. Returns how many units it wrote.
std::size_t WriteUtf16(char32_t character, char16_t* out);

/// Appends the UTF-16 units of `character`: a pair above U+FFFF, U+FFFD for a lone surrogate
/// or a value above U+10FFFF.
void AppendUtf16(char32_t character, std::u16string& out);

/// UTF-16 of UTF-8 text; each byte that starts no valid sequence becomes U+FFFD.
std::u16string Utf16FromUtf8(std::string_view utf8);

/// UTF-8 of UTF-16 units. A surrogate pair becomes its one code point; a lone surrogate becomes
/// U+FFFD, which code page 936 cannot represent, so it converts to the placeholder instead of
/// being looked up as some other character.
std::string Utf8FromUtf16(std::u16string_view units);

/// Characters (code points) in the first `units` units of `text`: a surrogate pair counts once,
/// a lone surrogate once. `Unit` is char16_t, or wchar_t where that is a UTF-16 unit (Windows).
template <typename Unit>
std::size_t CharacterCountOfUtf16(std::basic_string_view<Unit> text, std::size_t units) {
    std::size_t characters = 0;
    for (std::size_t at = 0; at < units && at < text.size(); ++at) {
        const bool secondOfPair =
            at > 0 && IsLowSurrogate(text[at]) && IsHighSurrogate(text[at - 1]);
        characters += secondOfPair ? 0 : 1;
    }
    return characters;
}

} // namespace pelmora
