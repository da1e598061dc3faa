#include "evidence_defaults.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <set>

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

// The characters Chinese writes as characters of their own: the GB2312 hanzi and the
// traditional forms OpenCC gives them. A semantic-link form among them is another character
// to a Chinese reader (煬 is 炀, 坏 is bad, 他 is he); one outside them is a glyph Chinese does
// not use, a variant of the key's own character (兪 for 俞, 攅 for 攢).
std::set<UChar32> CharactersChineseWrites(const std::vector<DesktopKey>& keys,
                                          const JapaneseChooser& chooser) {
    std::set<UChar32> written;
    for (const auto& key : keys) {
        if (key.keyClass == KeyClass::Gb2312Hanzi) {
            written.insert(key.character);
            const auto& traditional = chooser.TraditionalForms(key.character);
            written.insert(traditional.begin(), traditional.end());
        }
    }
    return written;
}

// How well a semantic-link form stands for a key that has no JIS X 0208 kanji of its own and
// that no IPADIC word attests, strongest first: Japanese uses the kanji (IPADIC entries other
// than personal names, kana in the surface or not: 躱す, 踏む), kanjidic
// grades or ranks it, or one of the two is no character Chinese writes, so the link joins two
// glyphs of one character (兪 for 俞; the variant 玆 for 茲). No reason when none holds.
struct LooseStanding {
    int strength = 0; // 0 = strongest
    std::string reason;
};

LooseStanding StandingOf(UChar32 key, UChar32 form, const JapaneseLexicon& lexicon,
                         const std::set<UChar32>& writtenInChinese) {
    const int entries = lexicon.EntriesUsing(form);
    if (entries > 0) {
        return {0, "semantic link; IPADIC uses the kanji in " + std::to_string(entries) +
                       (entries == 1 ? " entry" : " entries")};
    }
    const auto facts = lexicon.Facts(form);
    if (facts.grade != 0 || facts.frequency != 0) {
        return {1, "semantic link; kanjidic grades or ranks the kanji"};
    }
    if (writtenInChinese.count(form) == 0) {
        return {2, "semantic link; a glyph Chinese does not write"};
    }
    if (writtenInChinese.count(key) == 0) {
        return {3, "semantic link; the key is a glyph Chinese does not write"};
    }
    return {};
}

// The best standing form one semantic link reaches from the key or its related forms (its
// OpenCC traditional forms, their Unihan links: 攒 攢 ~ 攅, 闫 閆 ~ 閻); on equal standing the
// first reached, in the chooser's order (罈 keeps the jar 壜: IPADIC uses the altar 壇 more, but
// both stand by their entries).
std::optional<DefaultChange> StandingLooseForm(UChar32 key, const JapaneseChooser& chooser,
                                               const JapaneseLexicon& lexicon,
                                               const std::set<UChar32>& writtenInChinese) {
    std::optional<DefaultChange> best;
    LooseStanding bestStanding;
    for (const UChar32 related : chooser.RelatedForms(key)) {
        for (const auto& code : chooser.LooseVariantForms(related)) {
            auto standing = StandingOf(key, code.character, lexicon, writtenInChinese);
            if (!standing.reason.empty() && (!best || standing.strength < bestStanding.strength)) {
                best = DefaultChange{key, 0, code.character, {{code.character, 0}}, standing.reason,
                                     ""};
                bestStanding = std::move(standing);
            }
        }
    }
    return best;
}

// A key with no per-character default takes the counterpart most IPADIC words give it (沉 ->
// 沈 through 沈没); when no word attests any, a semantic-link form that stands by
// LooseFormStanding (躲 -> 躱, 俞 -> 兪), while 烊 stays without one: 煬 is only a personal name
// in IPADIC, kanjidic neither grades nor ranks it, and it is the traditional form of 炀.
std::optional<DefaultChange> AttestedForm(const DesktopKey& key, const PerCharacter& perChar,
                                          const JapaneseChooser& chooser,
                                          const FormEvidence& evidence,
                                          const JapaneseLexicon& lexicon,
                                          const std::set<UChar32>& writtenInChinese) {
    DefaultChange change{key.character, 0, 0, {}, "attested by IPADIC words", ""};
    for (const auto& code : JisCounterparts(key, perChar, chooser, evidence, lexicon)) {
        change.wordsPerForm.emplace_back(code.character,
                                         EvidenceFor(evidence, key.character, code.character));
    }
    std::stable_sort(change.wordsPerForm.begin(), change.wordsPerForm.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    if (change.wordsPerForm.empty() || change.wordsPerForm.front().second == 0) {
        return StandingLooseForm(key.character, chooser, lexicon, writtenInChinese);
    }
    change.after = change.wordsPerForm.front().first;
    return change;
}

// A key that is itself a Jōyō kanji means that kanji where its default, one of its traditional
// forms, is no Jōyō or Jinmeiyō kanji (惧 is the Jōyō form of 懼: 危惧); the words cannot say
// so, since the first pass spells them with the default (危懼, 恐懼). A Jinmeiyō key does not
// qualify: 淀 is よど in Japanese, while Chinese 淀 is mostly 淀粉, Japanese 澱粉.
bool KeyIsTheStandardForm(UChar32 key, UChar32 current, const JapaneseChooser& chooser,
                          const JapaneseLexicon& lexicon) {
    const auto& traditional = chooser.TraditionalForms(key);
    return lexicon.IsJoyo(key) && !lexicon.IsJoyoOrJinmeiyo(current) && chooser.InJisX0208(key) &&
           std::find(traditional.begin(), traditional.end(), current) != traditional.end();
}

} // namespace

std::vector<DefaultChange> EvidenceDefaultChanges(const std::vector<DesktopKey>& keys,
                                                  const PerCharacter& perChar,
                                                  const JapaneseChooser& chooser,
                                                  const FormEvidence& evidence,
                                                  const JapaneseLexicon& lexicon) {
    std::vector<DefaultChange> changes;
    const auto writtenInChinese = CharactersChineseWrites(keys, chooser);
    for (const auto& key : keys) {
        const auto current = perChar.find(key.character);
        if (IsIdeographKey(key) && current == perChar.end()) {
            if (auto change =
                    AttestedForm(key, perChar, chooser, evidence, lexicon, writtenInChinese)) {
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
        if (KeyIsTheStandardForm(key.character, change.before, chooser, lexicon)) {
            change.after = key.character;
            change.rule = "the key is the Jōyō kanji";
        } else if (const auto form = MostWordsForm(change, lexicon);
                   form && *form != change.before) {
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
