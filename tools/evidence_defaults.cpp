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

// Defaults kept against the rules of EvidenceDefaultChanges: the counterpart the rules
// reach is another word in Japanese, or the words split too evenly to decide.
constexpr KeptDefault kKeptDefaults[] = {
    {U'侭', "侭 is the Japanese short form of 儘 (まま); 尽 is another word that Chinese "
            "simplifies the same way"},
    {U'并', "并 alone is mostly and, also (并且, 并不), which Japanese writes 並; the words split "
            "10 to 8 for 併"},
    {U'熏', "熏 is smoking (熏肉, 烟熏), which Japanese writes 燻 (燻製); 薫 is fragrance"},
    {U'链', "链 is a chain (链条, 锁链); Japanese 錬 refines metal (錬金), another word"},
    {U'渖', "渖 is 瀋 (瀋陽); 沈 is another character"},
    {U'谭', "谭 is 譚, a tale (天方夜譚) and the surname Tan; 談 is talk, another word, which a "
            "semantic link reaches through one IPADIC word"},
    {U'绸', "绸 is 綢, silk cloth (丝绸, 绸缎); 紬 is pongee, one silk fabric, which a semantic "
            "link reaches through two IPADIC words"},
};

const KeptDefault* FindKept(UChar32 key) {
    const auto* found = std::find_if(std::begin(kKeptDefaults), std::end(kKeptDefaults),
                                     [key](const KeptDefault& kept) { return kept.key == key; });
    return found == std::end(kKeptDefaults) ? nullptr : found;
}

// The counterpart that more IPADIC words give the key than any other (at least
// kFewestWordsToMoveADefault), among its Jōyō and Jinmeiyō counterparts when it has any.
std::optional<UChar32> MostWordsForm(const DefaultChange& change, const JapaneseLexicon& lexicon) {
    const bool anyGraded =
        std::any_of(change.wordsPerForm.begin(), change.wordsPerForm.end(),
                    [&lexicon](const auto& form) { return lexicon.IsJoyoOrJinmeiyo(form.first); });
    std::optional<UChar32> top;
    int topWords = 0;
    int runnerUp = 0;
    for (const auto& [form, words] : change.wordsPerForm) {
        if (anyGraded && !lexicon.IsJoyoOrJinmeiyo(form)) {
            continue;
        }
        if (words > topWords) {
            runnerUp = topWords;
            top = form;
            topWords = words;
        } else {
            runnerUp = std::max(runnerUp, words);
        }
    }
    if (topWords < kFewestWordsToMoveADefault || topWords == runnerUp) {
        return std::nullopt;
    }
    return top;
}

int WordsFor(const DefaultChange& change, UChar32 form) {
    for (const auto& [counterpart, words] : change.wordsPerForm) {
        if (counterpart == form) {
            return words;
        }
    }
    return 0;
}

// The first counterpart (evidence order) that stands better by kanjidic than the default and
// has no fewer words.
std::optional<UChar32> StandardForm(const DefaultChange& change, const JapaneseLexicon& lexicon) {
    const int defaultWords = WordsFor(change, change.before);
    if (lexicon.IsJoyoOrJinmeiyo(change.before)) {
        return std::nullopt;
    }
    for (const auto& [form, words] : change.wordsPerForm) {
        if (lexicon.IsJoyoOrJinmeiyo(form) && words >= defaultWords) {
            return form;
        }
    }
    if (lexicon.Facts(change.before).frequency != 0) {
        return std::nullopt;
    }
    std::optional<UChar32> ranked;
    for (const auto& [form, words] : change.wordsPerForm) {
        const int frequency = lexicon.Facts(form).frequency;
        if (frequency != 0 && words >= defaultWords &&
            (!ranked || frequency < lexicon.Facts(*ranked).frequency)) {
            ranked = form;
        }
    }
    return ranked;
}

// A key with no per-character default takes the counterpart most IPADIC words give it (the
// forms a semantic link reaches come in only so: 沉 -> 沈 through 沈没, while 烊 stays without
// one, since no Japanese word spells 烊 as 煬).
std::optional<DefaultChange> AttestedForm(const DesktopKey& key, const PerCharacter& perChar,
                                          const JapaneseChooser& chooser,
                                          const FormEvidence& evidence,
                                          const JapaneseLexicon& lexicon) {
    DefaultChange change{key.character, 0, 0, {}, "attested by IPADIC words", ""};
    for (const auto& code : JisCounterparts(key, perChar, chooser, evidence, lexicon)) {
        change.wordsPerForm.emplace_back(code.character,
                                         EvidenceFor(evidence, key.character, code.character));
    }
    std::stable_sort(change.wordsPerForm.begin(), change.wordsPerForm.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    if (change.wordsPerForm.empty() || change.wordsPerForm.front().second == 0) {
        return std::nullopt;
    }
    change.after = change.wordsPerForm.front().first;
    return change;
}

} // namespace

std::vector<DefaultChange> EvidenceDefaultChanges(const std::vector<DesktopKey>& keys,
                                                  const PerCharacter& perChar,
                                                  const JapaneseChooser& chooser,
                                                  const FormEvidence& evidence,
                                                  const JapaneseLexicon& lexicon) {
    std::vector<DefaultChange> changes;
    for (const auto& key : keys) {
        const auto current = perChar.find(key.character);
        if (IsIdeographKey(key) && current == perChar.end()) {
            if (auto change = AttestedForm(key, perChar, chooser, evidence, lexicon)) {
                changes.push_back(std::move(*change));
            }
            continue;
        }
        // A key that is itself the kanji it gives (暗, 澱, 剋) means that kanji: it stays.
        const auto ownForm = chooser.JapaneseFormOf(key.character);
        if (!IsIdeographKey(key) || current == perChar.end() ||
            current->second.character == key.character ||
            (ownForm && ownForm->character == current->second.character)) {
            continue;
        }
        const auto counterparts = JisCounterparts(key, perChar, chooser, evidence, lexicon);
        if (counterparts.size() < 2) {
            continue;
        }
        DefaultChange change{key.character, current->second.character, 0, {}, "", ""};
        for (const auto& code : counterparts) {
            change.wordsPerForm.emplace_back(code.character,
                                             EvidenceFor(evidence, key.character, code.character));
        }
        std::stable_sort(change.wordsPerForm.begin(), change.wordsPerForm.end(),
                         [](const auto& a, const auto& b) { return a.second > b.second; });
        if (const auto form = MostWordsForm(change, lexicon); form && *form != change.before) {
            change.after = *form;
            change.rule = "most IPADIC words";
        } else if (const auto standard = StandardForm(change, lexicon)) {
            change.after = *standard;
            change.rule = lexicon.IsJoyoOrJinmeiyo(*standard) ? "Jōyō or Jinmeiyō kanji"
                                                              : "kanjidic frequency";
        } else {
            continue;
        }
        if (JapaneseChooser::HasOverride(key.character)) {
            change.keptBecause = "override (reason in the hand-made links)";
        } else if (const auto* kept = FindKept(key.character)) {
            change.keptBecause = kept->reason;
        }
        changes.push_back(std::move(change));
    }
    return changes;
}

std::map<UChar32, UChar32> MovedDefaults(const std::vector<DefaultChange>& changes) {
    std::map<UChar32, UChar32> moved;
    for (const auto& change : changes) {
        if (change.keptBecause.empty()) {
            moved[change.key] = change.after;
        }
    }
    return moved;
}

} // namespace pelmora::tables
