#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

/// The encodings pelmora-convert reads.
enum class InputEncoding { Utf8, Gbk, Utf16Le, Utf16Be };

/// The encoding for a --from name: utf-8, gbk (or cp936, gb2312: code page 936), utf-16le,
/// utf-16be, in any letter case; nothing for any other name.
std::optional<InputEncoding> EncodingByName(std::string_view name);

/// The name users know an encoding by, for messages ("UTF-8", "GBK", ...).
std::string_view EncodingDisplayName(InputEncoding encoding);

/// The input as UTF-8, or where it stops being valid in the encoding it was read as.
struct DecodedInput {
    InputEncoding encoding = InputEncoding::Utf8;
    /// The text as UTF-8 without a leading byte order mark; after a failure, the bytes as read.
    std::string text;
    std::optional<std::size_t> invalidAt; ///< byte offset in the input of the first bad byte
};

/// Decodes the input bytes, taking them over: UTF-8 input becomes the text without a copy.
/// With no `asked` encoding, UTF-16 is recognised by its byte order mark and anything else is
/// read as UTF-8. A byte order mark at the very start of UTF-8 or of the matching UTF-16 is
/// dropped; anywhere else U+FEFF is a character like any other.
DecodedInput DecodeInput(std::string bytes, std::optional<InputEncoding> asked);

/// The message for input that is not valid in its encoding (`decoded` after a failure); for
/// input that is not UTF-8 but reads as GBK throughout, it suggests --from gbk.
std::string InvalidInputMessage(const DecodedInput& decoded);

/// The bytes of a file ("-" for standard input), or nothing after telling the user on standard
/// error why they could not be read.
std::optional<std::string> ReadInputBytes(const std::filesystem::path& path);

} // namespace pelmora
