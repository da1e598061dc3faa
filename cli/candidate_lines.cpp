#include "candidate_lines.h"

#include "utf8.h"

#include <algorithm>
#include <vector>

namespace pelmora {

namespace {

// The run's pick as a choice: its extension flag comes from the Shift-JIS bytes that the code
// text character stands for.
KanjiChoice PickedChoice(char32_t japaneseCode, char32_t preview) {
    std::string bytes;
    const bool extension = AppendCodePage936(japaneseCode, bytes) && bytes.size() == 2 &&
                           IsExtensionKanji({static_cast<std::uint8_t>(bytes[0]),
                                             static_cast<std::uint8_t>(bytes[1])});
    return {japaneseCode, preview, extension};
}

bool MapsToNothing(char32_t preview) {
    return preview == kPlaceholder || preview == U' ' || preview == U'\t';
}

// The pick first, then the other candidates in the table's order.
std::vector<KanjiChoice> PickFirst(const std::vector<KanjiChoice>& candidates,
                                   std::optional<KanjiChoice> pick) {
    std::vector<KanjiChoice> ordered;
    if (pick) {
        ordered.push_back(*pick);
    }
    for (const KanjiChoice& candidate : candidates) {
        if (!pick || candidate.preview != pick->preview) {
            ordered.push_back(candidate);
        }
    }
    return ordered;
}

} // namespace

void AppendCandidateLines(std::u32string_view input, std::u32string_view japaneseCodePicks,
                          std::u32string_view previewPicks, const CandidateTable& candidates,
                          std::string& out) {
    static const std::vector<KanjiChoice> none;
    for (std::size_t i = 0; i < input.size(); ++i) {
        const char32_t character = input[i];
        if (character == U'\r' || character == U'\n') {
            continue;
        }
        AppendUtf8(character, out);
        out += '\t';
        std::optional<KanjiChoice> pick;
        if (i < previewPicks.size() && i < japaneseCodePicks.size() &&
            !MapsToNothing(previewPicks[i])) {
            pick = PickedChoice(japaneseCodePicks[i], previewPicks[i]);
        }
        const std::optional<CharCode> code = CharCodeOf(character);
        const char* separator = "";
        for (const KanjiChoice& choice :
             PickFirst(code ? candidates.CandidatesOf(*code) : none, pick)) {
            out += separator;
            AppendUtf8(choice.preview, out);
            out += choice.extension ? "*" : "";
            separator = " ";
        }
        out += '\n';
    }
}

} // namespace pelmora
