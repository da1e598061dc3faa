#include "candidate_menu.h"

#include "segmentation.h"
#include "utf8.h"
#include "window_texts.h"
#include "word_chooser.h"

#include <algorithm>
#include <unordered_map>

namespace pelmora {

namespace {

// The simplified text of entry `entry`, from its keys' codes (a byte value, or lead * 256 +
// trail).
std::string WordText(const StoredWordModel& stored, std::size_t entry) {
    std::string text;
    for (std::size_t i = 0; i < stored.Length(entry); ++i) {
        const auto code = static_cast<std::uint16_t>(stored.Key(entry, i));
        AppendUtf8(CodePage936Character(code).value_or(kPlaceholder), text);
    }
    return text;
}

// The word of the best path that covers `at`, segmenting the run of characters around it that
// the model holds, at most what the word-aware run holds back on either side.
std::optional<Segmentation::Word> SegmentedWordAt(std::u32string_view input, std::size_t at,
                                                  const WordModel& words) {
    const auto held = [&](std::size_t i) {
        const std::optional<CharCode> code = CharCodeOf(input[i]);
        return code && words.Holds(*code);
    };
    if (!held(at)) {
        return std::nullopt;
    }
    std::size_t first = at;
    while (first > 0 && at - first < WordChooser::kLookahead && held(first - 1)) {
        --first;
    }
    std::size_t end = at + 1;
    while (end < input.size() && end - at < WordChooser::kLookahead && held(end)) {
        ++end;
    }
    std::vector<CharCode> codes;
    for (std::size_t i = first; i < end; ++i) {
        codes.push_back(*CharCodeOf(input[i]));
    }
    Segmentation segmentation;
    segmentation.Segment(words, codes);
    for (Segmentation::Word word : segmentation.Words()) {
        if (word.start + word.length > at - first) {
            word.start += first;
            return word;
        }
    }
    return std::nullopt;
}

// For each Japanese code `key` takes in some entry's spelling, the cheapest entry of two to
// kLongestExample characters that spells it so (the first in the file among equals).
std::unordered_map<char32_t, std::size_t> ExamplesFor(CharCode key, const WordModel& words) {
    const StoredWordModel& stored = words.Stored();
    std::unordered_map<char32_t, std::size_t> examples;
    for (std::size_t entry = 0; entry < stored.EntryCount(); ++entry) {
        const std::size_t length = stored.Length(entry);
        if (length < 2 || length > kLongestExample) {
            continue;
        }
        for (std::size_t j = 0; j < stored.SpellingCount(entry); ++j) {
            const WordSpelling spelling = stored.Spelling(entry, j);
            if (stored.Key(entry, spelling.position) != key) {
                continue;
            }
            const char32_t code = JapaneseCodeCharacter(spelling.japaneseCode);
            const auto [found, added] = examples.try_emplace(code, entry);
            if (!added && stored.Cost(entry) < stored.Cost(found->second)) {
                found->second = entry;
            }
        }
    }
    return examples;
}

// `word` (the text of a word, empty for none) is a word of the input, or else (`example`) one
// from the table.
std::string EntryText(const KanjiChoice& kanji, const std::string& word, bool example) {
    std::string text;
    AppendUtf8(kanji.preview, text);
    std::vector<std::string> notes;
    if (!word.empty()) {
        notes.push_back((example ? std::string(kExampleWordMark) : std::string()) + word);
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
                                             const WordModel& words) {
    std::vector<CandidateEntry> entries;
    const std::optional<CharCode> key =
        at < input.size() ? CharCodeOf(input[at]) : std::optional<CharCode>();
    if (!key) {
        return entries;
    }
    const std::optional<Segmentation::Word> word = SegmentedWordAt(input, at, words);
    const std::vector<KanjiChoice>& offered = candidates.CandidatesOf(*key);
    const std::unordered_map<char32_t, std::size_t> examples =
        offered.empty() ? std::unordered_map<char32_t, std::size_t>() : ExamplesFor(*key, words);
    for (const KanjiChoice& kanji : offered) {
        const bool isShown =
            kanji.japaneseCode == shown.japaneseCode && kanji.preview == shown.preview;
        std::optional<std::size_t> reason;
        if (word && word->entry && word->length >= 2) {
            const std::optional<KanjiChoice> spelled =
                words.SpellingAt(*word->entry, at - word->start);
            reason =
                spelled && spelled->japaneseCode == kanji.japaneseCode ? word->entry : std::nullopt;
        }
        const auto example = examples.find(kanji.japaneseCode);
        const bool exampleGiven = !reason && !isShown && example != examples.end();
        const std::optional<std::size_t> shownWord = exampleGiven ? example->second : reason;
        entries.push_back(
            {kanji,
             EntryText(kanji, shownWord ? WordText(words.Stored(), *shownWord) : std::string(),
                       exampleGiven),
             isShown});
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
