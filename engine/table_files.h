#pragma once

// The files Pelmora reads beside the program, as they are stored: their names, the 2-byte record
// every one of them is made of, and the entries of the optional files. The engine reads every
// record and entry through this unit and the table builder (tools/) writes them through it, so
// each layout has one owner. data/README.md describes the files for people.

#include "code_page.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

/// The tables' file names, fixed because the program finds the tables by name beside itself.
inline constexpr const char* kKeyTableName = "pin.dat";         ///< the Chinese keys
inline constexpr const char* kJapaneseCodeTableName = "pj.dat"; ///< each kanji's Shift-JIS code
inline constexpr const char* kPreviewTableName = "jj.dat";      ///< each kanji's Japanese form
inline constexpr const char* kWordTableName = "words.dat";      ///< optional: kanji in words
inline constexpr const char* kCandidateTableName = "candidates.dat"; ///< optional: other kanji
inline constexpr const char* kNameTableName = "names.dat";           ///< optional: kanji in names

/// Record numbers count from 1, as 32-bit integers.
using RecordNumber = std::int32_t;

/// Two stored bytes of a table record, in file order. Every file is a flat run of records with
/// no file header. A key or preview record holds a code page 936 code, a Japanese-code record a
/// Shift-JIS code: a double-byte code as its two bytes, lead byte first; a single-byte code as
/// its byte followed by 00.
struct Record {
    std::uint8_t first = 0;
    std::uint8_t second = 0;

    bool operator==(const Record&) const = default;
};

inline constexpr std::size_t kRecordBytes = 2;

/// The largest table read whole into memory: the tables are a few hundred kilobytes, so a larger
/// one is read record by record (the three tables) or refused as malformed (the optional files),
/// and a huge or sparse file never fills the memory.
inline constexpr std::int64_t kLargestTableReadWhole = std::int64_t{16} * 1024 * 1024;

/// The code a record's bytes stand for: the pair when the first byte is a lead byte, otherwise
/// the first byte alone (the second is padding). For a record that holds a valid character this
/// equals CharCodeOf(RecordCharacter(record)).
CharCode RecordCode(Record record);

/// The one character a record holds. A record starting with a lead byte is decoded as one
/// double-byte character; any other record is the single-byte character of its first byte.
/// Bytes that are no character of the code page decode to the placeholder □, so a damaged
/// table shows plainly instead of turning into some unrelated character.
char32_t RecordCharacter(Record record);

/// The bytes of the code a record stores: both for a double-byte code, the first alone
/// otherwise. This is what the Japanese code text carries for a Japanese-code record.
std::string CodeBytes(Record record);

/// The record that stores a code given as its one or two bytes; throws std::invalid_argument
/// for any other length.
Record CodeRecord(std::string_view codeBytes);

/// Appends `record` to `bytes` as the files store it.
void AppendRecord(Record record, std::string& bytes);

// candidates.dat and names.dat are runs of entries. An entry is a header record `tag n`, then
// its key records (one per kanji, or the one key of a candidate entry), then n Japanese-code
// records, then n preview records; the kanji i of an entry is its Japanese-code and preview
// records i. words.dat, the word model, has a layout of its own (below).

/// The longest word in words.dat, in characters.
inline constexpr std::size_t kLongestWord = 16;

/// candidates.dat: the Japanese kanji each ambiguous key can stand for, by ascending key.
inline constexpr std::uint8_t kCandidateHeaderTag = 0x00;
/// The most candidates of one key (the header's count is one byte).
inline constexpr std::size_t kMostCandidates = 255;

/// names.dat: surnames of 1 to kLongestSurname characters (tag 01) and the kanji single
/// characters take in given names (tag 02).
inline constexpr std::uint8_t kSurnameTag = 0x01;
inline constexpr std::uint8_t kGivenNameTag = 0x02;
inline constexpr std::size_t kLongestSurname = 4;

/// How one kind of entry is laid out and how many kanji it holds.
struct EntryLayout {
    std::uint8_t tag = 0;   ///< the first byte of its header record
    bool oneKey = false;    ///< one key for all its kanji, else one key per kanji
    std::size_t fewest = 1; ///< the fewest kanji it holds
    std::size_t most = 1;   ///< the most kanji it holds
};

inline constexpr EntryLayout kCandidateEntry{kCandidateHeaderTag, true, 1, kMostCandidates};
inline constexpr EntryLayout kSurnameEntry{kSurnameTag, false, 1, kLongestSurname};
inline constexpr EntryLayout kGivenNameEntry{kGivenNameTag, false, 1, 1};

/// One entry as its records stand.
struct TableEntry {
    std::vector<Record> keys;          ///< code page 936 records of the keys
    std::vector<Record> japaneseCodes; ///< Shift-JIS records, one per kanji
    std::vector<Record> previews;      ///< code page 936 records of the kanji, one per kanji
    RecordNumber header = 0;           ///< its header record, in the file it was read from

    /// The number of the Japanese-code record of kanji `i` in the file the entry was read from.
    RecordNumber JapaneseCodeRecord(std::size_t i) const {
        return header + static_cast<RecordNumber>(keys.size() + 1 + i);
    }
};

// words.dat as the word model of the word-aware runs: every word of a Chinese word list with
// what its use costs the segmentation and the kanji of the characters whose Japanese spelling
// differs from the per-character tables. Entry: the record `n s` (n characters, 1 to
// kLongestWord; s spelled characters, 0 to n), the cost (an unsigned 16-bit number, high byte
// first), n key records, then s spellings in ascending position, three records each: `00 i`
// (i the character's 0-based position), its Japanese-code record, its preview record. A
// character without a spelling takes the pieces the per-character run gives it. Entries are
// sorted by their keys' CharCodes (a prefix first), each key sequence once.

/// A word of frequency f among words of total frequency T costs round(kWordCostScale ×
/// −ln(f / T)), at most kMostWordCost; a character no entry covers costs kUnknownCharacterCost,
/// more than any entry, so the segmentation covers a character with a word wherever one fits.
inline constexpr int kWordCostScale = 100;
inline constexpr std::uint16_t kMostWordCost = 10000;
inline constexpr int kUnknownCharacterCost = 20000;

/// The kanji one character of a word takes.
struct WordSpelling {
    std::uint8_t position = 0; ///< the character's 0-based position in the word
    Record japaneseCode;       ///< its Shift-JIS record
    Record preview;            ///< its code page 936 preview record

    bool operator==(const WordSpelling&) const = default;
};

/// The word model as words.dat stores it: the file's bytes, checked whole when read, and where
/// each entry begins, so that an entry is read in place by its number (its index in file order)
/// and loading builds nothing per entry.
class StoredWordModel {
public:
    /// Reads the word model `path`. A missing file has no entries. A file that cannot be read
    /// throws RuntimeError naming it; so does a malformed one (n of 0 or above kLongestWord, s
    /// above n, a cost above kMostWordCost, an entry that runs past the end, keys out of order
    /// or repeated, a spelling record that is no `00 i`, positions not ascending or past the
    /// word, a file larger than kLargestTableReadWhole). Whether a spelling's two records keep
    /// the tables' promise is the reader's to check.
    static StoredWordModel Read(const std::filesystem::path& path);

    const std::filesystem::path& Path() const { return m_path; }
    std::size_t EntryCount() const { return m_starts.size(); }

    /// The number of characters of entry `entry`.
    std::size_t Length(std::size_t entry) const { return Byte(entry, 0); }
    std::size_t SpellingCount(std::size_t entry) const { return Byte(entry, 1); }
    std::uint16_t Cost(std::size_t entry) const {
        return static_cast<std::uint16_t>(Byte(entry, 2) << 8 | Byte(entry, 3));
    }
    /// The code of key `i` of entry `entry`.
    CharCode Key(std::size_t entry, std::size_t i) const { return RecordCode(KeyRecord(entry, i)); }
    /// The record of key `i` of entry `entry`.
    Record KeyRecord(std::size_t entry, std::size_t i) const {
        return {Byte(entry, 4 + 2 * i), Byte(entry, 5 + 2 * i)};
    }
    /// The number of the first record of entry `entry`.
    RecordNumber HeaderRecord(std::size_t entry) const {
        return static_cast<RecordNumber>(m_starts[entry] / kRecordBytes + 1);
    }
    /// Spelling `j` of entry `entry`.
    WordSpelling Spelling(std::size_t entry, std::size_t j) const;
    /// The number of the Japanese-code record of spelling `j` of entry `entry`, for reports.
    RecordNumber SpellingRecord(std::size_t entry, std::size_t j) const;

private:
    std::uint8_t Byte(std::size_t entry, std::size_t at) const {
        return static_cast<std::uint8_t>(m_bytes[m_starts[entry] + at]);
    }
    std::size_t SpellingsStart(std::size_t entry) const {
        return m_starts[entry] + kRecordBytes * (2 + Length(entry));
    }

    std::filesystem::path m_path;
    std::string m_bytes;
    std::vector<std::uint32_t> m_starts; // the byte offset of each entry
};

/// One entry of the word model as its records stand.
struct WordModelEntry {
    std::vector<Record> keys;            ///< code page 936 records of the characters
    std::uint16_t cost = 0;              ///< lower = more frequent
    std::vector<WordSpelling> spellings; ///< ascending positions
    RecordNumber header = 0;             ///< its first record, in the file it was read from
};

/// Reads the word model `path` with StoredWordModel::Read and hands `take` each entry in file
/// order, as records (for the builder and the tests, which want whole entries; the run reads the
/// stored model in place). A malformed file throws before any entry is handed over.
void ForEachWordModelEntry(const std::filesystem::path& path,
                           const std::function<void(const WordModelEntry&)>& take);

/// Appends `entry` as the word model stores it. Throws std::invalid_argument for an entry
/// ForEachWordModelEntry would refuse on its own (its order among entries is the caller's).
void AppendWordModelEntry(const WordModelEntry& entry, std::string& bytes);

/// Reads the optional file `path` and hands `take` each entry in file order, with the layout its
/// header tag picks from `layouts`. A missing file has no entries. A file that cannot be read
/// throws RuntimeError naming it; so does a malformed one (an unknown tag, a count outside its
/// layout's bounds, an entry that runs past the end, a file larger than kLargestTableReadWhole),
/// after the entries before the fault were handed over.
void ForEachEntry(const std::filesystem::path& path, std::span<const EntryLayout> layouts,
                  const std::function<void(const EntryLayout&, const TableEntry&)>& take);

/// Appends `entry` laid out as `layout` says. Throws std::invalid_argument for an entry the
/// layout does not allow, so nothing is written that ForEachEntry would refuse.
void AppendEntry(const EntryLayout& layout, const TableEntry& entry, std::string& bytes);

} // namespace pelmora
