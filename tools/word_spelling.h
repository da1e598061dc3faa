#pragma once

#include "japanese_choice.h"
#include "japanese_lexicon.h"
#include "phrase_sources.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::tables {

// What the per-character tables give for each key character.
using PerCharacter = std::map<UChar32, JapaneseCode>;

// Every JIS X 0208 kanji a key character can stand for: its per-character default first, then
// the key itself, each OpenCC traditional form with its Japanese form, and their Unihan
// traditional and z-variant links with theirs, and the kanji Japanese replaced them by
// (ReplacementKanji), each once.
std::vector<JapaneseCode> KeyCounterparts(UChar32 key, const PerCharacter& perChar,
                                          const JapaneseChooser& chooser);

// The hand-made replacement kanji KeyCounterparts adds, each with its reason, for the report.
std::vector<std::string> ReplacementKanji();

// How a word's Japanese spelling was decided.
enum class SpellingEvidence {
    PerCharacterWord, // the per-character spelling is an IPADIC word: it stays
    LexiconWord,      // the IPADIC word of lowest cost among the candidate spellings
    Analysis,         // no candidate is an IPADIC word; MeCab's analysis is clearly cheaper
    PerCharacterTie,  // no clear evidence: the per-character spelling
};

const char* SpellingEvidenceName(SpellingEvidence evidence);

struct SpellingChoice {
    std::vector<JapaneseCode> japanese;
    SpellingEvidence evidence = SpellingEvidence::PerCharacterTie;
    std::vector<JapaneseCode> phraseForm; // the phrase source's own form, for the report
};

// The least MeCab cost by which a spelling must beat the per-character one (see
// word_spelling.cpp for how these were tuned).
inline constexpr int kClearAnalysisMargin = 3000;
inline constexpr int kClearAnalysisMarginWithPhrase = 1500;
// The most candidate spellings tried for one word.
inline constexpr std::size_t kMostSpellings = 64;

// Chooses the Japanese spelling of words by Japanese evidence.
class WordSpeller {
public:
    WordSpeller(const JapaneseLexicon& lexicon, const JapaneseChooser& chooser,
                const PerCharacter& perChar);

    // The spelling of a phrase whose characters all have a per-character default and a JIS X
    // 0208 counterpart; nothing otherwise.
    std::optional<SpellingChoice> Choose(const Phrase& phrase) const;

private:
    const std::vector<JapaneseCode>& Counterparts(UChar32 key) const;
    bool IsOwnJapaneseForm(UChar32 kanji) const;
    std::vector<std::vector<JapaneseCode>>
    Spellings(const Phrase& phrase, const std::vector<JapaneseCode>& perChar,
              const std::vector<JapaneseCode>& phraseForm) const;
    bool TieLess(const std::vector<JapaneseCode>& a, const std::vector<JapaneseCode>& b,
                 const std::vector<JapaneseCode>& perChar,
                 const std::vector<JapaneseCode>& phraseForm) const;

    const JapaneseLexicon& m_lexicon;
    const JapaneseChooser& m_chooser;
    const PerCharacter& m_perChar;
    mutable std::map<UChar32, std::vector<JapaneseCode>> m_counterparts;
};

} // namespace pelmora::tables
