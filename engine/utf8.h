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

/// How many bytes at the end of `bytes` begin a multi-byte sequence that the end cuts short
/// (0 to 3): what a reader keeps back until the next read brings the rest.
std::size_t CutUtf8Tail(std::string_view bytes);

/// The code point at `at`, moving `at` past it. Each byte that does not start a valid sequence
/// is one U+FFFD on its own, so a walk always moves on.
char32_t NextCodePoint(std::string_view bytes, std::size_t& at);

/// Appends the UTF-8 of `character` (U+FFFD for a lone surrogate or a value above U+10FFFF).
void AppendUtf8(char32_t character, std::string& out);

/// UTF-8 of `text`.
std::string EncodeUtf8(std::u32string_view text);

/// Code points of valid UTF-8 `bytes` (invalid bytes become U+FFFD).
std::u32string DecodeUtf8(std::string_view bytes);

} // namespace pelmora
