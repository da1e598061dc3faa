#pragma once

#include "word_tables.h"

#include <string>
#include <string_view>

namespace pelmora {

/// The --candidates listing: for each input character but line breaks, one line of the
/// character, a tab and its candidates' Japanese forms separated by single spaces, the one the
/// run picked (`picks`, the run's preview, one character per input character) first and each
/// extension-row kanji followed by "*"; nothing after the tab for a character without
/// candidates. Appends the lines as UTF-8 to `out`.
void AppendCandidateLines(std::u32string_view input, std::u32string_view picks,
                          const CandidateTable& candidates, std::string& out);

} // namespace pelmora
