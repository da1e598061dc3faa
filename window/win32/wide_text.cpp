#include "wide_text.h"

#include "utf16.h"

namespace pelmora {

// wchar_t is a UTF-16 unit on Windows; the units are copied one by one rather than
// reinterpreted, and the engine does the decoding and encoding.
std::wstring WideFromUtf8(std::string_view utf8) {
    const std::u16string units = Utf16FromUtf8(utf8);
    return std::wstring(units.begin(), units.end());
}

std::string Utf8FromWide(std::wstring_view wide) {
    return Utf8FromUtf16(std::u16string(wide.begin(), wide.end()));
}

} // namespace pelmora
