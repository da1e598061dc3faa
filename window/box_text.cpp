#include "box_text.h"

#include "utf8.h"

namespace pelmora {

namespace {

constexpr bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

constexpr bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

constexpr char32_t CodePointOfPair(char16_t high, char16_t low) {
    return 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) +
           (static_cast<char32_t>(low) - 0xDC00);
}

} // namespace

std::string Utf8FromUtf16(std::u16string_view text) {
    std::string utf8;
    utf8.reserve(text.size() * 3);
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at];
        if (IsHighSurrogate(unit) && at + 1 < text.size() && IsLowSurrogate(text[at + 1])) {
            AppendUtf8(CodePointOfPair(unit, text[at + 1]), utf8);
            ++at;
        } else {
            // A lone surrogate is written as U+FFFD by AppendUtf8.
            AppendUtf8(unit, utf8);
        }
    }
    return utf8;
}

std::string_view BoxSource::NextPiece() {
    if (m_read) {
        return {};
    }
    m_read = true;
    m_utf8 = m_view.BoxText(m_box);
    return m_utf8;
}

void BoxSink::Clear() {
    m_text.clear();
    m_cleared = true;
}

void BoxSink::Append(char32_t character) {
    m_text.push_back(character);
}

void BoxSink::Show() {
    if (m_cleared) {
        m_view.SetBoxText(m_box, EncodeUtf8(m_text));
    }
}

} // namespace pelmora
