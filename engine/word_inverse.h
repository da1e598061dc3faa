#pragma once

#include "kanji_inverse.h"
#include "table_files.h"
#include "word_model.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace pelmora {

/// The word model turned round for the reverse run: each entry keyed by its Japanese spelling
/// (its spelled characters, and the per-character run's kanji for the others), so that the
/// reverse run segments a Japanese text as the word-aware runs segment a Chinese one and gives
/// each word back its Chinese keys: 予約 → 预约, 台風 → 台风, and, through the one-character
/// entries, each kanji the key it most often stands for (於 → 于). Of entries spelled alike the
/// more frequent wins (the lower cost, then the first in the file). An entry with a character
/// the per-character run has no kanji for is left out, since the forward run never spells it,
/// and so is one with a key outside GB2312: the reverse run writes Simplified Chinese, and
/// KanjiInverse gives such a kanji its GB2312 key.
class WordInverse {
public:
    /// The entries of `model` spelled with the kanji that `inverse` says the per-character run
    /// gives each unspelled key. The model's spellings are checked already (WordModel::Load).
    static WordInverse Of(const StoredWordModel& model, const KanjiInverse& inverse);

    /// True when some spelling holds `japanese`: a character that none holds belongs to no
    /// word, so the segmentation can be cut on either side of it.
    bool Holds(char32_t japanese) const {
        return japanese < kBmpSize && (m_held[japanese / 64] >> (japanese % 64) & 1) != 0;
    }

    /// Calls `visit(WordModel::Found)` for every spelling that begins `japanese`, shortest
    /// first, as WordModel::ForEachEntryAt does for keys (Segmentation asks for them).
    template <typename Visit>
    void ForEachEntryAt(std::span<const char16_t> japanese, Visit&& visit) const {
        if (japanese.empty() || !Holds(japanese[0])) {
            return;
        }
        const First& first = m_first[japanese[0]];
        std::size_t begin = first.begin;
        std::size_t end = m_first[japanese[0] + 1].begin;
        if (first.singleChinese != 0) {
            visit(WordModel::Found{begin, 1, first.singleCost, false});
            ++begin;
        }
        if (begin == end || japanese.size() == 1 || !MayBeginEntry(japanese[0], japanese[1])) {
            return;
        }
        for (std::size_t length = 1; begin < end; ++length) {
            if (length > 1 && Length(begin) == length) {
                visit(WordModel::Found{begin, length, m_costs[begin], false});
                ++begin;
            }
            if (begin == end || length == japanese.size()) {
                return;
            }
            NarrowTo(length, japanese[length], begin, end);
        }
    }

    /// The Chinese character at `position` of the word `entry` found by ForEachEntryAt, which
    /// begins with `first`.
    char32_t ChineseAt(std::size_t entry, std::size_t position, char16_t first) const {
        const First& starting = m_first[first];
        if (entry == starting.begin && starting.singleChinese != 0) {
            return starting.singleChinese; // the one-character entry, the most asked for
        }
        return m_chinese[m_starts[entry] + position];
    }

private:
    static constexpr std::size_t kBmpSize = 0x10000;

    std::size_t Length(std::size_t entry) const { return m_starts[entry + 1] - m_starts[entry]; }

    // Most pairs of characters begin no spelling: a bit per pair that does, hashed into a table
    // that stays in the processor's cache, answers nearly all the others before the search.
    static constexpr unsigned kPairBits = 21;
    static std::size_t PairBit(char16_t first, char16_t second) {
        return (std::uint32_t{first} << 16 | second) * 0x85EBCA6Bu >> (32 - kPairBits);
    }
    bool MayBeginEntry(char16_t first, char16_t second) const {
        const std::size_t bit = PairBit(first, second);
        return (m_pairs[bit / 64] >> (bit % 64) & 1) != 0;
    }
    // Narrows [begin, end), entries that share their first `length` characters and are all
    // longer, to those whose character `length` is `japanese`.
    void NarrowTo(std::size_t length, char16_t japanese, std::size_t& begin,
                  std::size_t& end) const;

    // The kept entries in the order of their spellings, each spelling and its Chinese keys at
    // m_starts[entry] in the two texts.
    std::vector<char16_t> m_japanese;
    std::vector<char16_t> m_chinese;
    std::vector<std::uint32_t> m_starts; // one more than the entries: where the next would start
    std::vector<std::uint16_t> m_costs;
    // By first character: where its entries begin and, kept here because the segmentation asks
    // for it at every character, its one-character entry.
    struct First {
        std::uint32_t begin = 0;
        std::uint16_t singleCost = 0;
        char16_t singleChinese = 0; // the one-character entry's key; 0 when there is none
    };
    std::unique_ptr<First[]> m_first;         // one more than the characters: where the next begins
    std::unique_ptr<std::uint64_t[]> m_held;  // a bit per character some spelling holds
    std::unique_ptr<std::uint64_t[]> m_pairs; // 2^kPairBits bits, by PairBit
};

} // namespace pelmora
