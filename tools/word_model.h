#pragma once

#include "candidate_table.h"
#include "chinese_word_list.h"
#include "table_files.h"
#include "word_spelling.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace pelmora::tables {

// One entry of the word model: a simplified word, what its use costs the segmentation, and the
// kanji of the characters whose Japanese spelling differs from the per-character tables.
struct ModelEntry {
    std::vector<UChar32> simplified;
    std::vector<std::string> keys; // code page 936 bytes of each character
    std::uint16_t cost = 0;
    std::vector<std::pair<std::uint8_t, JapaneseCode>> spelled; // ascending positions
    SpellingEvidence evidence = SpellingEvidence::PerCharacter;
    WordSource source = WordSource::Essay;
};

// How the word list fared in the model, for the report.
struct ModelCounts {
    int words = 0;           // words of the Chinese word list
    int tooLong = 0;         // more than kLongestWord characters
    int notDoubleByte = 0;   // a character that is no code page 936 ideograph
    int unseenUnspelled = 0; // frequency 0 and spelled as the per-character run: left out
    int entries = 0;         // entries of the model
    int spelledEntries = 0;  // entries with a spelled character
    int singleCharacters = 0;
    std::map<SpellingEvidence, int> byEvidence;
    std::uint64_t totalFrequency = 0; // the frequencies the costs are relative to
};

// The cost of a word of `frequency` among words of `total` frequency:
// round(kWordCostScale × −ln(frequency / total)), at most kMostWordCost (a word of frequency 0
// costs kMostWordCost).
std::uint16_t WordCost(std::uint64_t frequency, std::uint64_t total);

// The least share of a key's frequency in the words of a survey that the words IPADIC spells
// with a form reached by a semantic link must carry before any word takes that form for the
// key. Where the link holds, the words carry a good share (预 予 31%, 矿 鉱 22%, 仿 倣 9%);
// where IPADIC merely holds a word of another meaning, a small one (只分 子分: 只 子 0.4%, 一 壱
// 0.06%, 版 板 0.8%, 完 煙 1.7%). A key without a JIS X 0208 kanji of its own, which only such
// a link can give one, needs less (偷 偸 1.5%, 裤 袴 2%).
inline constexpr double kLeastLooseShare = 0.03;
inline constexpr double kLeastLooseShareWithoutKanji = 0.01;

// For each key, the Japanese forms the word list's words give it where IPADIC decides their
// spelling (WordSpeller::ChooseByLexicon), over the words the model can hold. Leaves the speller
// taking only the semantic links that kLeastLooseShare accepts.
FormEvidence LexiconEvidence(const std::vector<ChineseWord>& words, WordSpeller& speller,
                             const StrictCodePage& desktop);

// The model's entries.
struct WordModel {
    std::vector<ModelEntry> entries;
};

// Spells every word of the list that the model can hold (every character a double-byte
// ideograph of code page 936, at most kLongestWord characters), with `evidence` from
// LexiconEvidence. Entries keep the list's order (by simplified spelling).
WordModel BuildWordModel(const std::vector<ChineseWord>& words, const WordSpeller& speller,
                         const FormEvidence& evidence, const PerCharacter& perChar,
                         const StrictCodePage& desktop, ModelCounts& counts);

// IPADIC's evidence for the keys the per-character tables lack, from essay's traditional words
// spelled as they stand: a traditional or variant key is in no simplified word, but its
// traditional words may attest the forms its semantic links reach. Counts only the positions of
// such keys.
FormEvidence MissingKeyEvidence(const std::vector<TraditionalWord>& traditionalWords,
                                WordSpeller& speller, const PerCharacter& perChar);

// words.dat, the word model: per entry the record `n s`, the cost (high byte first), n key
// records, then for each spelled character `00 i`, its Japanese-code record and its preview
// record; entries sorted by key sequence (signed CharCodes, a prefix first).
std::string WordModelBytes(std::vector<ModelEntry> entries);

} // namespace pelmora::tables
