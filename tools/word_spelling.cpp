#include "word_spelling.h"

#include <algorithm>
#include <climits>

namespace pelmora::tables {

namespace {

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

const Replacement* FindReplacement(UChar32 from) {
    for (const auto& replacement : kReplacements) {
        if (replacement.from == from) {
            return &replacement;
        }
    }
    return nullptr;
}

std::vector<UChar32> Characters(const Spelling& spelling) {
    std::vector<UChar32> result;
    for (const auto& code : spelling) {
        result.push_back(code.character);
    }
    return result;
}

// A spelling's standing in Japanese by its kanji alone: how many are Jōyō or Jinmeiyō, and the
// sum of their frequency ranks (an unranked kanji counts as rank 3000).
std::pair<int, int> KanjiStanding(const Kanji& spelling, const JapaneseLexicon& lexicon) {
    int graded = 0;
    int rankSum = 0;
    for (const UChar32 kanji : spelling) {
        graded += lexicon.IsJoyoOrJinmeiyo(kanji) ? 1 : 0;
        const int rank = lexicon.Facts(kanji).frequency;
        rankSum += rank == 0 ? 3000 : rank;
    }
    return {graded, rankSum};
}

// MeCab rates a non-word cheaply when it splits into kanji that stand alone as nouns (濛古 as
// 濛 + 古 beats 蒙古, 后門 beats 後門), so a character may leave its per-character form only
// inside a dictionary word of two or more characters of the analysis (理髪 + 店).
bool ChangesOnlyInsideWords(const Kanji& spelling, const Kanji& perChar, const Analysis& analysis) {
    if (analysis.wordLength.size() != spelling.size()) {
        return false;
    }
    for (std::size_t i = 0; i < spelling.size(); ++i) {
        if (spelling[i] != perChar[i] && analysis.wordLength[i] < 2) {
            return false;
        }
    }
    return true;
}

std::vector<UChar32> Part(const Kanji& text, std::size_t begin, std::size_t end) {
    return {text.begin() + static_cast<long>(begin), text.begin() + static_cast<long>(end)};
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

int EvidenceFor(const FormEvidence& evidence, UChar32 key, UChar32 form) {
    const auto byKey = evidence.find(key);
    if (byKey == evidence.end()) {
        return 0;
    }
    const auto count = byKey->second.find(form);
    return count == byKey->second.end() ? 0 : count->second;
}

const char* SpellingEvidenceName(SpellingEvidence evidence) {
    switch (evidence) {
    case SpellingEvidence::PerCharacterWord:
        return "the per-character spelling is an IPADIC word";
    case SpellingEvidence::LexiconWord:
        return "the IPADIC word of lowest cost";
    case SpellingEvidence::LooseVariantWord:
        return "the IPADIC word of lowest cost with a form a semantic link reaches";
    case SpellingEvidence::Analysis:
        return "MeCab's analysis clearly cheaper";
    case SpellingEvidence::MeaningForm:
        return "the Japanese form of the word's traditional spelling";
    case SpellingEvidence::PerCharacter:
        return "the per-character spelling";
    }
    return "?";
}

WordSpeller::WordSpeller(const JapaneseLexicon& lexicon, const JapaneseChooser& chooser,
                         const PerCharacter& perChar)
    : m_lexicon(lexicon), m_chooser(chooser), m_perChar(perChar),
      m_perCharCodes(perChar.begin(), perChar.end()) {}

// Words are spelled with the forms Japanese writes today: an old form (轉, 爲, 龍) whose
// Japanese form (転, 為, 竜) is another character is left to the candidate menu.
bool WordSpeller::IsOwnJapaneseForm(UChar32 kanji) const {
    const auto form = m_chooser.JapaneseFormOf(kanji);
    return form && form->character == kanji;
}

// The counterparts a word may give the key: KeyCounterparts that are their own Japanese form
// and no rejected word form.
const std::vector<JapaneseCode>& WordSpeller::FormsOf(UChar32 key) const {
    auto found = m_forms.find(key);
    if (found == m_forms.end()) {
        std::vector<JapaneseCode> forms;
        for (const auto& code : KeyCounterparts(key, m_perChar, m_chooser)) {
            if (IsOwnJapaneseForm(code.character) &&
                !JapaneseChooser::WordFormRejection(key, code.character)) {
                AddUnique(forms, code);
            }
        }
        found = m_forms.emplace(key, std::move(forms)).first;
    }
    return found->second;
}

// The forms the semantic links of the meaning's traditional character reach (預 ~ 豫 -> 予 in
// 預定), their own Japanese form and no counterpart of the key already. The links start at the
// meaning's character only: the key's other characters may be linked to a kanji of another
// meaning altogether (只 ~ 子, while 三只 means 三隻).
const std::vector<JapaneseCode>& WordSpeller::LooseFormsOf(UChar32 key, UChar32 traditional) const {
    auto found = m_looseForms.find({key, traditional});
    if (found == m_looseForms.end()) {
        std::vector<JapaneseCode> forms;
        const auto& counterparts = FormsOf(key);
        for (const auto& code : m_chooser.LooseVariantForms(traditional)) {
            const bool known = std::any_of(
                counterparts.begin(), counterparts.end(),
                [&code](const JapaneseCode& c) { return c.character == code.character; });
            const bool accepted =
                !m_acceptedLoose || m_acceptedLoose->count({key, code.character}) != 0;
            if (!known && accepted && IsOwnJapaneseForm(code.character)) {
                AddUnique(forms, code);
            }
        }
        found = m_looseForms.emplace(std::make_pair(key, traditional), std::move(forms)).first;
    }
    return found->second;
}

std::vector<std::pair<UChar32, UChar32>> WordSpeller::LooseLinksIn(const Phrase& phrase,
                                                                   const Spelling& spelling) const {
    std::vector<std::pair<UChar32, UChar32>> links;
    for (std::size_t i = 0; i < spelling.size(); ++i) {
        const auto& forms = LooseFormsOf(phrase.simplified[i], phrase.traditional[i]);
        const bool loose = std::any_of(forms.begin(), forms.end(), [&](const JapaneseCode& code) {
            return code.character == spelling[i].character;
        });
        if (loose) {
            links.emplace_back(phrase.simplified[i], spelling[i].character);
        }
    }
    return links;
}

bool WordSpeller::HasKanji(UChar32 key) const {
    const auto code = PerCharacterCode(key);
    return code.character != 0 && m_chooser.InJisX0208(code.character);
}

void WordSpeller::SetLooseLinks(std::optional<std::set<std::pair<UChar32, UChar32>>> accepted) {
    m_acceptedLoose = std::move(accepted);
    m_looseForms.clear();
}

JapaneseCode WordSpeller::PerCharacterCode(UChar32 key) const {
    const auto found = m_perCharCodes.find(key);
    return found == m_perCharCodes.end() ? JapaneseCode{} : found->second;
}

// The Japanese form of the traditional character the word's meaning has here, where that
// tells a meaning apart: the key merged two or more characters (OpenCC gives it two or more
// traditional forms: 面 面 麪, 里 裏 里, 干 幹 乾 干), the meaning's is one of them, and its
// Japanese form is a JIS X 0208 kanji that is another character than the per-character one.
// Elsewhere the per-character code stands: a key with one traditional form has one meaning,
// which its default already spells (矿 礦 is 鉱, 奖 獎 is 奨, by Japanese evidence).
JapaneseCode WordSpeller::MeaningCode(UChar32 key, UChar32 traditional) const {
    const auto cached = m_meanings.find({key, traditional});
    if (cached != m_meanings.end()) {
        return cached->second;
    }
    auto code = PerCharacterCode(key);
    const auto& forms = m_chooser.TraditionalForms(key);
    const auto form = m_chooser.JapaneseFormOf(traditional);
    if (forms.size() >= 2 && std::find(forms.begin(), forms.end(), traditional) != forms.end() &&
        form && m_chooser.InJisX0208(form->character) &&
        !JapaneseChooser::WordFormRejection(key, form->character)) {
        const auto same = [&](UChar32 kanji) {
            return code.character != 0 && m_chooser.SameCharacter(kanji, code.character);
        };
        const auto* replacement = FindReplacement(form->character);
        if (!same(form->character) && (replacement == nullptr || !same(replacement->to))) {
            code = *form;
        }
    }
    m_meanings.emplace(std::make_pair(key, traditional), code);
    return code;
}

// The forms each character of a word may take: the per-character code, the meaning's form and
// its counterparts (FormsOf), with `loose` also the forms semantic links reach (LooseFormsOf). When
// their product exceeds kMostSpellings, each character keeps only the per-character code and the
// meaning's form (and a `loose` word has no spellings at all).
WordSpeller::Options WordSpeller::OptionsOf(const Phrase& phrase, const Spelling& perChar,
                                            const Spelling& meaning, bool loose) const {
    Options options;
    std::size_t product = 1;
    bool anyLoose = false;
    for (std::size_t i = 0; i < phrase.simplified.size(); ++i) {
        std::vector<JapaneseCode> at = {perChar[i]};
        AddUnique(at, meaning[i]);
        for (const auto& code : FormsOf(phrase.simplified[i])) {
            AddUnique(at, code);
        }
        if (loose) {
            const auto& forms = LooseFormsOf(phrase.simplified[i], phrase.traditional[i]);
            anyLoose = anyLoose || !forms.empty();
            for (const auto& code : forms) {
                AddUnique(at, code);
            }
        }
        product = std::min(product * at.size(), kMostSpellings + 1);
        options.push_back(std::move(at));
    }
    if (loose && (!anyLoose || product > kMostSpellings)) {
        return {};
    }
    if (product > kMostSpellings) {
        for (std::size_t i = 0; i < options.size(); ++i) {
            options[i] = {perChar[i]};
            AddUnique(options[i], meaning[i]);
        }
    }
    return options;
}

// The spellings the options make, the per-character spelling first; only the per-character
// and the meaning's spelling when there are more than kMostSpellings.
std::vector<Kanji> WordSpeller::Spellings(const Options& options, const Kanji& perChar,
                                          const Kanji& meaning) {
    std::size_t product = options.empty() ? 0 : 1;
    for (const auto& at : options) {
        product = std::min(product * at.size(), kMostSpellings + 1);
    }
    if (product > kMostSpellings) {
        return perChar == meaning ? std::vector<Kanji>{perChar}
                                  : std::vector<Kanji>{perChar, meaning};
    }
    std::vector<Kanji> result;
    if (product == 0) {
        return result;
    }
    result.reserve(product);
    result.emplace_back();
    for (const auto& at : options) {
        std::vector<Kanji> longer;
        longer.reserve(result.size() * at.size());
        for (const auto& prefix : result) {
            for (const auto& code : at) {
                longer.push_back(prefix);
                longer.back().push_back(code.character);
            }
        }
        result = std::move(longer);
    }
    return result;
}

// The codes of a spelling made of the options' characters.
Spelling WordSpeller::SpellingOf(const Kanji& kanji, const Options& options) {
    Spelling spelling;
    for (std::size_t i = 0; i < kanji.size(); ++i) {
        const auto& at = options[i];
        spelling.push_back(*std::find_if(at.begin(), at.end(), [&](const JapaneseCode& code) {
            return code.character == kanji[i];
        }));
    }
    return spelling;
}

// On equal evidence: the per-character spelling, then the meaning's form, then more Jōyō
// and Jinmeiyō kanji, then more frequent kanji, then code order (so the choice is fixed).
bool WordSpeller::TieLess(const Kanji& a, const Kanji& b, const Kanji& perChar,
                          const Kanji& meaning) const {
    if ((a == perChar) != (b == perChar)) {
        return a == perChar;
    }
    if ((a == meaning) != (b == meaning)) {
        return a == meaning;
    }
    const auto standingA = KanjiStanding(a, m_lexicon);
    const auto standingB = KanjiStanding(b, m_lexicon);
    if (standingA.first != standingB.first) {
        return standingA.first > standingB.first;
    }
    if (standingA.second != standingB.second) {
        return standingA.second < standingB.second;
    }
    return a < b;
}

// IPADIC's evidence, with its common words first, then its place names (see
// JapaneseLexicon::PlaceCost): the per-character spelling when IPADIC holds it, else the
// cheapest IPADIC word among the counterparts' spellings, else among the spellings with the
// forms semantic links reach.
std::optional<SpellingChoice> WordSpeller::ByLexicon(const Phrase& phrase, const Spelling& perChar,
                                                     const Spelling& meaning) const {
    const Kanji perCharKanji = Characters(perChar);
    const Kanji meaningKanji = Characters(meaning);
    const std::pair<bool, SpellingEvidence> tiers[] = {{false, SpellingEvidence::LexiconWord},
                                                       {true, SpellingEvidence::LooseVariantWord}};
    std::vector<Options> options;
    std::vector<std::vector<Kanji>> candidates;
    for (const auto& [loose, evidence] : tiers) {
        options.push_back(OptionsOf(phrase, perChar, meaning, loose));
        candidates.push_back(Spellings(options.back(), perCharKanji, meaningKanji));
    }
    for (const auto costOf : {&JapaneseLexicon::WordCost, &JapaneseLexicon::PlaceCost}) {
        if ((m_lexicon.*costOf)(perCharKanji)) {
            return SpellingChoice{perChar, SpellingEvidence::PerCharacterWord, meaning};
        }
        for (std::size_t tier = 0; tier < std::size(tiers); ++tier) {
            const Kanji* bestWord = nullptr;
            int bestWordCost = INT_MAX;
            for (const auto& spelling : candidates[tier]) {
                const auto cost = (m_lexicon.*costOf)(spelling);
                if (cost && (*cost < bestWordCost ||
                             (*cost == bestWordCost &&
                              TieLess(spelling, *bestWord, perCharKanji, meaningKanji)))) {
                    bestWord = &spelling;
                    bestWordCost = *cost;
                }
            }
            if (bestWord != nullptr) {
                return SpellingChoice{SpellingOf(*bestWord, options[tier]), tiers[tier].second,
                                      meaning};
            }
        }
    }
    return std::nullopt;
}

// MeCab's best analysis: the cheapest spelling among the counterparts' spellings whose changed
// characters lie inside dictionary words of two or more characters, if it beats the
// per-character spelling by kClearAnalysisMargin (kClearAnalysisMarginWithMeaning when it is
// also the meaning's form).
std::optional<Spelling> WordSpeller::ByAnalysis(const Phrase& phrase, const Spelling& perChar,
                                                const Spelling& meaning) const {
    const Kanji perCharKanji = Characters(perChar);
    const Kanji meaningKanji = Characters(meaning);
    const bool complete =
        std::find(perCharKanji.begin(), perCharKanji.end(), 0) == perCharKanji.end();
    const auto options = OptionsOf(phrase, perChar, meaning, false);
    const auto candidates = Spellings(options, perCharKanji, meaningKanji);
    if (!complete || candidates.size() < 2) {
        return std::nullopt;
    }
    const Kanji* best = nullptr;
    int bestCost = INT_MAX;
    for (const auto& spelling : candidates) {
        const auto& analysis = m_lexicon.AnalysisOf(spelling);
        if (!ChangesOnlyInsideWords(spelling, perCharKanji, analysis)) {
            continue;
        }
        if (analysis.cost < bestCost ||
            (analysis.cost == bestCost && TieLess(spelling, *best, perCharKanji, meaningKanji))) {
            best = &spelling;
            bestCost = analysis.cost;
        }
    }
    if (best == nullptr || *best == perCharKanji) {
        return std::nullopt;
    }
    const int margin = m_lexicon.AnalysisOf(perCharKanji).cost - bestCost;
    const int needed =
        *best == meaningKanji ? kClearAnalysisMarginWithMeaning : kClearAnalysisMargin;
    return margin >= needed ? std::optional<Spelling>(SpellingOf(*best, options)) : std::nullopt;
}

void WordSpeller::Spell(const Phrase& phrase, Spelling& perChar, Spelling& meaning) const {
    for (std::size_t i = 0; i < phrase.simplified.size(); ++i) {
        perChar.push_back(PerCharacterCode(phrase.simplified[i]));
        meaning.push_back(MeaningCode(phrase.simplified[i], phrase.traditional[i]));
    }
}

std::optional<SpellingChoice> WordSpeller::ChooseByLexicon(const Phrase& phrase) const {
    if (phrase.simplified.size() < 2) {
        return std::nullopt;
    }
    Spelling perChar;
    Spelling meaning;
    Spell(phrase, perChar, meaning);
    return ByLexicon(phrase, perChar, meaning);
}

// True when the position lies inside a shorter part of the word, of two or more characters,
// that IPADIC holds as a common word in its per-character spelling and not in the meaning's
// (周年 in 周年庆, 计划 in 按计划): that part keeps its per-character spelling, as the whole word
// would. Where IPADIC holds both (一発 and 一髪 in 千钧一发), the meaning decides.
bool WordSpeller::InsideLexiconWord(const Kanji& perChar, const Kanji& meaning,
                                    std::size_t position) const {
    for (std::size_t begin = 0; begin <= position; ++begin) {
        for (std::size_t end = std::max(begin + 2, position + 1); end <= perChar.size(); ++end) {
            if (end - begin < perChar.size() && m_lexicon.WordCost(Part(perChar, begin, end)) &&
                !m_lexicon.WordCost(Part(meaning, begin, end))) {
                return true;
            }
        }
    }
    return false;
}

// The meaning's form, character by character, unless a part of the word that IPADIC holds
// keeps the per-character form. A word of one character takes it only where at least
// kFewestWordsForACharacter IPADIC-spelled words give the key that form: its frequency in the
// word list counts the character wherever the corpus did not join it to a word, a weaker sign
// of its meaning than a word's, and one kanji alone is no Japanese word that could show how
// Japanese writes that meaning (赞 stays 賛, not 讚: IPADIC spells 赞's words with 賛).
SpellingChoice WordSpeller::ByMeaning(const Phrase& phrase, const Spelling& perChar,
                                      const Spelling& meaning, const FormEvidence& evidence) const {
    const bool single = phrase.simplified.size() == 1;
    const Kanji perCharKanji = Characters(perChar);
    const Kanji meaningKanji = Characters(meaning);
    Spelling spelling = perChar;
    for (std::size_t i = 0; i < spelling.size(); ++i) {
        if (meaningKanji[i] == perCharKanji[i] ||
            (single && EvidenceFor(evidence, phrase.simplified[i], meaningKanji[i]) <
                           kFewestWordsForACharacter) ||
            (!single && InsideLexiconWord(perCharKanji, meaningKanji, i))) {
            continue;
        }
        spelling[i] = meaning[i];
    }
    const auto how = Characters(spelling) == perCharKanji ? SpellingEvidence::PerCharacter
                                                          : SpellingEvidence::MeaningForm;
    return SpellingChoice{spelling, how, meaning};
}

// The evidence, in order (data/README.md says how the rules were tuned):
//  1. IPADIC (ByLexicon): the per-character spelling when IPADIC holds it; else the cheapest
//     IPADIC word among the spellings the characters' counterparts make, then among those
//     with the forms semantic links reach;
//  2. MeCab's best analysis, where it is clearly cheaper (ByAnalysis);
//  3. the Japanese form of the word's traditional spelling, the meaning the Chinese word model
//     picked (面条 麺条, 两只 両隻), where no part of the word that IPADIC holds says otherwise
//     (ByMeaning);
//  4. the per-character spelling.
// A single character is no evidence for itself in IPADIC or MeCab (nearly every kanji stands
// alone there), so it goes to step 3 at once.
SpellingChoice WordSpeller::Choose(const Phrase& phrase, const FormEvidence& evidence) const {
    Spelling perChar;
    Spelling meaning;
    Spell(phrase, perChar, meaning);
    if (phrase.simplified.size() >= 2) {
        if (auto choice = ByLexicon(phrase, perChar, meaning)) {
            return *choice;
        }
        if (auto analysed = ByAnalysis(phrase, perChar, meaning)) {
            return SpellingChoice{*analysed, SpellingEvidence::Analysis, meaning};
        }
    }
    return ByMeaning(phrase, perChar, meaning, evidence);
}

} // namespace pelmora::tables
