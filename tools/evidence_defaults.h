#pragma once

#include "candidate_table.h"

#include <map>
#include <string>
#include <vector>

namespace pelmora::tables {

// A per-character default that word evidence moved, or would have moved but for a reason.
struct DefaultChange {
    UChar32 key = 0;
    UChar32 before = 0;
    UChar32 after = 0;
    std::vector<std::pair<UChar32, int>> words_per_form; // every counterpart, evidence first
    std::string kept_because;                            // empty when the default moved
};

// Where most words of the phrase dictionary that use an ambiguous key give it one Japanese
// form other than the per-character default, that form becomes the default, unless the key
// has an override or a kept default with its reason.
std::vector<DefaultChange> evidence_default_changes(const std::vector<DesktopKey>& keys,
                                                    const PerCharacter& per_char,
                                                    const JapaneseChooser& chooser,
                                                    const FormEvidence& evidence);

// The moved defaults, for the chooser.
std::map<UChar32, UChar32> moved_defaults(const std::vector<DefaultChange>& changes);

// The fewest words that may move a default.
inline constexpr int kFewestWordsToMoveADefault = 3;

} // namespace pelmora::tables
