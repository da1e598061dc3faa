#pragma once

#include "code_page.h"
#include "conversion.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace pelmora {

/// The optional files beside the three tables: words with the Japanese kanji their characters
/// take in them, and the Japanese kanji each ambiguous key can stand for.
inline constexpr const char* kWordTableName = "words.dat";
inline constexpr const char* kCandidateTableName = "candidates.dat";

/// The longest word in words.dat, in characters.
inline constexpr std::size_t kLongestWord = 16;

/// One Japanese kanji a character can take: its Japanese code text character (the Shift-JIS
/// bytes read through code page 936) and its preview character.
struct KanjiChoice {
    char32_t japaneseCode = 0;
    char32_t preview = 0;
    /// True for a kanji of code page 932's extension rows, which Japanese Windows fonts carry
    /// but games that draw their own fonts may lack.
    bool extension = false;

    bool operator==(const KanjiChoice&) const = default;
};

/// One word of words.dat: its Simplified characters and the kanji each takes in it.
struct Word {
    std::vector<CharCode> keys;
    std::vector<KanjiChoice> kanji;
};

/// True when a Shift-JIS record lies in code page 932's extension rows (lead byte ED-EE or
/// FA-FC).
bool IsExtensionKanji(Record japaneseCode);

/// The words of words.dat, read whole when loaded and indexed by their first character.
class WordTable {
public:
    /// Reads `path`. A missing file gives an empty table; a file that cannot be read, or whose
    /// entries are malformed, throws RuntimeError naming it.
    static WordTable Load(const std::filesystem::path& path);

    bool Empty() const { return m_words.empty(); }
    std::size_t Size() const { return m_words.size(); }

    /// The longest word whose keys begin `codes` (nothing stands for a character the code page
    /// cannot represent, which no word holds); nullptr when none does.
    const Word* LongestWordAt(std::span<const std::optional<CharCode>> codes) const;

    /// Every word whose keys begin `codes`, longest first and in file order among words of one
    /// length; empty when none does.
    std::vector<const Word*> WordsAt(std::span<const std::optional<CharCode>> codes) const;

    /// The first word of the table (shortest first, then in file order) in which `key` takes
    /// `japaneseCode`; nullptr when no word does.
    const Word* WordGiving(CharCode key, char32_t japaneseCode) const;

private:
    void IndexWords();
    std::vector<std::pair<std::uint64_t, std::uint32_t>> FirstWordsGiving() const;
    // The indices of the words that could begin `codes`, longest first.
    const std::vector<std::uint32_t>*
    StartingWith(std::span<const std::optional<CharCode>> codes) const;

    // The word runs ask for the words at every input character, so the first key indexes a
    // flat array (one slot per 16-bit code) rather than a hash table.
    std::vector<Word> m_words;
    std::vector<std::uint32_t> m_slotOfFirstKey;          // code -> 1 + index in m_byFirstKey
    std::vector<std::vector<std::uint32_t>> m_byFirstKey; // word indices, longest first
    // (key, code) -> word, sorted; only the candidate menu asks, so it is made at its first call.
    mutable std::optional<std::vector<std::pair<std::uint64_t, std::uint32_t>>> m_firstGiving;
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

private:
    std::unordered_map<CharCode, std::vector<KanjiChoice>> m_byKey;
};

} // namespace pelmora
