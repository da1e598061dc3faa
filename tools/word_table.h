#pragma once

#include "japanese_choice.h"
#include "phrase_sources.h"
#include "table_records.h"
#include "word_spelling.h"
#include "word_tables.h"

#include <map>
#include <string>
#include <vector>

namespace pelmora::tables {

// A Simplified word and its Japanese form, character by character.
struct WordEntry {
    std::vector<UChar32> simplified;
    std::vector<std::string> keys; // code page 936 bytes of each character
    std::vector<JapaneseCode> japanese;
    bool blocker = false; // kept only so that it blocks a shorter word, as the full list does
    SpellingEvidence evidence = SpellingEvidence::PerCharacter;
    std::vector<JapaneseCode> phraseForm = {}; // what the phrase source's own form gives
};

// Every word of the phrase dictionary with a shippable Japanese form, by Simplified word.
using WordDictionary = std::map<std::vector<UChar32>, WordEntry>;

// How the phrase dictionary's words fared.
struct WordCounts {
    int phrases = 0;                            // words read from the dictionary
    int tooLong = 0;                            // more than kLongestWord characters
    int notDoubleByte = 0;                      // a character that is no code page 936 ideograph
    int noJapaneseForm = 0;                     // a character with no shippable JIS X 0208 form
    int duplicates = 0;                         // a Simplified word already read
    std::map<SpellingEvidence, int> byEvidence; // words by how their spelling was decided
    int unlikePhraseSource = 0;  // words spelled otherwise than the phrase source's form
    int full = 0;                // words with a Japanese form
    int differing = 0;           // of those, words that differ from the per-character tables
    int blockers = 0;            // words kept only as blockers
    int blockedInputsBefore = 0; // dictionary words that the reduced list converted otherwise
};

// Every word whose Japanese form the tables can ship, spelled by Japanese evidence.
WordDictionary FullWordDictionary(const std::vector<Phrase>& phrases, const WordSpeller& speller,
                                  const FormEvidence& evidence, const StrictCodePage& desktop,
                                  WordCounts& counts);

// The words whose Japanese form differs from the per-character tables, plus the words needed
// to block a shorter word where the full dictionary would block it (see word_table.cpp).
std::vector<WordEntry> ReducedWordTable(const std::vector<Phrase>& phrases,
                                        const WordDictionary& full, const PerCharacter& perChar,
                                        WordCounts& counts);

// The engine's table of `words`, which its word run matches with.
WordTable WordTableOf(const WordDictionary& words);

// The Japanese characters the engine's forward longest match over `words` gives for a text, each
// character outside a word taking its per-character form (0 where the tables give none).
std::vector<UChar32> ConvertByWords(const std::vector<UChar32>& text, const WordTable& words,
                                    const PerCharacter& perChar);

// words.dat: the entries sorted by their keys' CharCodes, a prefix first.
std::string WordTableBytes(std::vector<WordEntry> entries);

} // namespace pelmora::tables
