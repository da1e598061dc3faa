#pragma once

#include "text_encoding.h"

#include <cstdint>
#include <optional>
#include <string_view>

// Which encoding a text that failed to read as UTF-8 seems to be in, so a front end can tell
// the user what to read it as instead.
namespace pelmora {

/// The encoding that a text refused as UTF-8 at `invalidAt` reads as, judged on `readSoFar`, its
/// first bytes (`complete` when they are all of it): GBK, GB18030 (only where GBK fails: its
/// four-byte characters), UTF-16LE or UTF-16BE without a byte order mark. Named only when
/// everything before `invalidAt` is ASCII and the text is not merely cut short in its last UTF-8
/// character, so a UTF-8 text with a bad byte gets none, and when the bytes decode in it to
/// mostly Chinese and ASCII text, with nothing plain text lacks (control characters, private
/// use), and with fewer characters outside GB2312 and ASCII than in any other of them. Nothing
/// when no encoding, or more than one, reads so.
std::optional<TextEncoding> LikelyEncoding(std::string_view readSoFar, std::uint64_t invalidAt,
                                           bool complete);

} // namespace pelmora
