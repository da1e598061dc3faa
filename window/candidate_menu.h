#pragma once

#include "word_model.h"
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
/// the word that suggests it and, for an extension kanji, kExtensionKanjiNote. The word is the
/// word of `input` that the segmentation over the word model `words` puts the character in,
/// when that word spells it with the kanji: "髪（头发）", the reason in the user's own text
/// (the segmentation of the run of characters around `at` that the model holds, as the
/// word-aware run makes it). Else a kanji the boxes do not show gets an example: the cheapest
/// entry of two to kLongestExample characters that spells the character so, marked as one:
/// "髪（如：头发）". The kanji shown gets none, which would read as a reason found in the text.
std::vector<CandidateEntry> CandidateEntries(std::u32string_view input, std::size_t at,
                                             const KanjiChoice& shown,
                                             const CandidateTable& candidates,
                                             const WordModel& words);

/// The longest entry the candidate menu gives as an example.
inline constexpr std::size_t kLongestExample = 4;

/// Where the character at `boxIndex` of a box's text lies in `converted`, the text the window
/// put into the box. The box may keep each line break of `converted` in another form (CR LF,
/// LF or CR, each one break), so the two are walked break by break. Nothing when the box shows
/// anything else, or `boxIndex` is past its end; a break gives the index of its first
/// character.
std::optional<std::size_t> ConvertedIndexAt(std::u32string_view boxText,
                                            std::u32string_view converted, std::size_t boxIndex);

} // namespace pelmora
