#include "evidence_defaults.h"

#include <algorithm>
#include <iterator>

namespace pelmora::tables {

namespace {

struct KeptDefault {
    UChar32 key;
    const char* reason;
};

// Defaults kept against the majority of the phrase dictionary's words. The dictionary lists
// the words where OpenCC's first traditional form would be wrong, so the first form is
// under-counted by design; these keys are the ones where that matters.
constexpr KeptDefault kKeptDefaults[] = {
    {U'毁', "Japanese destroys with 毀 (毀損, 毀棄); 燬 (burn down) is rare, and the words split "
            "10 to 8"},
    {U'姜', "Japanese writes ginger 生姜 with 姜 as well, and 姜 is the surname; 薑 is rare"},
    {U'巨', "Japanese writes 巨大, 巨額, 巨人 with 巨; 鉅 is a Taiwanese spelling OpenCC follows"},
    {U'昆', "昆虫, 昆布 and the city 昆明 keep 昆 in Japanese; 崑 is only in 崑崙 and names"},
    {U'苔', "苔 is the Japanese moss (苔, 苔むす); 薹 is a flower stalk, and only 7 words decide"},
    {U'咽', "咽 is the Japanese throat (咽喉, 咽頭); 嚥 is only in 嚥下, and the words split 25 "
            "to 23"},
    {U'托', "most words that keep 托 are transliterations of foreign names (莱索托, 奥托, 托福, "
            "乌托邦); the Japanese words of entrusting write 託 (委託, 信託, 託児所)"},
    {U'赞', "賛 is the Japanese kanji of praise as of approval (賛成, 称賛, 賛美); 讚 and 讃 are "
            "older spellings"},
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

std::vector<DefaultChange> evidence_default_changes(const std::vector<DesktopKey>& keys,
                                                    const PerCharacter& per_char,
                                                    const JapaneseChooser& chooser,
                                                    const FormEvidence& evidence) {
    std::vector<DefaultChange> changes;
    for (const auto& key : keys) {
        const auto current = per_char.find(key.character);
        if (!is_ideograph_key(key) || current == per_char.end()) {
            continue;
        }
        const auto counterparts = jis_counterparts(key, per_char, chooser, evidence);
        if (counterparts.size() < 2) {
            continue;
        }
        DefaultChange change{
            key.character, current->second.character, counterparts.front().character, {}, ""};
        int total = 0;
        for (const auto& code : counterparts) {
            const int words = evidence_for(evidence, key.character, code.character);
            change.words_per_form.emplace_back(code.character, words);
            total += words;
        }
        const int top = change.words_per_form.front().second;
        if (change.after == change.before || top < kFewestWordsToMoveADefault || top * 2 <= total) {
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
