#pragma once

#include "japanese_choice.h"
#include "japanese_lexicon.h"
#include "phrase_sources.h"
#include "table_records.h"
#include "word_spelling.h"

#include <map>
#include <string>
#include <vector>

namespace pelmora::tables {

// The Japanese counterparts of one key: JIS X 0208 kanji first, most word evidence first, then
// extension kanji.
struct CandidateEntry {
    DesktopKey key;
    std::vector<JapaneseCode> jisX0208;
    std::vector<JapaneseCode> extension;
};

// The JIS X 0208 counterparts of an ideograph key (KeyCounterparts and every form IPADIC's
// words give it): the per-character default first, then most word
// evidence first, then Jōyō and Jinmeiyō kanji, then by kanjidic frequency.
std::vector<JapaneseCode> JisCounterparts(const DesktopKey& key, const PerCharacter& perChar,
                                          const JapaneseChooser& chooser,
                                          const FormEvidence& evidence,
                                          const JapaneseLexicon& lexicon);

// The extension kanji of code page 932 that are forms of the key (JapaneseChooser's
// RelatedForms), in that order.
std::vector<JapaneseCode> ExtensionCounterparts(UChar32 key, const JapaneseChooser& chooser);

// Every ideograph key with more than one counterpart or with an extension kanji.
std::vector<CandidateEntry> CandidateEntries(const std::vector<DesktopKey>& keys,
                                             const PerCharacter& perChar,
                                             const JapaneseChooser& chooser,
                                             const FormEvidence& evidence,
                                             const JapaneseLexicon& lexicon);

// candidates.dat: the entries in key order (ascending CharCode, as the keys come).
std::string CandidateTableBytes(const std::vector<CandidateEntry>& entries);

} // namespace pelmora::tables
