#include "candidate_table.h"

#include <algorithm>
#include <climits>
#include <set>
#include <stdexcept>
#include <tuple>

namespace pelmora::tables {

namespace {

bool is_ideograph_key(const DesktopKey& key) {
    return key.key_class == KeyClass::Gb2312Hanzi || key.key_class == KeyClass::OtherIdeograph;
}

} // namespace

FormEvidence word_evidence(const WordDictionary& words) {
    FormEvidence evidence;
    for (const auto& [simplified, entry] : words) {
        if (entry.evidence != SpellingEvidence::PerCharacterWord &&
            entry.evidence != SpellingEvidence::LexiconWord) {
            continue;
        }
        std::set<std::pair<UChar32, UChar32>> counted;
        for (std::size_t i = 0; i < simplified.size(); ++i) {
            if (counted.insert({simplified[i], entry.japanese[i].character}).second) {
                ++evidence[simplified[i]][entry.japanese[i].character];
            }
        }
    }
    return evidence;
}

std::vector<JapaneseCode> extension_counterparts(UChar32 key, const JapaneseChooser& chooser) {
    std::vector<JapaneseCode> list;
    for (const UChar32 form : chooser.related_forms(key)) {
        add_unique(list, chooser.extension_kanji(form));
    }
    return list;
}

int evidence_for(const FormEvidence& evidence, UChar32 key, UChar32 form) {
    const auto by_key = evidence.find(key);
    if (by_key == evidence.end()) {
        return 0;
    }
    const auto count = by_key->second.find(form);
    return count == by_key->second.end() ? 0 : count->second;
}

std::vector<JapaneseCode> jis_counterparts(const DesktopKey& key, const PerCharacter& per_char,
                                           const JapaneseChooser& chooser,
                                           const FormEvidence& evidence,
                                           const JapaneseLexicon& lexicon) {
    std::vector<JapaneseCode> list = key_counterparts(key.character, per_char, chooser);
    if (const auto by_key = evidence.find(key.character); by_key != evidence.end()) {
        for (const auto& [form, count] : by_key->second) {
            add_unique(list, chooser.shippable(form));
        }
    }
    const auto found = per_char.find(key.character);
    const UChar32 default_form = found == per_char.end() ? 0 : found->second.character;
    const auto rank = [&](const JapaneseCode& code) {
        const int frequency = lexicon.facts(code.character).frequency;
        return std::make_tuple(code.character == default_form ? 0 : 1,
                               -evidence_for(evidence, key.character, code.character),
                               lexicon.is_joyo_or_jinmeiyo(code.character) ? 0 : 1,
                               frequency == 0 ? INT_MAX : frequency);
    };
    std::stable_sort(list.begin(), list.end(), [&](const JapaneseCode& a, const JapaneseCode& b) {
        return rank(a) < rank(b);
    });
    return list;
}

std::vector<CandidateEntry> candidate_entries(const std::vector<DesktopKey>& keys,
                                              const PerCharacter& per_char,
                                              const JapaneseChooser& chooser,
                                              const FormEvidence& evidence,
                                              const JapaneseLexicon& lexicon) {
    std::vector<CandidateEntry> entries;
    for (const auto& key : keys) {
        if (!is_ideograph_key(key)) {
            continue;
        }
        CandidateEntry entry{key, jis_counterparts(key, per_char, chooser, evidence, lexicon),
                             extension_counterparts(key.character, chooser)};
        if (entry.jis_x0208.size() + entry.extension.size() > kMostCandidates) {
            throw std::runtime_error("too many candidates for " + utf8(key.character));
        }
        if (entry.jis_x0208.size() > 1 || !entry.extension.empty()) {
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

std::string candidate_table_bytes(const std::vector<CandidateEntry>& entries) {
    std::string bytes;
    for (const auto& entry : entries) {
        std::vector<JapaneseCode> all = entry.jis_x0208;
        all.insert(all.end(), entry.extension.begin(), entry.extension.end());
        bytes += '\0';
        bytes += static_cast<char>(all.size());
        bytes += record_bytes(entry.key.bytes);
        for (const auto& code : all) {
            bytes += record_bytes(code.sjis);
        }
        for (const auto& code : all) {
            bytes += record_bytes(code.preview);
        }
    }
    return bytes;
}

} // namespace pelmora::tables
