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
    std::vector<std::pair<UChar32, int>> wordsPerForm; // every counterpart, evidence first
    std::string rule;                                  // which rule moved it
    std::string keptBecause;                           // empty when the default moved
};

// A key without a default takes the form most IPADIC-spelled words give it, or else a form one
// semantic link reaches that Japanese uses or that is one character with the key (the standing
// rules in evidence_defaults.cpp). A key's default moves, unless the key has an override or a
// kept default with its reason, or the default is the key itself (a key that is a Japanese kanji
// means that kanji):
//  - to the key itself, when it is a Jōyō kanji and the default, one of its traditional forms,
//    is no Jōyō or Jinmeiyō kanji (惧, not 懼);
//  - to the Japanese form that more IPADIC-spelled words give the key than any other (at least
//    kFewestWordsToMoveADefault words), among its Jōyō and Jinmeiyō counterparts when it has
//    any;
//  - else, when the default is no Jōyō or Jinmeiyō kanji, to the counterpart that is (most
//    word evidence, then kanjidic frequency), and when no counterpart is, from a kanji that
//    kanjidic does not rank by frequency to the most frequent one that it ranks.
std::vector<DefaultChange> EvidenceDefaultChanges(const std::vector<DesktopKey>& keys,
                                                  const PerCharacter& perChar,
                                                  const JapaneseChooser& chooser,
                                                  const FormEvidence& evidence,
                                                  const JapaneseLexicon& lexicon);

// The moved defaults, for the chooser.
std::map<UChar32, UChar32> MovedDefaults(const std::vector<DefaultChange>& changes);

// The fewest words that may move a default.
inline constexpr int kFewestWordsToMoveADefault = 3;

} // namespace pelmora::tables
