#include "candidate_table.h"

#include <algorithm>
#include <set>
#include <stdexcept>

namespace pelmora::tables {

namespace {

bool is_ideograph_key(const DesktopKey& key) {
    return key.key_class == KeyClass::Gb2312Hanzi || key.key_class == KeyClass::OtherIdeograph;
}

void add_unique(std::vector<JapaneseCode>& list, const std::optional<JapaneseCode>& code) {
    if (!code) {
        return;
    }
    const bool present = std::any_of(list.begin(), list.end(), [&code](const JapaneseCode& c) {
        return c.character == code->character;
    });
    if (!present) {
        list.push_back(*code);
    }
}

std::vector<JapaneseCode> extension_counterparts(const DesktopKey& key,
                                                 const JapaneseChooser& chooser) {
    std::vector<JapaneseCode> list;
    for (const UChar32 form : chooser.related_forms(key.character)) {
        add_unique(list, chooser.extension_kanji(form));
    }
    return list;
}

} // namespace

FormEvidence word_evidence(const std::vector<Phrase>& phrases, const JapaneseChooser& chooser) {
    FormEvidence evidence;
    std::set<std::vector<UChar32>> seen;
    for (const auto& phrase : phrases) {
        if (!seen.insert(phrase.simplified).second) {
            continue;
        }
        std::set<std::pair<UChar32, UChar32>> counted;
        for (std::size_t i = 0; i < phrase.simplified.size(); ++i) {
            const auto form = chooser.japanese_form_of(phrase.traditional[i]);
            if (form && counted.insert({phrase.simplified[i], form->character}).second) {
                ++evidence[phrase.simplified[i]][form->character];
            }
        }
    }
    return evidence;
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
                                           const FormEvidence& evidence) {
    std::vector<JapaneseCode> list;
    if (const auto found = per_char.find(key.character); found != per_char.end()) {
        add_unique(list, found->second);
    }
    const auto& traditional = chooser.traditional_forms(key.character);
    for (const UChar32 form : traditional) {
        add_unique(list, chooser.japanese_form_of(form));
    }
    if (traditional.empty()) {
        add_unique(list, chooser.japanese_form_of(key.character));
    }
    if (const auto by_key = evidence.find(key.character); by_key != evidence.end()) {
        for (const auto& [form, count] : by_key->second) {
            add_unique(list, chooser.shippable(form));
        }
    }
    std::stable_sort(list.begin(), list.end(), [&](const JapaneseCode& a, const JapaneseCode& b) {
        return evidence_for(evidence, key.character, a.character) >
               evidence_for(evidence, key.character, b.character);
    });
    return list;
}

std::vector<CandidateEntry> candidate_entries(const std::vector<DesktopKey>& keys,
                                              const PerCharacter& per_char,
                                              const JapaneseChooser& chooser,
                                              const FormEvidence& evidence) {
    std::vector<CandidateEntry> entries;
    for (const auto& key : keys) {
        if (!is_ideograph_key(key)) {
            continue;
        }
        CandidateEntry entry{key, jis_counterparts(key, per_char, chooser, evidence),
                             extension_counterparts(key, chooser)};
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
