#pragma once

#include "kanji_choice.h"
#include "table_files.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace pelmora {

/// The word model of words.dat, indexed for the segmentation of the word-aware runs: which
/// entries begin at a place of a text. The entries are sorted by their keys, so those with one
/// first key are consecutive, and within them those with one second key: the index keeps, per
/// first key, its one-character entry and the list of its second keys with where their entries
/// lie, then binary search in the sorted entries finds the longer ones. It holds entry numbers,
/// never copies of the entries, and is built in one pass in file order.
class WordModel {
public:
    /// Reads and indexes the word model `path`. A missing file gives an empty model. A file that
    /// cannot be read, that is malformed, or that holds a spelling whose two records break the
    /// tables' promise (RecordsAgree) throws RuntimeError naming it.
    static WordModel Load(const std::filesystem::path& path);

    bool Empty() const { return m_stored.EntryCount() == 0; }
    const StoredWordModel& Stored() const { return m_stored; }

    /// True when some entry holds `code`. A character that none holds belongs to no word, so
    /// the segmentation can be cut on either side of it.
    bool Holds(CharCode code) const { return !m_held.empty() && m_held[CodeIndex(code)]; }

    /// An entry found at a place of a text.
    struct Found {
        std::size_t entry = 0;
        std::size_t length = 0; ///< its characters
        std::uint16_t cost = 0;
        bool spelled = false; ///< whether it spells some of its characters
    };

    /// Calls `visit(found)` for every entry whose keys begin `codes`, shortest first. Inline,
    /// because the segmentation asks at every character.
    template <typename Visit>
    void ForEachEntryAt(std::span<const CharCode> codes, Visit&& visit) const {
        if (m_firstKeyOf.empty() || codes.empty() || m_firstKeyOf[CodeIndex(codes[0])] == 0) {
            return;
        }
        const FirstKey& first = m_firstKeys[m_firstKeyOf[CodeIndex(codes[0])] - 1];
        if (first.single != kNoEntry) {
            visit(Found{first.single, 1, first.singleCost, first.singleSpelled != 0});
        }
        if (codes.size() < 2 || (first.seconds >> SecondBit(codes[1]) & 1) == 0 ||
            !MayBeginEntry(codes[0], codes[1])) {
            return;
        }
        const auto pairs = m_pairs.begin();
        const auto pair = std::lower_bound(
            pairs + first.pairsBegin, pairs + first.pairsEnd, codes[1],
            [](const SecondKey& pair, CharCode second) { return pair.second < second; });
        if (pair == pairs + first.pairsEnd || pair->second != codes[1]) {
            return;
        }
        std::size_t begin = pair->begin;
        std::size_t end = pair->end;
        for (std::size_t length = 2; begin < end; ++length) {
            if (m_stored.Length(begin) == length) {
                visit(
                    Found{begin, length, m_stored.Cost(begin), m_stored.SpellingCount(begin) > 0});
                ++begin;
            }
            if (begin == end || length == codes.size()) {
                return;
            }
            NarrowToKey(length, codes[length], begin, end);
        }
    }

    /// The kanji that the character at `position` of entry `entry` takes: its spelling, or
    /// nothing when it takes the per-character pieces.
    std::optional<KanjiChoice> SpellingAt(std::size_t entry, std::size_t position) const;

private:
    static constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;

    // The entries of one first key: its one-character entry (a word sorts before the longer
    // words it begins), kept here with its cost because the segmentation asks at every
    // character; a bit per hash of each second key of the longer ones, which answers most
    // pairs that begin no entry from this one line of memory; and its second keys in
    // m_pairs[pairsBegin, pairsEnd).
    struct FirstKey {
        std::uint64_t seconds = 0;
        std::uint32_t single = kNoEntry;
        std::uint32_t pairsBegin = 0;
        std::uint32_t pairsEnd = 0;
        std::uint16_t singleCost = 0;
        std::uint16_t singleSpelled = 0;
    };
    static unsigned SecondBit(CharCode second) {
        return (static_cast<std::uint16_t>(second) * 0x9E3779B1u) >> 26;
    }

    // The entries [begin, end) of one first key whose second key is `second`.
    struct SecondKey {
        CharCode second = 0;
        std::uint32_t begin = 0;
        std::uint32_t end = 0;
    };

    // Most pairs of characters begin no entry. Two bits per pair that does, set in a table small
    // enough to stay in the processor's cache, answer nearly all the others before the search.
    static constexpr unsigned kPairFilterBits = 21;
    static std::size_t PairFilterBit(CharCode first, CharCode second, std::uint32_t multiplier) {
        const std::uint32_t pair = static_cast<std::uint32_t>(static_cast<std::uint16_t>(first))
                                       << 16 |
                                   static_cast<std::uint16_t>(second);
        return (pair * multiplier) >> (32 - kPairFilterBits);
    }
    static constexpr std::uint32_t kPairFilterMultipliers[] = {0x85EBCA6Bu, 0xC2B2AE35u};
    bool MayBeginEntry(CharCode first, CharCode second) const {
        for (const std::uint32_t multiplier : kPairFilterMultipliers) {
            const std::size_t bit = PairFilterBit(first, second, multiplier);
            if ((m_pairFilter[bit / 64] >> (bit % 64) & 1) == 0) {
                return false;
            }
        }
        return true;
    }

    // Codes in the order the entries are sorted: signed, so -32768 is 0.
    static std::size_t CodeIndex(CharCode code) {
        return static_cast<std::uint16_t>(code) ^ 0x8000;
    }

    // Narrows [begin, end), entries that share their first `length` keys and are all longer, to
    // those whose key `length` is `code`.
    void NarrowToKey(std::size_t length, CharCode code, std::size_t& begin, std::size_t& end) const;

    void Index();
    void CheckSpellings() const;

    StoredWordModel m_stored;
    std::vector<bool> m_held;                // by CodeIndex: some entry holds the code
    std::vector<std::uint32_t> m_firstKeyOf; // by CodeIndex: 1 + its place in m_firstKeys, or 0
    std::vector<FirstKey> m_firstKeys;       // in file order
    std::vector<SecondKey> m_pairs;
    std::vector<std::uint64_t> m_pairFilter; // 2^kPairFilterBits bits          // in file order
};

} // namespace pelmora
