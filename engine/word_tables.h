#pragma once

#include "code_page.h"
#include "kanji_choice.h"
#include "table_files.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace pelmora {

/// A word of Simplified characters and the kanji each takes in it (a surname of names.dat, or
/// a word of the table builder's word list).
struct Word {
    std::vector<CharCode> keys;
    std::vector<KanjiChoice> kanji;
};

/// Words indexed by their first character, for the longest word at a place of a text.
class WordTable {
public:
    /// A table of `words`.
    static WordTable FromWords(std::vector<Word> words);

    bool Empty() const { return m_words.empty(); }
    std::size_t Size() const { return m_words.size(); }

    /// True when some word holds `code`: a character no word holds ends every word before it,
    /// so a walk need not look past it.
    bool Holds(CharCode code) const {
        return !m_held.empty() && m_held[static_cast<std::uint16_t>(code)];
    }

    /// The longest word whose keys begin `codes` (nothing stands for a character the code page
    /// cannot represent, which no word holds); nullptr when none does.
    const Word* LongestWordAt(std::span<const std::optional<CharCode>> codes) const;

private:
    void IndexWords();
    // The indices of the words that could begin `codes`, longest first.
    const std::vector<std::uint32_t>*
    StartingWith(std::span<const std::optional<CharCode>> codes) const;

    // Asked at every character of a name, so the first key indexes a flat array (one slot per
    // 16-bit code) rather than a hash table.
    std::vector<Word> m_words;
    std::vector<bool> m_held;                             // code -> some word holds it
    std::vector<std::uint32_t> m_slotOfFirstKey;          // code -> 1 + index in m_byFirstKey
    std::vector<std::vector<std::uint32_t>> m_byFirstKey; // word indices, longest first
};

/// The candidates of candidates.dat by key.
class CandidateTable {
public:
    /// Reads `path`; a missing file gives an empty table; unreadable or malformed files throw
    /// RuntimeError naming it.
    static CandidateTable Load(const std::filesystem::path& path);

    bool Empty() const { return m_byKey.empty(); }
    std::size_t Size() const { return m_byKey.size(); }

    /// The kanji `key` can stand for, in the table's order; empty for a key without candidates.
    const std::vector<KanjiChoice>& CandidatesOf(CharCode key) const;

    /// The table without the kanji beyond JIS X 0208 (IsJisX0208Character), each key's others
    /// in the same order; a key left with none is left out.
    CandidateTable OnlyJisX0208() const;

private:
    std::unordered_map<CharCode, std::vector<KanjiChoice>> m_byKey;
};

/// The forms of Chinese personal names, from names.dat: surnames with the kanji their
/// characters take, and the kanji characters take in given names.
class NameTable {
public:
    /// Reads `path`. A missing file gives an empty table; a file that cannot be read, or whose
    /// entries are malformed, throws RuntimeError naming it.
    static NameTable Load(const std::filesystem::path& path);

    bool Empty() const { return m_surnames.Empty() && m_givenNames.empty(); }

    /// The surnames, as words: the longest one at a name's start is its surname.
    const WordTable& Surnames() const { return m_surnames; }

    /// The kanji `code` takes in a given name; nullptr when it takes its usual one. Asked for
    /// every character of a given name, so it is a flat table by code.
    const KanjiChoice* GivenNameForm(CharCode code) const {
        const std::uint32_t slot =
            m_givenNameOf.empty() ? 0 : m_givenNameOf[static_cast<std::uint16_t>(code)];
        return slot == 0 ? nullptr : &m_givenNames[slot - 1];
    }

private:
    // A later form of the same character replaces the earlier one.
    void AddGivenNameForm(CharCode code, const KanjiChoice& form);

    WordTable m_surnames;
    std::vector<KanjiChoice> m_givenNames;
    std::vector<std::uint32_t> m_givenNameOf; // by code: 1 + its place in m_givenNames, or 0
};

} // namespace pelmora
