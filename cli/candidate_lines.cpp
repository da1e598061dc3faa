#include "candidate_lines.h"

#include "utf8.h"

#include <algorithm>
#include <vector>

namespace pelmora {

namespace {

// The candidates with the run's pick moved to the front; the others keep the table's order.
std::vector<KanjiChoice> PickFirst(const std::vector<KanjiChoice>& candidates,
                                   std::optional<char32_t> pick) {
    std::vector<KanjiChoice> ordered = candidates;
    const auto picked = std::find_if(ordered.begin(), ordered.end(), [pick](const KanjiChoice& c) {
        return pick && c.preview == *pick;
    });
    std::rotate(ordered.begin(), picked, picked == ordered.end() ? picked : picked + 1);
    return ordered;
}

} // namespace

void AppendCandidateLines(std::u32string_view input, std::u32string_view picks,
                          const CandidateTable& candidates, std::string& out) {
    for (std::size_t i = 0; i < input.size(); ++i) {
        const char32_t character = input[i];
        if (character == U'\r' || character == U'\n') {
            continue;
        }
        AppendUtf8(character, out);
        out += '\t';
        const std::optional<CharCode> code = CharCodeOf(character);
        const std::optional<char32_t> pick =
            i < picks.size() ? std::optional<char32_t>(picks[i]) : std::nullopt;
        const char* separator = "";
        for (const KanjiChoice& choice :
             PickFirst(code ? candidates.CandidatesOf(*code) : std::vector<KanjiChoice>{}, pick)) {
            out += separator;
            AppendUtf8(choice.preview, out);
            out += choice.extension ? "*" : "";
            separator = " ";
        }
        out += '\n';
    }
}

} // namespace pelmora
