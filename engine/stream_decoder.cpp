#include "stream_decoder.h"

#include "code_page.h"
#include "shift_jis.h"
#include "utf16.h"
#include "utf8.h"

#include <algorithm>

namespace pelmora {

namespace {

std::uint8_t ByteAt(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint8_t>(bytes[at]);
}

bool IsGb18030FourByteDigit(std::uint8_t byte) {
    return byte >= 0x30 && byte <= 0x39;
}

// The bytes that may follow a lead byte: 40-7E and 80 up to FC (Shift-JIS) or FE (code page 936).
bool IsTrailByte(std::uint8_t byte, bool shiftJis) {
    return byte >= 0x40 && byte != 0x7F && byte <= (shiftJis ? 0xFC : 0xFE);
}

} // namespace

StreamDecoder::StreamDecoder(TextEncoding encoding, BadBytes bad, std::uint64_t offset)
    : m_encoding(encoding), m_bad(bad), m_offset(offset) {}

bool StreamDecoder::Decode(std::string_view bytes, std::string& utf8) {
    if (m_invalidAt) {
        return false;
    }
    std::string_view data = bytes;
    if (!m_kept.empty()) {
        m_joined = m_kept;
        m_joined.append(bytes);
        data = m_joined;
    }
    const std::size_t used = DecodeSome(data, false, utf8);
    if (m_invalidAt) {
        return false;
    }
    m_offset += used;
    m_kept.assign(data.substr(used));
    return true;
}

bool StreamDecoder::Finish(std::string& utf8) {
    if (m_invalidAt) {
        return false;
    }
    const std::string kept = std::move(m_kept);
    m_kept.clear();
    m_offset += DecodeSome(kept, true, utf8);
    return !m_invalidAt;
}

std::size_t StreamDecoder::DecodeSome(std::string_view bytes, bool last, std::string& utf8) {
    m_current = bytes;
    switch (m_encoding) {
    case TextEncoding::Utf8:
        return DecodeUtf8Bytes(bytes, last, utf8);
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
        return DecodeUtf16(bytes, last, utf8);
    case TextEncoding::Gbk:
    case TextEncoding::Gb18030:
    case TextEncoding::ShiftJis:
        break;
    }
    return DecodeDoubleByte(bytes, last, utf8);
}

bool StreamDecoder::Bad(std::size_t at, std::size_t length, std::string& utf8) {
    if (m_bad == BadBytes::Stop) {
        m_invalidAt = m_offset + at;
        m_invalidBytes = std::string(m_current.substr(at, length));
        return false;
    }
    AppendUtf8(kReplacementCharacter, utf8);
    return true;
}

std::size_t StreamDecoder::DecodeUtf8Bytes(std::string_view bytes, bool last, std::string& utf8) {
    const std::size_t end = last ? bytes.size() : bytes.size() - CutUtf8Tail(bytes);
    const std::string_view whole = bytes.substr(0, end);
    if (m_bad == BadBytes::Replace) {
        for (std::size_t at = 0; at < whole.size();) {
            AppendUtf8(NextCodePoint(whole, at), utf8);
        }
        return end;
    }
    if (const std::optional<std::size_t> bad = FindInvalidUtf8(whole)) {
        utf8.append(whole.substr(0, *bad));
        // The bad character: its lead byte and the continuation bytes that follow, as far as the
        // lead asks for.
        const std::size_t wanted = Utf8SequenceLength(ByteAt(whole, *bad));
        std::size_t length = 1;
        while (length < wanted && *bad + length < whole.size() &&
               (ByteAt(whole, *bad + length) & 0xC0) == 0x80) {
            ++length;
        }
        Bad(*bad, length, utf8);
        return *bad;
    }
    utf8.append(whole);
    return end;
}

std::size_t StreamDecoder::DecodeDoubleByte(std::string_view bytes, bool last, std::string& utf8) {
    const bool shiftJis = m_encoding == TextEncoding::ShiftJis;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::uint8_t first = ByteAt(bytes, at);
        if (first < 0x80) {
            utf8.push_back(static_cast<char>(first));
            ++at;
            continue;
        }
        const bool lead = shiftJis ? IsShiftJisLeadByte(first) : IsLeadByte(first);
        std::optional<char32_t> character;
        std::size_t length = lead ? 2 : 1;
        if (lead && at + 1 == bytes.size()) {
            if (!last) {
                break;
            }
        } else if (lead && m_encoding == TextEncoding::Gb18030 &&
                   IsGb18030FourByteDigit(ByteAt(bytes, at + 1))) {
            length = 4;
            if (bytes.size() - at < 4 && !last) {
                break;
            }
            if (bytes.size() - at >= 4 && IsLeadByte(ByteAt(bytes, at + 2)) &&
                IsGb18030FourByteDigit(ByteAt(bytes, at + 3))) {
                character = kReplacementCharacter;
            }
        } else {
            const auto code =
                static_cast<std::uint16_t>(lead ? first << 8 | ByteAt(bytes, at + 1) : first);
            character = shiftJis ? ShiftJisCharacter(code) : CodePage936Character(code);
        }
        if (!character) {
            if (!Bad(at, std::min(length, bytes.size() - at), utf8)) {
                return at;
            }
            // A reader takes a lead byte and a byte that may follow it as one character, even
            // where the code page assigns none there: one mark for both.
            at +=
                length == 2 && at + 1 < bytes.size() && IsTrailByte(ByteAt(bytes, at + 1), shiftJis)
                    ? 2
                    : 1;
            continue;
        }
        AppendUtf8(*character, utf8);
        at += length;
    }
    return at;
}

std::size_t StreamDecoder::DecodeUtf16(std::string_view bytes, bool last, std::string& utf8) {
    const bool bigEndian = m_encoding == TextEncoding::Utf16Be;
    const auto unitAt = [&](std::size_t at) -> char32_t {
        const std::uint8_t first = ByteAt(bytes, at);
        const std::uint8_t second = ByteAt(bytes, at + 1);
        return bigEndian ? first << 8 | second : second << 8 | first;
    };
    std::size_t at = 0;
    while (bytes.size() - at >= 2) {
        const char32_t unit = unitAt(at);
        if (IsHighSurrogate(unit) && bytes.size() - at < 4 && !last) {
            break;
        }
        if (IsHighSurrogate(unit) && bytes.size() - at >= 4 && IsLowSurrogate(unitAt(at + 2))) {
            AppendUtf8(CodePointOfPair(unit, unitAt(at + 2)), utf8);
            at += 4;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            if (!Bad(at, 2, utf8)) {
                return at;
            }
            at += 2;
        } else {
            AppendUtf8(unit, utf8);
            at += 2;
        }
    }
    if (last && at < bytes.size()) {
        if (!Bad(at, 1, utf8)) {
            return at;
        }
        ++at;
    }
    return at;
}

DecodedText DecodeWholeText(std::string_view bytes) {
    DecodedText decoded;
    const std::optional<ByteOrderMark> mark = FindByteOrderMark(bytes);
    const std::size_t skipped = mark ? mark->length : 0;
    decoded.encoding = mark ? mark->encoding : TextEncoding::Utf8;
    StreamDecoder decoder(decoded.encoding, BadBytes::Stop, skipped);
    if (!decoder.Decode(bytes.substr(skipped), decoded.utf8) || !decoder.Finish(decoded.utf8)) {
        decoded.invalidAt = decoder.InvalidAt();
        decoded.invalidBytes = decoder.InvalidBytes();
    }
    return decoded;
}

std::string HexBytes(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        hex += hex.empty() ? "" : " ";
        hex += kDigits[value >> 4];
        hex += kDigits[value & 0xF];
    }
    return hex;
}

} // namespace pelmora
