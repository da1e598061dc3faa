#pragma once

#include "japanese_choice.h"
#include "phrase_sources.h"
#include "table_records.h"
#include "word_table.h"

#include <map>
#include <string>
#include <vector>

namespace pelmora::tables {

// For each key character, how many words of the phrase dictionary give it each Japanese form
// (a word counts once per form).
using FormEvidence = std::map<UChar32, std::map<UChar32, int>>;

FormEvidence word_evidence(const std::vector<Phrase>& phrases, const JapaneseChooser& chooser);

// The words that give the key this form, 0 when none does.
int evidence_for(const FormEvidence& evidence, UChar32 key, UChar32 form);

// The Japanese counterparts of one key: JIS X 0208 kanji first, most word evidence first, then
// extension kanji.
struct CandidateEntry {
    DesktopKey key;
    std::vector<JapaneseCode> jis_x0208;
    std::vector<JapaneseCode> extension;
};

// The JIS X 0208 counterparts of an ideograph key, most word evidence first (ties in the
// chooser's order): the per-character default, the Japanese form of each OpenCC traditional
// form (of the key itself when OpenCC gives none), and every form words give it.
std::vector<JapaneseCode> jis_counterparts(const DesktopKey& key, const PerCharacter& per_char,
                                           const JapaneseChooser& chooser,
                                           const FormEvidence& evidence);

// Every ideograph key with more than one counterpart or with an extension kanji.
std::vector<CandidateEntry> candidate_entries(const std::vector<DesktopKey>& keys,
                                              const PerCharacter& per_char,
                                              const JapaneseChooser& chooser,
                                              const FormEvidence& evidence);

// candidates.dat: for each entry "00 m", the key record, m Shift-JIS records, m preview
// records, ascending by the key's signed CharCode.
std::string candidate_table_bytes(const std::vector<CandidateEntry>& entries);

// The most candidates one entry can hold (its count is one byte).
inline constexpr std::size_t kMostCandidates = 255;

} // namespace pelmora::tables
