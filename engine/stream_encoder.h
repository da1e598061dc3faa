#pragma once

#include "code_page.h"
#include "text_encoding.h"
#include "utf8.h"

#include <cstddef>

namespace pelmora {

/// Writes characters in one of the encodings: the counterpart of StreamDecoder, for output.
/// Every character is written whole, so nothing is kept between calls.
class StreamEncoder {
public:
    /// The most bytes one character takes in any encoding written.
    static constexpr std::size_t kMostBytes = 4;

    /// An encoder for `encoding`: UTF-8, GBK (code page 936), UTF-16LE or UTF-16BE. GB18030 and
    /// Shift-JIS are only read; asking to write them throws std::invalid_argument.
    explicit StreamEncoder(TextEncoding encoding);

    TextEncoding Encoding() const { return m_encoding; }

    /// Writes the bytes of `character` to `out`, which has room for kMostBytes; returns how many,
    /// or 0 when the encoding cannot represent it (a character code page 936 lacks). UTF-8 and
    /// UTF-16 write U+FFFD for a lone surrogate or a value above U+10FFFF. Inline, because
    /// output writers call it for every character.
    std::size_t Write(char32_t character, char* out) const {
        switch (m_encoding) {
        case TextEncoding::Gbk:
            return WriteCodePage936(character, out);
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            return WriteUtf16(character, out);
        default:
            return WriteUtf8(character, out);
        }
    }

private:
    std::size_t WriteUtf16(char32_t character, char* out) const;

    TextEncoding m_encoding;
};

} // namespace pelmora
