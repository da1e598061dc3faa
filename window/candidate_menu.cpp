#include "candidate_menu.h"

#include "utf8.h"
#include "window_texts.h"

#include <algorithm>

namespace pelmora {

namespace {

// The simplified text of a word, from its keys' codes (a byte value, or lead * 256 + trail).
std::string WordText(const Word& word) {
    std::string text;
    for (const CharCode key : word.keys) {
        AppendUtf8(CodePage936Character(static_cast<std::uint16_t>(key)).value_or(kPlaceholder),
                   text);
    }
    return text;
}

// The longest word of `words` in `input` that covers `at` and gives `kanji` there; of words
// of one length, the one that starts first.
const Word* WordInInput(std::u32string_view input, std::size_t at, const KanjiChoice& kanji,
                        const WordTable& words) {
    const std::size_t first = at >= kLongestWord - 1 ? at - (kLongestWord - 1) : 0;
    const std::size_t end = std::min(input.size(), at + kLongestWord);
    std::vector<std::optional<CharCode>> codes;
    for (std::size_t i = first; i < end; ++i) {
        codes.push_back(CharCodeOf(input[i]));
    }
    const Word* best = nullptr;
    for (std::size_t start = first; start <= at; ++start) {
        const std::span<const std::optional<CharCode>> from =
            std::span(codes).subspan(start - first);
        for (const Word* word : words.WordsAt(from)) {
            const std::size_t inWord = at - start;
            const bool gives = inWord < word->keys.size() &&
                               word->kanji[inWord].japaneseCode == kanji.japaneseCode;
            if (gives && (best == nullptr || word->keys.size() > best->keys.size())) {
                best = word;
            }
        }
    }
    return best;
}

// `word` is a word of the input, or else (`example`) one from the table.
std::string EntryText(const KanjiChoice& kanji, const Word* word, bool example) {
    std::string text;
    AppendUtf8(kanji.preview, text);
    std::vector<std::string> notes;
    if (word != nullptr) {
        notes.push_back((example ? std::string(kExampleWordMark) : std::string()) +
                        WordText(*word));
    }
    if (kanji.extension) {
        notes.emplace_back(kExtensionKanjiNote);
    }
    if (!notes.empty()) {
        text += "（";
        for (std::size_t i = 0; i < notes.size(); ++i) {
            text += (i == 0 ? "" : "；") + notes[i];
        }
        text += "）";
    }
    return text;
}

constexpr std::size_t LineBreakLength(std::u32string_view text, std::size_t at) {
    if (text[at] == U'\r') {
        return at + 1 < text.size() && text[at + 1] == U'\n' ? 2 : 1;
    }
    return text[at] == U'\n' ? 1 : 0;
}

} // namespace

std::vector<CandidateEntry> CandidateEntries(std::u32string_view input, std::size_t at,
                                             const KanjiChoice& shown,
                                             const CandidateTable& candidates,
                                             const WordTable& words) {
    std::vector<CandidateEntry> entries;
    const std::optional<CharCode> key =
        at < input.size() ? CharCodeOf(input[at]) : std::optional<CharCode>();
    if (!key) {
        return entries;
    }
    for (const KanjiChoice& kanji : candidates.CandidatesOf(*key)) {
        const bool isShown =
            kanji.japaneseCode == shown.japaneseCode && kanji.preview == shown.preview;
        const Word* word = WordInInput(input, at, kanji, words);
        const bool example = word == nullptr && !isShown;
        if (example) {
            word = words.WordGiving(*key, kanji.japaneseCode);
        }
        entries.push_back({kanji, EntryText(kanji, word, example), isShown});
    }
    return entries;
}

std::optional<std::size_t> ConvertedIndexAt(std::u32string_view boxText,
                                            std::u32string_view converted, std::size_t boxIndex) {
    std::optional<std::size_t> found;
    std::size_t inBox = 0;
    std::size_t inConverted = 0;
    while (inBox < boxText.size() && inConverted < converted.size()) {
        const std::size_t boxBreak = LineBreakLength(boxText, inBox);
        const std::size_t convertedBreak = LineBreakLength(converted, inConverted);
        const bool inStep =
            (boxBreak > 0 && convertedBreak > 0) ||
            (boxBreak == 0 && convertedBreak == 0 && boxText[inBox] == converted[inConverted]);
        if (!inStep) {
            return std::nullopt;
        }
        const std::size_t boxStep = std::max<std::size_t>(boxBreak, 1);
        if (boxIndex >= inBox && boxIndex < inBox + boxStep) {
            found = inConverted;
        }
        inBox += boxStep;
        inConverted += std::max<std::size_t>(convertedBreak, 1);
    }
    const bool wholeTextInStep = inBox == boxText.size() && inConverted == converted.size();
    return wholeTextInStep ? found : std::nullopt;
}

} // namespace pelmora
