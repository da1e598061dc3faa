#pragma once

// The layout of the optional files beside the three tables, shared by the engine that reads
// them, the builder in tools/ that writes them and the tests. Plain constants only, so the
// builder includes this header without linking the engine.
//
// Every file is a flat run of 2-byte records with no file header. A key or preview record is a
// code page 936 code as in pin.dat and jj.dat (lead byte first; an ASCII byte followed by 0x00);
// a Japanese-code record is a Shift-JIS code as in pj.dat. data/README.md describes each file.

#include <cstddef>
#include <cstdint>

namespace pelmora::table_formats {

/// Words with the Japanese kanji their characters take in them. Entry: header record
/// `00 n`, n key records, n Japanese-code records, n preview records.
inline constexpr const char* kWordTableName = "words.dat";
inline constexpr std::uint8_t kWordHeaderTag = 0x00;
inline constexpr std::size_t kShortestWord = 2;
/// The longest word in words.dat, in characters.
inline constexpr std::size_t kLongestWord = 16;

/// The word model's costs (words.dat as the word model of the word-aware runs): a word of
/// frequency f among words of total frequency T costs round(kWordCostScale × −ln(f / T)), at
/// most kMostWordCost; a character that no entry covers costs kUnknownCharacterCost, more than
/// any entry, so the segmentation covers a character with a word wherever one fits.
inline constexpr int kWordCostScale = 100;
inline constexpr std::uint16_t kMostWordCost = 10000;
inline constexpr int kUnknownCharacterCost = 20000;

/// The Japanese kanji each ambiguous key can stand for. Entry: header record `00 m`, the key
/// record, m Japanese-code records, m preview records.
inline constexpr const char* kCandidateTableName = "candidates.dat";
inline constexpr std::uint8_t kCandidateHeaderTag = 0x00;
inline constexpr std::size_t kMostCandidates = 255;

/// The forms Chinese personal names take. Entry: header record `kind n`, n key records, n
/// Japanese-code records, n preview records, as in words.dat. A surname entry (kind 01) is a
/// surname of 1 to kLongestSurname characters; a given-name entry (kind 02) is one character
/// and the form it takes in a given name.
inline constexpr const char* kNameTableName = "names.dat";
inline constexpr std::uint8_t kSurnameTag = 0x01;
inline constexpr std::uint8_t kGivenNameTag = 0x02;
inline constexpr std::size_t kLongestSurname = 4;

/// The records an entry of n characters takes after its header in words.dat and names.dat.
constexpr std::size_t EntryRecords(std::size_t characters) {
    return 3 * characters;
}

} // namespace pelmora::table_formats
