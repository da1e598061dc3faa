#include "candidate_table.h"

#include <algorithm>
#include <climits>
#include <set>
#include <stdexcept>
#include <tuple>

namespace pelmora::tables {

std::vector<JapaneseCode> ExtensionCounterparts(UChar32 key, const JapaneseChooser& chooser) {
    std::vector<JapaneseCode> list;
    for (const UChar32 form : chooser.RelatedForms(key)) {
        AddUnique(list, chooser.ExtensionKanji(form));
    }
    return list;
}

std::vector<JapaneseCode> JisCounterparts(const DesktopKey& key, const PerCharacter& perChar,
                                          const JapaneseChooser& chooser,
                                          const FormEvidence& evidence,
                                          const JapaneseLexicon& lexicon) {
    std::vector<JapaneseCode> list = KeyCounterparts(key.character, perChar, chooser);
    if (const auto byKey = evidence.find(key.character); byKey != evidence.end()) {
        for (const auto& [form, count] : byKey->second) {
            AddUnique(list, chooser.Shippable(form));
        }
    }
    const auto found = perChar.find(key.character);
    const UChar32 defaultForm = found == perChar.end() ? 0 : found->second.character;
    const auto rank = [&](const JapaneseCode& code) {
        const int frequency = lexicon.Facts(code.character).frequency;
        return std::make_tuple(code.character == defaultForm ? 0 : 1,
                               -EvidenceFor(evidence, key.character, code.character),
                               lexicon.IsJoyoOrJinmeiyo(code.character) ? 0 : 1,
                               frequency == 0 ? INT_MAX : frequency);
    };
    std::stable_sort(list.begin(), list.end(), [&](const JapaneseCode& a, const JapaneseCode& b) {
        return rank(a) < rank(b);
    });
    return list;
}

std::vector<CandidateEntry> CandidateEntries(const std::vector<DesktopKey>& keys,
                                             const PerCharacter& perChar,
                                             const JapaneseChooser& chooser,
                                             const FormEvidence& evidence,
                                             const JapaneseLexicon& lexicon) {
    std::vector<CandidateEntry> entries;
    for (const auto& key : keys) {
        if (!IsIdeographKey(key)) {
            continue;
        }
        CandidateEntry entry{key, JisCounterparts(key, perChar, chooser, evidence, lexicon),
                             ExtensionCounterparts(key.character, chooser)};
        if (entry.jisX0208.size() + entry.extension.size() > kMostCandidates) {
            throw std::runtime_error("too many candidates for " + Utf8(key.character));
        }
        if (entry.jisX0208.size() > 1 || !entry.extension.empty()) {
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

std::string CandidateTableBytes(const std::vector<CandidateEntry>& entries) {
    std::string bytes;
    for (const auto& entry : entries) {
        std::vector<JapaneseCode> all = entry.jisX0208;
        all.insert(all.end(), entry.extension.begin(), entry.extension.end());
        AppendEntry(kCandidateEntry, StoredEntry({entry.key.bytes}, all), bytes);
    }
    return bytes;
}

} // namespace pelmora::tables
