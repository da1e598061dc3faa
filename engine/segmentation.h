#pragma once

#include "code_page.h"
#include "word_model.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>

namespace pelmora {

/// The minimum-cost segmentation of a run of characters over a word model, as a lattice and
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

    /// Segments `codes` (a contiguous run of the codes `model` is keyed by) over `model`: the
    /// word model of the forward runs (WordModel, over code page 936 codes), or the reverse
    /// run's (over Japanese characters). `model.ForEachEntryAt(codes, visit)` calls `visit` with
    /// every entry whose keys begin `codes` (WordModel::Found). Words() then holds the best
    /// path.
    template <typename Model, typename Codes> void Segment(const Model& model, const Codes& codes) {
        const std::size_t length = std::size(codes);
        m_best.assign(length + 1, {std::numeric_limits<std::int32_t>::max(), 0, -1, false});
        m_best[0].cost = 0;
        for (std::size_t place = 0; place < length; ++place) {
            bool coveredAlone = false;
            model.ForEachEntryAt(std::span(codes).subspan(place), [&](const auto& found) {
                coveredAlone = coveredAlone || found.length == 1;
                Reach(place, found.length, found.cost, static_cast<std::int32_t>(found.entry),
                      found.spelled);
            });
            if (!coveredAlone) {
                Reach(place, 1, kUnknownCharacterCost, -1, false);
            }
        }
        WalkBack(length);
    }

    /// The words of the best path of the last Segment, left to right; together they cover the
    /// run.
    const std::vector<Word>& Words() const { return m_words; }

    /// How many characters of the last run a chooser that holds back a bounded run settles now:
    /// all of them once the run has ended (`runEnded`), else those before the last word of the
    /// best path that begins at least kLongestWord characters before the end (the rest is
    /// segmented again with what follows).
    std::size_t Settled(bool runEnded) const;

private:
    struct Best {
        std::int32_t cost = 0;
        std::uint32_t from = 0;  // where the last word of the cheapest way here begins
        std::int32_t entry = -1; // that word's entry; -1 for a character no entry covers
        bool spelled = false;
    };

    // A way from `place` over `length` characters for `cost`: kept when it is the cheapest way to
    // its end so far.
    void Reach(std::size_t place, std::size_t length, std::int32_t cost, std::int32_t entry,
               bool spelled) {
        const std::int32_t total = m_best[place].cost + cost;
        if (total < m_best[place + length].cost) {
            m_best[place + length] = {total, static_cast<std::uint32_t>(place), entry, spelled};
        }
    }
    void WalkBack(std::size_t length);

    std::vector<Best> m_best; // by place, 0 to the run's length
    std::vector<Word> m_words;
};

} // namespace pelmora
