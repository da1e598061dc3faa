#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// The byte encodings of text that Pelmora reads or writes: their names and their byte order
// marks. StreamDecoder reads them, StreamEncoder writes them.
namespace pelmora {

/// The byte encodings of text.
enum class TextEncoding {
    Utf8,
    Gbk,     ///< code page 936
    Gb18030, ///< read as code page 936; each four-byte character is U+FFFD, which converts to a
             ///< miss
    Utf16Le,
    Utf16Be,
    ShiftJis, ///< code page 932, as a Japanese program reads Pelmora's code text
};

/// The encoding a user names: utf-8 (or utf8), gbk (or cp936, gb2312), gb18030, utf-16le,
/// utf-16be, shift-jis (or shift_jis, sjis, cp932), in any letter case; nothing for any other
/// name.
std::optional<TextEncoding> EncodingByName(std::string_view name);

/// The first name EncodingByName knows `encoding` by ("utf-8", "gbk", "utf-16le", ...), as a
/// user gives it; its display name for an encoding read by no name (Shift-JIS).
std::string_view EncodingName(TextEncoding encoding);

/// The name users know an encoding by, for messages ("UTF-8", "GBK", ...).
std::string_view EncodingDisplayName(TextEncoding encoding);

/// A byte order mark at the start of a text: the encoding it announces and its length in bytes.
struct ByteOrderMark {
    TextEncoding encoding = TextEncoding::Utf8;
    std::size_t length = 0;
};

/// The byte order mark that `start` begins with (UTF-8, UTF-16LE or UTF-16BE), if any.
std::optional<ByteOrderMark> FindByteOrderMark(std::string_view start);

/// Whether more bytes could still make `start` a byte order mark (it is the beginning of one
/// but shorter): a reader whose first read brought only these waits for more before deciding.
bool CouldBeginByteOrderMark(std::string_view start);

} // namespace pelmora
