#include "evidence_defaults.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace pelmora::tables {

namespace {

struct KeptDefault {
    UChar32 key;
    const char* reason;
};

// Defaults kept against the rules of evidence_default_changes: the counterpart the rules
// reach is another word in Japanese, or the words split too evenly to decide.
constexpr KeptDefault kKeptDefaults[] = {
    {U'侭', "侭 is the Japanese short form of 儘 (まま); 尽 is another word that Chinese "
            "simplifies the same way"},
    {U'并', "并 alone is mostly and, also (并且, 并不), which Japanese writes 並; the words split "
            "10 to 8 for 併"},
    {U'熏', "熏 is smoking (熏肉, 烟熏), which Japanese writes 燻 (燻製); 薫 is fragrance"},
    {U'链', "链 is a chain (链条, 锁链); Japanese 錬 refines metal (錬金), another word"},
    {U'渖', "渖 is 瀋 (瀋陽); 沈 is another character"},
};

const KeptDefault* find_kept(UChar32 key) {
    const auto* found = std::find_if(std::begin(kKeptDefaults), std::end(kKeptDefaults),
                                     [key](const KeptDefault& kept) { return kept.key == key; });
    return found == std::end(kKeptDefaults) ? nullptr : found;
}

bool is_ideograph_key(const DesktopKey& key) {
    return key.key_class == KeyClass::Gb2312Hanzi || key.key_class == KeyClass::OtherIdeograph;
}

} // namespace

namespace {

// The counterpart that more IPADIC words give the key than any other (at least
// kFewestWordsToMoveADefault), among its Jōyō and Jinmeiyō counterparts when it has any.
std::optional<UChar32> most_words_form(const DefaultChange& change,
                                       const JapaneseLexicon& lexicon) {
    const bool any_graded = std::any_of(
        change.words_per_form.begin(), change.words_per_form.end(),
        [&lexicon](const auto& form) { return lexicon.is_joyo_or_jinmeiyo(form.first); });
    std::optional<UChar32> top;
    int top_words = 0;
    int runner_up = 0;
    for (const auto& [form, words] : change.words_per_form) {
        if (any_graded && !lexicon.is_joyo_or_jinmeiyo(form)) {
            continue;
        }
        if (words > top_words) {
            runner_up = top_words;
            top = form;
            top_words = words;
        } else {
            runner_up = std::max(runner_up, words);
        }
    }
    if (top_words < kFewestWordsToMoveADefault || top_words == runner_up) {
        return std::nullopt;
    }
    return top;
}

int words_for(const DefaultChange& change, UChar32 form) {
    for (const auto& [counterpart, words] : change.words_per_form) {
        if (counterpart == form) {
            return words;
        }
    }
    return 0;
}

// The first counterpart (evidence order) that stands better by kanjidic than the default and
// has no fewer words.
std::optional<UChar32> standard_form(const DefaultChange& change, const JapaneseLexicon& lexicon) {
    const int default_words = words_for(change, change.before);
    if (lexicon.is_joyo_or_jinmeiyo(change.before)) {
        return std::nullopt;
    }
    for (const auto& [form, words] : change.words_per_form) {
        if (lexicon.is_joyo_or_jinmeiyo(form) && words >= default_words) {
            return form;
        }
    }
    if (lexicon.facts(change.before).frequency != 0) {
        return std::nullopt;
    }
    std::optional<UChar32> ranked;
    for (const auto& [form, words] : change.words_per_form) {
        const int frequency = lexicon.facts(form).frequency;
        if (frequency != 0 && words >= default_words &&
            (!ranked || frequency < lexicon.facts(*ranked).frequency)) {
            ranked = form;
        }
    }
    return ranked;
}

} // namespace

std::vector<DefaultChange> evidence_default_changes(const std::vector<DesktopKey>& keys,
                                                    const PerCharacter& per_char,
                                                    const JapaneseChooser& chooser,
                                                    const FormEvidence& evidence,
                                                    const JapaneseLexicon& lexicon) {
    std::vector<DefaultChange> changes;
    for (const auto& key : keys) {
        const auto current = per_char.find(key.character);
        // A key that is itself the kanji it gives (暗, 澱, 剋) means that kanji: it stays.
        const auto own_form = chooser.japanese_form_of(key.character);
        if (!is_ideograph_key(key) || current == per_char.end() ||
            current->second.character == key.character ||
            (own_form && own_form->character == current->second.character)) {
            continue;
        }
        const auto counterparts = jis_counterparts(key, per_char, chooser, evidence, lexicon);
        if (counterparts.size() < 2) {
            continue;
        }
        DefaultChange change{key.character, current->second.character, 0, {}, "", ""};
        for (const auto& code : counterparts) {
            change.words_per_form.emplace_back(
                code.character, evidence_for(evidence, key.character, code.character));
        }
        std::stable_sort(change.words_per_form.begin(), change.words_per_form.end(),
                         [](const auto& a, const auto& b) { return a.second > b.second; });
        if (const auto form = most_words_form(change, lexicon); form && *form != change.before) {
            change.after = *form;
            change.rule = "most IPADIC words";
        } else if (const auto standard = standard_form(change, lexicon)) {
            change.after = *standard;
            change.rule = lexicon.is_joyo_or_jinmeiyo(*standard) ? "Jōyō or Jinmeiyō kanji"
                                                                 : "kanjidic frequency";
        } else {
            continue;
        }
        if (JapaneseChooser::has_override(key.character)) {
            change.kept_because = "override (reason in the hand-made links)";
        } else if (const auto* kept = find_kept(key.character)) {
            change.kept_because = kept->reason;
        }
        changes.push_back(std::move(change));
    }
    return changes;
}

std::map<UChar32, UChar32> moved_defaults(const std::vector<DefaultChange>& changes) {
    std::map<UChar32, UChar32> moved;
    for (const auto& change : changes) {
        if (change.kept_because.empty()) {
            moved[change.key] = change.after;
        }
    }
    return moved;
}

} // namespace pelmora::tables
