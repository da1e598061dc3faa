#pragma once

#include <string>
#include <string_view>

namespace pelmora {

/// The UTF-16 text that Win32's wide functions take, from the UTF-8 the window's behaviour
/// speaks. A byte that starts no valid UTF-8 sequence becomes U+FFFD.
std::wstring WideFromUtf8(std::string_view utf8);

/// UTF-8 of a wide text read from a control. A surrogate pair becomes its one code point; a lone
/// surrogate becomes U+FFFD, which the conversion shows as a miss.
std::string Utf8FromWide(std::wstring_view wide);

} // namespace pelmora
