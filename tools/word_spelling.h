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
// (replacement_kanji), each once.
std::vector<JapaneseCode> key_counterparts(UChar32 key, const PerCharacter& per_char,
                                           const JapaneseChooser& chooser);

// The hand-made replacement kanji key_counterparts adds, each with its reason, for the report.
std::vector<std::string> replacement_kanji();

// How a word's Japanese spelling was decided.
enum class SpellingEvidence {
    PerCharacterWord, // the per-character spelling is an IPADIC word: it stays
    LexiconWord,      // the IPADIC word of lowest cost among the candidate spellings
    Analysis,         // no candidate is an IPADIC word; MeCab's analysis is clearly cheaper
    PerCharacterTie,  // no clear evidence: the per-character spelling
};

const char* spelling_evidence_name(SpellingEvidence evidence);

struct SpellingChoice {
    std::vector<JapaneseCode> japanese;
    SpellingEvidence evidence = SpellingEvidence::PerCharacterTie;
    std::vector<JapaneseCode> phrase_form; // the phrase source's own form, for the report
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
                const PerCharacter& per_char);

    // The spelling of a phrase whose characters all have a per-character default and a JIS X
    // 0208 counterpart; nothing otherwise.
    std::optional<SpellingChoice> choose(const Phrase& phrase) const;

private:
    const std::vector<JapaneseCode>& counterparts(UChar32 key) const;
    bool is_own_japanese_form(UChar32 kanji) const;
    std::vector<std::vector<JapaneseCode>>
    spellings(const Phrase& phrase, const std::vector<JapaneseCode>& per_char,
              const std::vector<JapaneseCode>& phrase_form) const;
    bool tie_less(const std::vector<JapaneseCode>& a, const std::vector<JapaneseCode>& b,
                  const std::vector<JapaneseCode>& per_char,
                  const std::vector<JapaneseCode>& phrase_form) const;

    const JapaneseLexicon& lexicon_;
    const JapaneseChooser& chooser_;
    const PerCharacter& per_char_;
    mutable std::map<UChar32, std::vector<JapaneseCode>> counterparts_;
};

} // namespace pelmora::tables
