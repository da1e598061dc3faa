#pragma once

#include "phrase_sources.h"
#include "variant_sources.h"

#include <cstdint>
#include <istream>
#include <map>
#include <string>
#include <vector>

namespace pelmora::tables {

// OpenCC's traditional-to-simplified conversion (its t2s configuration) over the dictionaries
// TSCharacters and TSPhrases dumped as text: at each position the longest TSPhrases phrase that
// starts there, else the character's first TSCharacters form, else the character itself.
class TraditionalToSimplified {
public:
    // `characters`: TSCharacters as read by ReadOpenccCharacters; `phrases`: TSPhrases as read by
    // ReadOpenccPhrases, whose Phrase holds the dictionary's key (here the traditional phrase) in
    // `simplified` and its first value (here the simplified phrase) in `traditional`.
    TraditionalToSimplified(const VariantMap& characters, const std::vector<Phrase>& phrases);

    // The simplified spelling of a traditional word, character for character.
    std::vector<UChar32> Convert(const std::vector<UChar32>& traditional) const;

private:
    std::map<UChar32, UChar32> m_characters;
    std::map<std::u32string, std::u32string> m_phrases;
    std::size_t m_longestPhrase = 1;
};

// Where a word of the Chinese word list comes from.
enum class WordSource {
    Essay,     // rime-essay's essay.txt, with its corpus frequency
    StPhrases, // OpenCC's STPhrases, for a word essay lacks (frequency kPhraseOnlyFrequency)
};

// One word of the Chinese word model, by its simplified spelling.
struct ChineseWord {
    // The simplified spelling, and the traditional spelling of the word's most frequent meaning
    // (essay's most frequent traditional word with this simplified spelling).
    Phrase phrase;
    // The sum of the frequencies of every traditional word with this simplified spelling: the
    // simplified spelling's own frequency, whichever word the writer meant.
    std::uint64_t frequency = 0;
    WordSource source = WordSource::Essay;
    // How many traditional words share the simplified spelling (後 and 后 both give 后).
    int traditionalWords = 1;
};

// The frequency given to an STPhrases word that essay lacks: the least frequency essay gives a
// word it attests. The phrase dictionary lists a word because its characters convert otherwise
// than alone, so it is a real word, but nothing says how common it is.
inline constexpr std::uint64_t kPhraseOnlyFrequency = 1;

// How the word list was made, for the report.
struct WordListCounts {
    int essayLines = 0;           // words read from essay.txt
    int essayBadLines = 0;        // lines that are no "word<TAB>frequency"
    int essayLengthChanged = 0;   // words whose simplified spelling has another length
    int sharedSimplified = 0;     // essay words that share a simplified spelling with another
    int phrasesAdded = 0;         // STPhrases words essay lacks
    std::uint64_t essayTotal = 0; // the sum of essay's frequencies
};

// A word of essay as it stands, in traditional characters.
struct TraditionalWord {
    std::vector<UChar32> characters;
    std::uint64_t frequency = 0;
};

// The Chinese word list: the words by simplified spelling, sorted, and every traditional word
// essay holds, in its order.
struct ChineseWordList {
    std::vector<ChineseWord> words;
    std::vector<TraditionalWord> traditionalWords;
};

// Reads essay.txt ("word<TAB>frequency", traditional Chinese), indexes every word by its
// simplified spelling and adds the STPhrases words it lacks.
ChineseWordList ReadChineseWordList(std::istream& essay,
                                    const TraditionalToSimplified& toSimplified,
                                    const std::vector<Phrase>& stPhrases, WordListCounts& counts);

} // namespace pelmora::tables
