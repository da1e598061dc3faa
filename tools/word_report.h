#pragma once

#include "candidate_table.h"
#include "evidence_defaults.h"
#include "word_model.h"
#include "word_table.h"

#include <string>
#include <vector>

namespace pelmora::tables {

// The sizes of the word and candidate tables as they were written.
struct WrittenSizes {
    std::size_t wordTableBytes = 0;
    std::size_t candidateTableBytes = 0;
};

// Counts and lists for the word table, the candidate table and the defaults that word
// evidence moved, as Markdown.
std::string WordReport(const WordCounts& counts, const std::vector<WordEntry>& words,
                       const std::vector<CandidateEntry>& candidates,
                       const std::vector<DefaultChange>& changes, const PerCharacter& perChar,
                       const JapaneseLexicon& lexicon, const WrittenSizes& sizes);

// Counts and samples of the word model (`modelBytes` long as written) and the word list it was
// made from, as Markdown.
std::string WordModelReport(const WordListCounts& listCounts, const ModelCounts& counts,
                            const WordModel& model, const PerCharacter& perChar,
                            std::size_t modelBytes);

} // namespace pelmora::tables
