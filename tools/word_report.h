#pragma once

#include "candidate_table.h"
#include "evidence_defaults.h"
#include "word_model.h"

#include <string>
#include <vector>

namespace pelmora::tables {

// The defaults that Japanese evidence moved and the candidate table (`candidateTableBytes` long
// as written), as Markdown.
std::string WordReport(const std::vector<CandidateEntry>& candidates,
                       const std::vector<DefaultChange>& changes, const JapaneseLexicon& lexicon,
                       std::size_t candidateTableBytes);

// Counts and samples of the word model (`modelBytes` long as written) and the word list it was
// made from, as Markdown.
std::string WordModelReport(const WordListCounts& listCounts, const ModelCounts& counts,
                            const WordModel& model, const PerCharacter& perChar,
                            std::size_t modelBytes);

} // namespace pelmora::tables
