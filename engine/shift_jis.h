#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

/// What a Japanese program on Windows reads in `bytes`: a strict code page 932 (Shift-JIS)
/// decoding. Nothing when any byte or pair is no character (a lead byte at the end included).
/// Pelmora writes its Japanese code text for exactly this reader.
std::optional<std::u32string> DecodeShiftJis(std::string_view bytes);

} // namespace pelmora
