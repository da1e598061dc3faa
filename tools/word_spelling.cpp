#include "word_spelling.h"

#include <algorithm>
#include <climits>

namespace pelmora::tables {

namespace {

using Spelling = std::vector<JapaneseCode>;

struct Replacement {
    UChar32 from;
    UChar32 to;
    const char* reason;
};

// Kanji that Japanese replaced by another of the same reading when it cut its character set
// down, where neither OpenCC nor Unihan links the two.
constexpr Replacement kReplacements[] = {
    {U'劃', U'画', "Japanese writes 画 for 劃 since the post-war character reform (計画, 区画)"},
};

std::vector<UChar32> Characters(const Spelling& spelling) {
    std::vector<UChar32> result;
    for (const auto& code : spelling) {
        result.push_back(code.character);
    }
    return result;
}

bool Same(const Spelling& a, const Spelling& b) {
    return Characters(a) == Characters(b);
}

// A spelling's standing in Japanese by its kanji alone: how many are Jōyō or Jinmeiyō, and the
// sum of their frequency ranks (an unranked kanji counts as rank 3000).
std::pair<int, int> KanjiStanding(const Spelling& spelling, const JapaneseLexicon& lexicon) {
    int graded = 0;
    int rankSum = 0;
    for (const auto& code : spelling) {
        graded += lexicon.IsJoyoOrJinmeiyo(code.character) ? 1 : 0;
        const int rank = lexicon.Facts(code.character).frequency;
        rankSum += rank == 0 ? 3000 : rank;
    }
    return {graded, rankSum};
}

// MeCab rates a non-word cheaply when it splits into kanji that stand alone as nouns (濛古 as
// 濛 + 古 beats 蒙古, 后門 beats 後門), so a character may leave its per-character form only
// inside a dictionary word of two or more characters of the analysis (理髪 + 店).
bool ChangesOnlyInsideWords(const Spelling& spelling, const Spelling& perChar,
                            const Analysis& analysis) {
    if (analysis.wordLength.size() != spelling.size()) {
        return false;
    }
    for (std::size_t i = 0; i < spelling.size(); ++i) {
        if (spelling[i].character != perChar[i].character && analysis.wordLength[i] < 2) {
            return false;
        }
    }
    return true;
}

} // namespace

std::vector<JapaneseCode> KeyCounterparts(UChar32 key, const PerCharacter& perChar,
                                          const JapaneseChooser& chooser) {
    std::vector<JapaneseCode> list;
    if (const auto found = perChar.find(key); found != perChar.end()) {
        AddUnique(list, found->second);
    }
    const auto addForm = [&](UChar32 c) {
        AddUnique(list, chooser.JapaneseFormOf(c));
        if (chooser.InJisX0208(c)) {
            AddUnique(list, chooser.Shippable(c));
        }
    };
    for (const UChar32 form : chooser.RelatedForms(key)) {
        addForm(form);
        for (const auto& replacement : kReplacements) {
            if (replacement.from == form) {
                addForm(replacement.to);
            }
        }
    }
    // Words must stay one kanji per character: nothing but kanji.
    std::erase_if(list, [&chooser](const JapaneseCode& code) {
        return code.sjis.size() != 2 || !chooser.InJisX0208(code.character) ||
               static_cast<std::uint8_t>(code.sjis[0]) < 0x88;
    });
    return list;
}

std::vector<std::string> ReplacementKanji() {
    std::vector<std::string> lines;
    for (const auto& replacement : kReplacements) {
        lines.push_back(Utf8(replacement.from) + " → " + Utf8(replacement.to) + ": " +
                        replacement.reason);
    }
    return lines;
}

const char* SpellingEvidenceName(SpellingEvidence evidence) {
    switch (evidence) {
    case SpellingEvidence::PerCharacterWord:
        return "the per-character spelling is an IPADIC word";
    case SpellingEvidence::LexiconWord:
        return "the IPADIC word of lowest cost";
    case SpellingEvidence::Analysis:
        return "MeCab's analysis clearly cheaper";
    case SpellingEvidence::PerCharacterTie:
        return "no clear evidence: the per-character spelling";
    }
    return "?";
}

WordSpeller::WordSpeller(const JapaneseLexicon& lexicon, const JapaneseChooser& chooser,
                         const PerCharacter& perChar)
    : m_lexicon(lexicon), m_chooser(chooser), m_perChar(perChar) {}

// Words are spelled with the forms Japanese writes today: an old form (轉, 爲, 龍) whose
// Japanese form (転, 為, 竜) is another character is left to the candidate menu.
bool WordSpeller::IsOwnJapaneseForm(UChar32 kanji) const {
    const auto form = m_chooser.JapaneseFormOf(kanji);
    return form && form->character == kanji;
}

const std::vector<JapaneseCode>& WordSpeller::Counterparts(UChar32 key) const {
    auto found = m_counterparts.find(key);
    if (found == m_counterparts.end()) {
        found = m_counterparts.emplace(key, KeyCounterparts(key, m_perChar, m_chooser)).first;
    }
    return found->second;
}

// The products of the characters' counterparts, the per-character spelling first. A word
// whose product would exceed kMostSpellings tries, per character, only its per-character and
// phrase forms, and when even that is too many, only those two spellings.
std::vector<Spelling> WordSpeller::Spellings(const Phrase& phrase, const Spelling& perChar,
                                             const Spelling& phraseForm) const {
    std::vector<std::vector<JapaneseCode>> choices;
    std::size_t product = 1;
    for (std::size_t i = 0; i < phrase.simplified.size(); ++i) {
        std::vector<JapaneseCode> options = {perChar[i]};
        AddUnique(options, phraseForm[i]);
        for (const auto& code : Counterparts(phrase.simplified[i])) {
            if (IsOwnJapaneseForm(code.character) &&
                !JapaneseChooser::WordFormRejection(phrase.simplified[i], code.character)) {
                AddUnique(options, code);
            }
        }
        product = std::min(product * options.size(), kMostSpellings + 1);
        choices.push_back(std::move(options));
    }
    if (product > kMostSpellings) {
        product = 1;
        for (std::size_t i = 0; i < choices.size(); ++i) {
            choices[i] = {perChar[i]};
            AddUnique(choices[i], phraseForm[i]);
            product = std::min(product * choices[i].size(), kMostSpellings + 1);
        }
    }
    if (product > kMostSpellings) {
        return Same(perChar, phraseForm) ? std::vector<Spelling>{perChar}
                                         : std::vector<Spelling>{perChar, phraseForm};
    }
    std::vector<Spelling> result = {{}};
    for (const auto& options : choices) {
        std::vector<Spelling> longer;
        for (const auto& prefix : result) {
            for (const auto& code : options) {
                longer.push_back(prefix);
                longer.back().push_back(code);
            }
        }
        result = std::move(longer);
    }
    return result;
}

// On equal evidence: the per-character spelling, then the phrase source's, then more Jōyō
// and Jinmeiyō kanji, then more frequent kanji, then code order (so the choice is fixed).
bool WordSpeller::TieLess(const Spelling& a, const Spelling& b, const Spelling& perChar,
                          const Spelling& phraseForm) const {
    if (Same(a, perChar) != Same(b, perChar)) {
        return Same(a, perChar);
    }
    if (Same(a, phraseForm) != Same(b, phraseForm)) {
        return Same(a, phraseForm);
    }
    const auto standingA = KanjiStanding(a, m_lexicon);
    const auto standingB = KanjiStanding(b, m_lexicon);
    if (standingA.first != standingB.first) {
        return standingA.first > standingB.first;
    }
    if (standingA.second != standingB.second) {
        return standingA.second < standingB.second;
    }
    return Characters(a) < Characters(b);
}

// The rules, in order (tuned on bench/words/word_list.tsv; data/README.md says how):
//  1. the per-character spelling stays when IPADIC holds it as a word;
//  2. otherwise the IPADIC word of lowest cost among the candidate spellings;
//     (1 and 2 are tried with IPADIC's common words, then with its place names);
//  3. otherwise the spelling MeCab's best analysis rates cheapest among those that change
//     characters only inside dictionary words of two or more characters, if it beats the
//     per-character spelling by kClearAnalysisMargin (kClearAnalysisMarginWithPhrase when it
//     is also the phrase source's spelling);
//  4. otherwise the per-character spelling.
std::optional<SpellingChoice> WordSpeller::Choose(const Phrase& phrase) const {
    Spelling perChar;
    Spelling phraseForm;
    for (std::size_t i = 0; i < phrase.simplified.size(); ++i) {
        const auto found = m_perChar.find(phrase.simplified[i]);
        if (found == m_perChar.end() || Counterparts(phrase.simplified[i]).empty()) {
            return std::nullopt;
        }
        perChar.push_back(found->second);
        auto form = m_chooser.JapaneseFormOf(phrase.traditional[i]);
        if (!form || !m_chooser.InJisX0208(form->character) ||
            JapaneseChooser::WordFormRejection(phrase.simplified[i], form->character)) {
            form = found->second;
        }
        phraseForm.push_back(*form);
    }
    const auto candidates = Spellings(phrase, perChar, phraseForm);
    // Common words first, then place names (see JapaneseLexicon::PlaceCost).
    for (const auto costOf : {&JapaneseLexicon::WordCost, &JapaneseLexicon::PlaceCost}) {
        if ((m_lexicon.*costOf)(Characters(perChar))) {
            return SpellingChoice{perChar, SpellingEvidence::PerCharacterWord, phraseForm};
        }
        const Spelling* bestWord = nullptr;
        int bestWordCost = INT_MAX;
        for (const auto& spelling : candidates) {
            const auto cost = (m_lexicon.*costOf)(Characters(spelling));
            if (cost &&
                (*cost < bestWordCost ||
                 (*cost == bestWordCost && TieLess(spelling, *bestWord, perChar, phraseForm)))) {
                bestWord = &spelling;
                bestWordCost = *cost;
            }
        }
        if (bestWord != nullptr) {
            return SpellingChoice{*bestWord, SpellingEvidence::LexiconWord, phraseForm};
        }
    }
    if (candidates.size() < 2) {
        return SpellingChoice{perChar, SpellingEvidence::PerCharacterTie, phraseForm};
    }
    const Spelling* best = nullptr;
    int bestCost = INT_MAX;
    for (const auto& spelling : candidates) {
        const auto& analysis = m_lexicon.AnalysisOf(Characters(spelling));
        if (!ChangesOnlyInsideWords(spelling, perChar, analysis)) {
            continue;
        }
        if (analysis.cost < bestCost ||
            (analysis.cost == bestCost && TieLess(spelling, *best, perChar, phraseForm))) {
            best = &spelling;
            bestCost = analysis.cost;
        }
    }
    if (best == nullptr || Same(*best, perChar)) {
        return SpellingChoice{perChar, SpellingEvidence::PerCharacterTie, phraseForm};
    }
    const int margin = m_lexicon.AnalysisOf(Characters(perChar)).cost - bestCost;
    const int needed =
        Same(*best, phraseForm) ? kClearAnalysisMarginWithPhrase : kClearAnalysisMargin;
    if (margin >= needed) {
        return SpellingChoice{*best, SpellingEvidence::Analysis, phraseForm};
    }
    return SpellingChoice{perChar, SpellingEvidence::PerCharacterTie, phraseForm};
}

} // namespace pelmora::tables
