#pragma once

#include "japanese_choice.h"
#include "japanese_lexicon.h"
#include "phrase_sources.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
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

// For each key character, how many words of the word list give it each Japanese form in a
// spelling IPADIC holds as a word (a word counts once per form; words that IPADIC does not
// hold do not count, since MeCab's analysis of a non-word favours kanji that stand alone as
// nouns: 沖 over 衝, 闇 over 暗).
using FormEvidence = std::map<UChar32, std::map<UChar32, int>>;

// The words that give the key this form, 0 when none does.
int EvidenceFor(const FormEvidence& evidence, UChar32 key, UChar32 form);

// How a word's Japanese spelling was decided, in the order the evidence is weighed.
enum class SpellingEvidence {
    PerCharacterWord, // the per-character spelling is an IPADIC word: it stays
    LexiconWord,      // the IPADIC word of lowest cost among the counterparts' spellings
    LooseVariantWord, // the same with the forms Unihan's semantic links reach (予約, 模倣)
    Analysis,         // no candidate is an IPADIC word; MeCab's analysis is clearly cheaper
    MeaningForm,      // no Japanese evidence: the Japanese form of the word's traditional spelling
    PerCharacter,     // no evidence at all, or the meaning's form is the per-character spelling
};

const char* SpellingEvidenceName(SpellingEvidence evidence);

// A word's Japanese spelling, one code per character. A character with no JIS X 0208 kanji
// among its forms keeps what the per-character tables give it (an extension kanji, or nothing:
// character 0).
using Spelling = std::vector<JapaneseCode>;

// A spelling by its characters alone, as candidates are compared.
using Kanji = std::vector<UChar32>;

struct SpellingChoice {
    Spelling japanese;
    SpellingEvidence evidence = SpellingEvidence::PerCharacter;
    Spelling meaningForm; // the Japanese form of the traditional spelling, for the report
};

// The least MeCab cost by which a spelling must beat the per-character one (see
// word_spelling.cpp for how these were tuned).
inline constexpr int kClearAnalysisMargin = 3000;
inline constexpr int kClearAnalysisMarginWithMeaning = 1500;
// The fewest IPADIC-spelled words that must give a key its meaning's form before a word of one
// character takes that form (see word_spelling.cpp).
inline constexpr int kFewestWordsForACharacter = 3;
// The most candidate spellings tried for one word.
inline constexpr std::size_t kMostSpellings = 64;

// Chooses the Japanese spelling of words by Japanese evidence.
class WordSpeller {
public:
    WordSpeller(const JapaneseLexicon& lexicon, const JapaneseChooser& chooser,
                const PerCharacter& perChar);

    // The spelling of a word of two or more characters that IPADIC decides, when it does:
    // `phrase` holds its simplified spelling and the traditional spelling of its meaning.
    std::optional<SpellingChoice> ChooseByLexicon(const Phrase& phrase) const;

    // The spelling of a word, by every kind of evidence in order: IPADIC, MeCab's analysis,
    // the Japanese form of its meaning where IPADIC's words attest that form for the key
    // (`evidence`, what ChooseByLexicon gave the word list), the per-character spelling. A
    // character the per-character tables lack and no evidence spells stays character 0.
    SpellingChoice Choose(const Phrase& phrase, const FormEvidence& evidence) const;

    // The links (key, kanji) of a spelling's characters that only a semantic link reaches.
    std::vector<std::pair<UChar32, UChar32>> LooseLinksIn(const Phrase& phrase,
                                                          const Spelling& spelling) const;

    // True when the per-character tables give the key a JIS X 0208 kanji.
    bool HasKanji(UChar32 key) const;

    // Which semantic links words may take: every one (nothing), while their evidence is
    // surveyed, or only `accepted`.
    void SetLooseLinks(std::optional<std::set<std::pair<UChar32, UChar32>>> accepted);

private:
    // The forms each character of a word may take.
    using Options = std::vector<std::vector<JapaneseCode>>;

    const std::vector<JapaneseCode>& FormsOf(UChar32 key) const;
    const std::vector<JapaneseCode>& LooseFormsOf(UChar32 key, UChar32 traditional) const;
    bool IsOwnJapaneseForm(UChar32 kanji) const;
    JapaneseCode PerCharacterCode(UChar32 key) const;
    JapaneseCode MeaningCode(UChar32 key, UChar32 traditional) const;
    void Spell(const Phrase& phrase, Spelling& perChar, Spelling& meaning) const;
    Options OptionsOf(const Phrase& phrase, const Spelling& perChar, const Spelling& meaning,
                      bool loose) const;
    static std::vector<Kanji> Spellings(const Options& options, const Kanji& perChar,
                                        const Kanji& meaning);
    static Spelling SpellingOf(const Kanji& kanji, const Options& options);
    std::optional<SpellingChoice> ByLexicon(const Phrase& phrase, const Spelling& perChar,
                                            const Spelling& meaning) const;
    std::optional<Spelling> ByAnalysis(const Phrase& phrase, const Spelling& perChar,
                                       const Spelling& meaning) const;
    SpellingChoice ByMeaning(const Phrase& phrase, const Spelling& perChar, const Spelling& meaning,
                             const FormEvidence& evidence) const;
    bool InsideLexiconWord(const Kanji& perChar, const Kanji& meaning, std::size_t position) const;
    bool TieLess(const Kanji& a, const Kanji& b, const Kanji& perChar, const Kanji& meaning) const;

    const JapaneseLexicon& m_lexicon;
    const JapaneseChooser& m_chooser;
    const PerCharacter& m_perChar;
    mutable std::unordered_map<UChar32, std::vector<JapaneseCode>> m_forms;
    std::unordered_map<UChar32, JapaneseCode> m_perCharCodes; // m_perChar, looked up faster
    struct PairHash {
        std::size_t operator()(const std::pair<UChar32, UChar32>& pair) const {
            return static_cast<std::size_t>(pair.first) << 32 ^
                   static_cast<std::uint32_t>(pair.second);
        }
    };
    mutable std::unordered_map<std::pair<UChar32, UChar32>, JapaneseCode, PairHash> m_meanings;
    mutable std::unordered_map<std::pair<UChar32, UChar32>, std::vector<JapaneseCode>, PairHash>
        m_looseForms;
    std::optional<std::set<std::pair<UChar32, UChar32>>> m_acceptedLoose;
};

} // namespace pelmora::tables
