#pragma once

#include "code_page.h"
#include "word_model.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pelmora {

/// The minimum-cost segmentation of a run of characters over the word model, as a lattice and
/// its best path: every entry that begins at a place of the run is a way from there to its end,
/// costing the entry's cost; a character that no one-character entry covers can always be
/// passed alone for kUnknownCharacterCost, more than any entry. A forward pass keeps, for every
/// place, the cheapest way there; a walk back from the end gives the path. Among paths of equal
/// cost, the one whose last word begins earliest wins at every place.
class Segmentation {
public:
    /// One word of the best path.
    struct Word {
        std::size_t start = 0;
        std::size_t length = 0;
        std::optional<std::size_t> entry; ///< nothing for a character no entry covers
        bool spelled = false;             ///< whether its entry spells some of its characters
    };

    /// Segments `codes` over `model`; Words() then holds the best path.
    void Segment(const WordModel& model, std::span<const CharCode> codes);

    /// The words of the best path of the last Segment, left to right; together they cover the
    /// run.
    const std::vector<Word>& Words() const { return m_words; }

private:
    struct Best {
        std::int32_t cost = 0;
        std::uint32_t from = 0;  // where the last word of the cheapest way here begins
        std::int32_t entry = -1; // that word's entry; -1 for a character no entry covers
        bool spelled = false;
    };

    std::vector<Best> m_best; // by place, 0 to the run's length
    std::vector<Word> m_words;
};

} // namespace pelmora
