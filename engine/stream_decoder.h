#pragma once

#include "text_encoding.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Bytes in any of the encodings Pelmora reads, turned into UTF-8 as they arrive.
namespace pelmora {

/// What a decoder does at bytes that are no character of its encoding.
enum class BadBytes {
    Stop,    ///< stop there and tell where (reading input)
    Replace, ///< put U+FFFD in their place and go on (showing text): one for each byte, but one
             ///< for a lead byte and the trail byte after it that make no character
};

/// Decodes a stream of bytes that comes in pieces of any size: a character that the end of one
/// piece cuts is kept until the next piece brings the rest.
class StreamDecoder {
public:
    /// `offset`: where in the whole stream the first byte handed over stands, for InvalidAt
    /// (after a byte order mark that the caller took off).
    StreamDecoder(TextEncoding encoding, BadBytes bad, std::uint64_t offset = 0);

    /// Appends the UTF-8 of every whole character in what was kept and `bytes` to `utf8`.
    /// False at the first bad byte when stopping there (the characters before it are
    /// appended); every later call is then false too.
    bool Decode(std::string_view bytes, std::string& utf8);

    /// Ends the stream: a character left unfinished is a bad byte.
    bool Finish(std::string& utf8);

    /// Where in the stream the first bad byte stands, once a decoder stopped there.
    std::optional<std::uint64_t> InvalidAt() const { return m_invalidAt; }

    /// The bytes of the first bad character (the bad byte and those that go with it in the
    /// encoding: continuation bytes, a trail byte, the rest of a unit), as far as handed over.
    const std::string& InvalidBytes() const { return m_invalidBytes; }

private:
    std::size_t DecodeSome(std::string_view bytes, bool last, std::string& utf8);
    std::size_t DecodeUtf8Bytes(std::string_view bytes, bool last, std::string& utf8);
    std::size_t DecodeDoubleByte(std::string_view bytes, bool last, std::string& utf8);
    std::size_t DecodeUtf16(std::string_view bytes, bool last, std::string& utf8);
    // Handles the bad character of `length` bytes at `at`: true to go on past its first byte
    // (replacing), false to stop.
    bool Bad(std::size_t at, std::size_t length, std::string& utf8);

    TextEncoding m_encoding;
    BadBytes m_bad;
    std::uint64_t m_offset;
    std::string m_kept;
    std::string m_joined;
    std::string_view m_current; // the bytes being decoded, for InvalidBytes
    std::optional<std::uint64_t> m_invalidAt;
    std::string m_invalidBytes;
};

/// A whole text as pelmora-convert reads its input without --from: in the encoding that a byte
/// order mark at its start names (the mark dropped), UTF-8 without one.
struct DecodedText {
    TextEncoding encoding = TextEncoding::Utf8;
    /// The text as UTF-8, up to the first bad byte.
    std::string utf8;
    /// Where the first bad byte stands, counting the mark; nothing when the text is whole.
    std::optional<std::uint64_t> invalidAt;
    /// The bad character's bytes (StreamDecoder::InvalidBytes).
    std::string invalidBytes;
};

/// Reads `bytes`, all of a text, as DecodedText says.
DecodedText DecodeWholeText(std::string_view bytes);

/// `bytes` as two hexadecimal digits each, spaced ("C1 F5"), for messages that show bad bytes.
std::string HexBytes(std::string_view bytes);

} // namespace pelmora
