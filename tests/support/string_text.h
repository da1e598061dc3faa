#pragma once

// Texts held in memory, for tests, the fuzzer and the benchmarks: a conversion's input from a
// string, its outputs into strings, and whole texts encoded or decoded at once. Header-only, so
// the benchmarks and the fuzzer use it without the test library.

#include "code_page.h"
#include "conversion.h"
#include "stream_decoder.h"
#include "utf8.h"

#include <optional>
#include <string>
#include <string_view>

namespace pelmora::testing {

/// A source over UTF-8 text it owns, given as one piece.
class StringSource final : public TextSource {
public:
    explicit StringSource(std::string utf8) : m_text(std::move(utf8)) {}
    std::string_view NextPiece() override {
        if (m_given) {
            return {};
        }
        m_given = true;
        return m_text;
    }

private:
    std::string m_text;
    bool m_given = false;
};

/// A sink that keeps its text as code points.
class StringSink final : public TextSink {
public:
    void Clear() override { m_text.clear(); }
    void Append(char32_t character) override { m_text.push_back(character); }
    const std::u32string& Text() const { return m_text; }

private:
    std::u32string m_text;
};

/// A sink that keeps its text as UTF-8.
class Utf8Sink final : public TextSink {
public:
    void Clear() override { m_text.clear(); }
    void Append(char32_t character) override { AppendUtf8(character, m_text); }
    std::string& Text() { return m_text; }

private:
    std::string m_text;
};

/// `text` encoded in code page 936; nothing when a character cannot be represented.
inline std::optional<std::string> EncodeCodePage936(std::u32string_view text) {
    std::string bytes;
    for (const char32_t character : text) {
        if (!AppendCodePage936(character, bytes)) {
            return std::nullopt;
        }
    }
    return bytes;
}

/// UTF-8 of all of `bytes` in `encoding`, bad bytes replaced by U+FFFD.
inline std::string DecodeToUtf8(std::string_view bytes, TextEncoding encoding) {
    std::string utf8;
    StreamDecoder decoder(encoding, BadBytes::Replace);
    decoder.Decode(bytes, utf8);
    decoder.Finish(utf8);
    return utf8;
}

} // namespace pelmora::testing
