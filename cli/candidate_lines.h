#pragma once

#include "word_tables.h"

#include <string>
#include <string_view>

namespace pelmora {

/// The --candidates listing: for each input character but line breaks, one line of the
/// character, a tab and the Japanese forms it can take, separated by single spaces. The one the
/// run picked comes first, then the others candidates.dat lists in its order; a character the
/// table does not list has its pick alone, and one that maps to nothing ("□", a space) has
/// nothing after the tab. Each extension-row kanji is followed by "*". The run's picks are its
/// two outputs, one character per input character: `japaneseCodePicks` (which tells an
/// extension kanji) and `previewPicks`. Appends the lines as UTF-8 to `out`; the lines of a
/// text are the lines of its pieces one after another, so a caller may list a text piece by
/// piece.
void AppendCandidateLines(std::u32string_view input, std::u32string_view japaneseCodePicks,
                          std::u32string_view previewPicks, const CandidateTable& candidates,
                          std::string& out);

} // namespace pelmora
