#include "utf8.h"

namespace pelmora {

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Decodes one sequence at `at`; returns its length, or 0 when it is not valid UTF-8.
std::size_t DecodeOne(std::string_view bytes, std::size_t at, char32_t& out) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        out = lead;
        return 1;
    }
    // Chinese text is mostly three-byte sequences; those with a lead byte other than E0 and ED
    // can be neither overlong nor surrogates, so two continuation bytes make them valid.
    if (lead >= 0xE1 && lead <= 0xEF && lead != 0xED && bytes.size() - at >= 3) {
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        const auto third = static_cast<unsigned char>(bytes[at + 2]);
        if (IsContinuation(second) && IsContinuation(third)) {
            out = (lead & 0x0Fu) << 12 | (second & 0x3Fu) << 6 | (third & 0x3Fu);
            return 3;
        }
        return 0;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() - at < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[at + i]);
        if (!IsContinuation(byte)) {
            return 0;
        }
        value = value << 6 | (byte & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    out = value;
    return length;
}

} // namespace

std::optional<std::size_t> FindInvalidUtf8(std::string_view bytes) {
    char32_t ignored = 0;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = DecodeOne(bytes, at, ignored);
        if (length == 0) {
            return at;
        }
        at += length;
    }
    return std::nullopt;
}

std::size_t CutUtf8Tail(std::string_view bytes) {
    for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if (IsContinuation(byte)) {
            continue;
        }
        return Utf8SequenceLength(byte) > back ? back : 0;
    }
    return 0;
}

char32_t NextCodePoint(std::string_view bytes, std::size_t& at) {
    char32_t character = kReplacementCharacter;
    const std::size_t length = DecodeOne(bytes, at, character);
    at += length == 0 ? 1 : length;
    return length == 0 ? kReplacementCharacter : character;
}

void AppendUtf8(char32_t character, std::string& out) {
    char bytes[4];
    out.append(bytes, WriteUtf8(character, bytes));
}

std::string EncodeUtf8(std::u32string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 3);
    for (const char32_t character : text) {
        AppendUtf8(character, bytes);
    }
    return bytes;
}

std::u32string DecodeUtf8(std::string_view bytes) {
    std::u32string text;
    text.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        text.push_back(NextCodePoint(bytes, at));
    }
    return text;
}

} // namespace pelmora
