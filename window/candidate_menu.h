#pragma once

#include "word_tables.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

/// One kanji the context menu offers for a converted character, with the text of its entry.
struct CandidateEntry {
    KanjiChoice choice;
    std::string text;   ///< UTF-8
    bool shown = false; ///< the kanji the boxes show for the character now
};

/// The entries for the character at `at` of `input`, now shown as `shown`, one per candidate
/// that `candidates` lists for it, in the table's order; none for a character without
/// candidates or past the end. Each shows the kanji's preview form and, in full-width brackets,
/// the word that suggests it and, for an extension kanji, kExtensionKanjiNote. The word is a
/// word of `words` found in `input` across `at` that gives the kanji there (the longest, then
/// the one starting first): "髪（头发）", the reason in the user's own text. words.dat holds
/// only the words the per-character run gets wrong (and the longer words that keep them from
/// matching inside others), so a word of the text it lacks cannot be told from two characters
/// side by side; then a kanji the boxes do not show gets an example from the table's first word
/// that gives it, marked as one: "髪（如：头发）". The kanji shown gets none, which would read
/// as a reason found in the text.
std::vector<CandidateEntry> CandidateEntries(std::u32string_view input, std::size_t at,
                                             const KanjiChoice& shown,
                                             const CandidateTable& candidates,
                                             const WordTable& words);

/// Where the character at `boxIndex` of a box's text lies in `converted`, the text the window
/// put into the box. The box may keep each line break of `converted` in another form (CR LF,
/// LF or CR, each one break), so the two are walked break by break. Nothing when the box shows
/// anything else, or `boxIndex` is past its end; a break gives the index of its first
/// character.
std::optional<std::size_t> ConvertedIndexAt(std::u32string_view boxText,
                                            std::u32string_view converted, std::size_t boxIndex);

} // namespace pelmora
