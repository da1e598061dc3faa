#pragma once

#include "candidate_table.h"
#include "evidence_defaults.h"
#include "word_model.h"
#include "word_table.h"

#include <string>
#include <vector>

namespace pelmora::tables {

// Counts and lists for the word table, the candidate table and the defaults that word
// evidence moved, as Markdown.
std::string WordReport(const WordCounts& counts, const std::vector<WordEntry>& words,
                       const std::vector<CandidateEntry>& candidates,
                       const std::vector<DefaultChange>& changes, const PerCharacter& perChar,
                       const JapaneseLexicon& lexicon);

// Counts and samples of the word model and the word list it was made from, as Markdown.
std::string WordModelReport(const WordListCounts& listCounts, const ModelCounts& counts,
                            const WordModel& model, const PerCharacter& perChar);

} // namespace pelmora::tables
