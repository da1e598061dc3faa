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

std::vector<UChar32> characters(const Spelling& spelling) {
    std::vector<UChar32> result;
    for (const auto& code : spelling) {
        result.push_back(code.character);
    }
    return result;
}

bool same(const Spelling& a, const Spelling& b) {
    return characters(a) == characters(b);
}

// A spelling's standing in Japanese by its kanji alone: how many are Jōyō or Jinmeiyō, and the
// sum of their frequency ranks (an unranked kanji counts as rank 3000).
std::pair<int, int> kanji_standing(const Spelling& spelling, const JapaneseLexicon& lexicon) {
    int graded = 0;
    int rank_sum = 0;
    for (const auto& code : spelling) {
        graded += lexicon.is_joyo_or_jinmeiyo(code.character) ? 1 : 0;
        const int rank = lexicon.facts(code.character).frequency;
        rank_sum += rank == 0 ? 3000 : rank;
    }
    return {graded, rank_sum};
}

// MeCab rates a non-word cheaply when it splits into kanji that stand alone as nouns (濛古 as
// 濛 + 古 beats 蒙古, 后門 beats 後門), so a character may leave its per-character form only
// inside a dictionary word of two or more characters of the analysis (理髪 + 店).
bool changes_only_inside_words(const Spelling& spelling, const Spelling& per_char,
                               const Analysis& analysis) {
    if (analysis.word_length.size() != spelling.size()) {
        return false;
    }
    for (std::size_t i = 0; i < spelling.size(); ++i) {
        if (spelling[i].character != per_char[i].character && analysis.word_length[i] < 2) {
            return false;
        }
    }
    return true;
}

} // namespace

std::vector<JapaneseCode> key_counterparts(UChar32 key, const PerCharacter& per_char,
                                           const JapaneseChooser& chooser) {
    std::vector<JapaneseCode> list;
    if (const auto found = per_char.find(key); found != per_char.end()) {
        add_unique(list, found->second);
    }
    const auto add_form = [&](UChar32 c) {
        add_unique(list, chooser.japanese_form_of(c));
        if (chooser.in_jis_x0208(c)) {
            add_unique(list, chooser.shippable(c));
        }
    };
    for (const UChar32 form : chooser.related_forms(key)) {
        add_form(form);
        for (const auto& replacement : kReplacements) {
            if (replacement.from == form) {
                add_form(replacement.to);
            }
        }
    }
    // Words must stay one kanji per character: nothing but kanji.
    std::erase_if(list, [&chooser](const JapaneseCode& code) {
        return code.sjis.size() != 2 || !chooser.in_jis_x0208(code.character) ||
               static_cast<std::uint8_t>(code.sjis[0]) < 0x88;
    });
    return list;
}

std::vector<std::string> replacement_kanji() {
    std::vector<std::string> lines;
    for (const auto& replacement : kReplacements) {
        lines.push_back(utf8(replacement.from) + " → " + utf8(replacement.to) + ": " +
                        replacement.reason);
    }
    return lines;
}

const char* spelling_evidence_name(SpellingEvidence evidence) {
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
                         const PerCharacter& per_char)
    : lexicon_(lexicon), chooser_(chooser), per_char_(per_char) {}

// Words are spelled with the forms Japanese writes today: an old form (轉, 爲, 龍) whose
// Japanese form (転, 為, 竜) is another character is left to the candidate menu.
bool WordSpeller::is_own_japanese_form(UChar32 kanji) const {
    const auto form = chooser_.japanese_form_of(kanji);
    return form && form->character == kanji;
}

const std::vector<JapaneseCode>& WordSpeller::counterparts(UChar32 key) const {
    auto found = counterparts_.find(key);
    if (found == counterparts_.end()) {
        found = counterparts_.emplace(key, key_counterparts(key, per_char_, chooser_)).first;
    }
    return found->second;
}

// The products of the characters' counterparts, the per-character spelling first. A word
// whose product would exceed kMostSpellings tries, per character, only its per-character and
// phrase forms, and when even that is too many, only those two spellings.
std::vector<Spelling> WordSpeller::spellings(const Phrase& phrase, const Spelling& per_char,
                                             const Spelling& phrase_form) const {
    std::vector<std::vector<JapaneseCode>> choices;
    std::size_t product = 1;
    for (std::size_t i = 0; i < phrase.simplified.size(); ++i) {
        std::vector<JapaneseCode> options = {per_char[i]};
        add_unique(options, phrase_form[i]);
        for (const auto& code : counterparts(phrase.simplified[i])) {
            if (is_own_japanese_form(code.character) &&
                !JapaneseChooser::word_form_rejection(phrase.simplified[i], code.character)) {
                add_unique(options, code);
            }
        }
        product = std::min(product * options.size(), kMostSpellings + 1);
        choices.push_back(std::move(options));
    }
    if (product > kMostSpellings) {
        product = 1;
        for (std::size_t i = 0; i < choices.size(); ++i) {
            choices[i] = {per_char[i]};
            add_unique(choices[i], phrase_form[i]);
            product = std::min(product * choices[i].size(), kMostSpellings + 1);
        }
    }
    if (product > kMostSpellings) {
        return same(per_char, phrase_form) ? std::vector<Spelling>{per_char}
                                           : std::vector<Spelling>{per_char, phrase_form};
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
bool WordSpeller::tie_less(const Spelling& a, const Spelling& b, const Spelling& per_char,
                           const Spelling& phrase_form) const {
    if (same(a, per_char) != same(b, per_char)) {
        return same(a, per_char);
    }
    if (same(a, phrase_form) != same(b, phrase_form)) {
        return same(a, phrase_form);
    }
    const auto standing_a = kanji_standing(a, lexicon_);
    const auto standing_b = kanji_standing(b, lexicon_);
    if (standing_a.first != standing_b.first) {
        return standing_a.first > standing_b.first;
    }
    if (standing_a.second != standing_b.second) {
        return standing_a.second < standing_b.second;
    }
    return characters(a) < characters(b);
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
std::optional<SpellingChoice> WordSpeller::choose(const Phrase& phrase) const {
    Spelling per_char;
    Spelling phrase_form;
    for (std::size_t i = 0; i < phrase.simplified.size(); ++i) {
        const auto found = per_char_.find(phrase.simplified[i]);
        if (found == per_char_.end() || counterparts(phrase.simplified[i]).empty()) {
            return std::nullopt;
        }
        per_char.push_back(found->second);
        auto form = chooser_.japanese_form_of(phrase.traditional[i]);
        if (!form || !chooser_.in_jis_x0208(form->character) ||
            JapaneseChooser::word_form_rejection(phrase.simplified[i], form->character)) {
            form = found->second;
        }
        phrase_form.push_back(*form);
    }
    const auto candidates = spellings(phrase, per_char, phrase_form);
    // Common words first, then place names (see JapaneseLexicon::place_cost).
    for (const auto cost_of : {&JapaneseLexicon::word_cost, &JapaneseLexicon::place_cost}) {
        if ((lexicon_.*cost_of)(characters(per_char))) {
            return SpellingChoice{per_char, SpellingEvidence::PerCharacterWord, phrase_form};
        }
        const Spelling* best_word = nullptr;
        int best_word_cost = INT_MAX;
        for (const auto& spelling : candidates) {
            const auto cost = (lexicon_.*cost_of)(characters(spelling));
            if (cost && (*cost < best_word_cost ||
                         (*cost == best_word_cost &&
                          tie_less(spelling, *best_word, per_char, phrase_form)))) {
                best_word = &spelling;
                best_word_cost = *cost;
            }
        }
        if (best_word != nullptr) {
            return SpellingChoice{*best_word, SpellingEvidence::LexiconWord, phrase_form};
        }
    }
    if (candidates.size() < 2) {
        return SpellingChoice{per_char, SpellingEvidence::PerCharacterTie, phrase_form};
    }
    const Spelling* best = nullptr;
    int best_cost = INT_MAX;
    for (const auto& spelling : candidates) {
        const auto& analysis = lexicon_.analysis(characters(spelling));
        if (!changes_only_inside_words(spelling, per_char, analysis)) {
            continue;
        }
        if (analysis.cost < best_cost ||
            (analysis.cost == best_cost && tie_less(spelling, *best, per_char, phrase_form))) {
            best = &spelling;
            best_cost = analysis.cost;
        }
    }
    if (best == nullptr || same(*best, per_char)) {
        return SpellingChoice{per_char, SpellingEvidence::PerCharacterTie, phrase_form};
    }
    const int margin = lexicon_.analysis(characters(per_char)).cost - best_cost;
    const int needed =
        same(*best, phrase_form) ? kClearAnalysisMarginWithPhrase : kClearAnalysisMargin;
    if (margin >= needed) {
        return SpellingChoice{*best, SpellingEvidence::Analysis, phrase_form};
    }
    return SpellingChoice{per_char, SpellingEvidence::PerCharacterTie, phrase_form};
}

} // namespace pelmora::tables
