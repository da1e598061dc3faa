#pragma once

#include "char_tables.h"
#include "code_page.h"
#include "table_files.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <span>

namespace pelmora {

/// The forward tables' choices turned round: for each character a Japanese text can hold, the
/// Simplified Chinese character it stands for, one character alone. Of the keys that give a
/// kanji, the one a Simplified Chinese reader expects wins, by rank:
///   1. a key of GB2312, the Simplified Chinese character set, before the rest of code page 936
///      (发 before 髪 for 髪, 东 before 東 for 東);
///   2. a key whose default the kanji is (pin.dat and pj.dat), then one that lists it among its
///      candidates (candidates.dat, the earlier place first), then one that takes it in a name
///      or a word (names.dat, the word model's spellings);
///   3. a key of GB2312's first level, its 3,755 common hanzi, before one of the second level
///      (于 before 於 for 於, 后 before 後 for 後);
///   4. the key that is the kanji itself (七 before 柒 for 七);
///   5. the lower code.
/// A character no key gives (kana, Japanese signs, a kanji the tables lack) stands for itself.
/// The reverse run asks it for characters outside the words of the word model (WordInverse),
/// whose one-character entries rank a kanji's keys by how often they are used.
class KanjiInverse {
public:
    /// Reads every record pair of the open `tables` (whose paths are `paths`), the optional
    /// candidates.dat and names.dat in `directory`, and takes the spellings of the word model
    /// `words` (whose spellings are checked already). Throws RuntimeError for a record pair that
    /// breaks the tables' promise (RecordsAgree), for an optional file that cannot be read or is
    /// malformed, and for a table that cannot be read.
    static KanjiInverse Load(TableSet& tables, const TablePaths& paths,
                             const std::filesystem::path& directory, const StoredWordModel& words);

    /// The Simplified Chinese character `japanese` stands for; `japanese` itself when no key
    /// gives it. Inline, because the reverse run asks for every character.
    char32_t ChineseFor(char32_t japanese) const {
        if (japanese < kBmpSize && m_chinese[japanese] != 0) {
            return m_chinese[japanese];
        }
        return japanese;
    }

    /// The Japanese character the per-character run gives `key`; nothing when it gives none
    /// (a key the tables lack, or one whose records spell "□").
    std::optional<char32_t> DefaultJapaneseOf(CharCode key) const {
        const char16_t japanese = m_defaults[static_cast<std::uint16_t>(key)];
        return japanese == 0 ? std::nullopt : std::optional<char32_t>(japanese);
    }

private:
    static constexpr std::size_t kBmpSize = 0x10000;

    // Where a key that gives a kanji comes from, in the order of rank 2.
    enum class Source { Default, Candidate, NameOrWord };
    // A rank, lower wins: the five rules of the class comment as one number.
    using Rank = std::uint64_t;
    static Rank RankOf(CharCode key, char32_t japanese, Source source, std::size_t place);

    // The tables of a character each are zeroed blocks rather than filled vectors: a run makes
    // them anew, and zeroing is the cheapest way to make them.
    template <typename Value> using PerCharacter = std::unique_ptr<Value[]>;

    KanjiInverse();
    void Offer(CharCode key, char32_t japanese, Source source, std::size_t place = 0);
    void OfferEntries(const std::filesystem::path& path, std::span<const EntryLayout> layouts,
                      Source source);

    PerCharacter<char16_t> m_chinese;  // Japanese character -> Chinese character; 0: itself
    PerCharacter<char16_t> m_defaults; // key code (as unsigned 16 bits) -> its default kanji
    PerCharacter<Rank> m_ranks;        // 1 + the rank of the key in m_chinese, while loading
};

/// True for the characters of GB2312, the Simplified Chinese character set: code page 936's
/// single bytes and its pairs of lead A1-F7 and trail A1-FE.
bool IsGb2312(CharCode code);

/// The Japanese character a Japanese-code record stands for: its Shift-JIS bytes as a Japanese
/// program reads them; nothing for bytes that are no one character.
std::optional<char32_t> JapaneseCharacterOf(Record japaneseCode);

} // namespace pelmora
