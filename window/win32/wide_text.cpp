#include "wide_text.h"

#include "box_text.h"
#include "utf8.h"

namespace pelmora {

namespace {

void AppendUtf16(char32_t character, std::wstring& out) {
    if (character < 0x10000) {
        out.push_back(static_cast<wchar_t>(character));
        return;
    }
    const char32_t offset = character - 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (offset >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (offset & 0x3FF)));
}

} // namespace

std::wstring WideFromUtf8(std::string_view utf8) {
    std::wstring wide;
    wide.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        AppendUtf16(NextCodePoint(utf8, at), wide);
    }
    return wide;
}

std::string Utf8FromWide(std::wstring_view wide) {
    // wchar_t is a UTF-16 unit on Windows; copied unit by unit rather than reinterpreted.
    const std::u16string units(wide.begin(), wide.end());
    return Utf8FromUtf16(units);
}

} // namespace pelmora
