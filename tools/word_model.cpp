#include "word_model.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace pelmora::tables {

namespace {

// The code page 936 bytes of each character, when every one is a double-byte ideograph.
std::optional<std::vector<std::string>> KeysOf(const std::vector<UChar32>& word,
                                               const StrictCodePage& desktop) {
    std::vector<std::string> keys;
    for (const UChar32 c : word) {
        auto bytes = desktop.Encode(c);
        if (!bytes || bytes->size() != 2 || !u_hasBinaryProperty(c, UCHAR_IDEOGRAPHIC)) {
            return std::nullopt;
        }
        keys.push_back(std::move(*bytes));
    }
    return keys;
}

// Counts, once per word, each form the word gives each of its keys.
void CountForms(FormEvidence& evidence, const std::vector<UChar32>& simplified,
                const Spelling& japanese) {
    std::set<std::pair<UChar32, UChar32>> counted;
    for (std::size_t i = 0; i < simplified.size(); ++i) {
        if (japanese[i].character != 0 &&
            counted.insert({simplified[i], japanese[i].character}).second) {
            ++evidence[simplified[i]][japanese[i].character];
        }
    }
}

// A word whose spelling IPADIC's evidence may decide, with its frequency.
struct SurveyWord {
    const Phrase* phrase;
    std::uint64_t frequency;
};

// Counts the forms `counted` keys take in the words IPADIC spells (ChooseByLexicon). A first
// pass lets words take every semantic link; a link then stays only where the words spelled with
// it carry at least kLeastLooseShare (or kLeastLooseShareWithoutKanji) of the frequency of the
// surveyed words holding the key, and
// the words that took a link that did not stay are spelled again without it.
FormEvidence Survey(const std::vector<SurveyWord>& words, WordSpeller& speller,
                    const std::function<bool(UChar32)>& counted) {
    speller.SetLooseLinks(std::nullopt);
    FormEvidence evidence;
    const auto count = [&](const Phrase& phrase, const Spelling& japanese) {
        std::vector<UChar32> keys;
        Spelling forms;
        for (std::size_t i = 0; i < japanese.size(); ++i) {
            if (counted(phrase.simplified[i])) {
                keys.push_back(phrase.simplified[i]);
                forms.push_back(japanese[i]);
            }
        }
        CountForms(evidence, keys, forms);
    };
    std::map<UChar32, std::uint64_t> keyFrequency;
    std::map<std::pair<UChar32, UChar32>, std::uint64_t> linkFrequency;
    std::vector<std::pair<const SurveyWord*, std::vector<std::pair<UChar32, UChar32>>>> loose;
    for (const auto& word : words) {
        for (const UChar32 c :
             std::set<UChar32>(word.phrase->simplified.begin(), word.phrase->simplified.end())) {
            keyFrequency[c] += word.frequency;
        }
        const auto choice = speller.ChooseByLexicon(*word.phrase);
        if (!choice) {
            continue;
        }
        auto links = speller.LooseLinksIn(*word.phrase, choice->japanese);
        if (links.empty()) {
            count(*word.phrase, choice->japanese);
            continue;
        }
        for (const auto& link : std::set(links.begin(), links.end())) {
            linkFrequency[link] += word.frequency;
        }
        loose.emplace_back(&word, std::move(links));
    }
    std::set<std::pair<UChar32, UChar32>> accepted;
    for (const auto& [link, frequency] : linkFrequency) {
        const double least =
            speller.HasKanji(link.first) ? kLeastLooseShare : kLeastLooseShareWithoutKanji;
        if (static_cast<double>(frequency) >=
            least * static_cast<double>(keyFrequency[link.first])) {
            accepted.insert(link);
        }
    }
    speller.SetLooseLinks(accepted);
    for (const auto& [word, links] : loose) {
        if (const auto choice = speller.ChooseByLexicon(*word->phrase)) {
            count(*word->phrase, choice->japanese);
        }
    }
    return evidence;
}

std::vector<std::int16_t> KeyCodes(const ModelEntry& entry) {
    std::vector<std::int16_t> codes;
    for (const auto& key : entry.keys) {
        codes.push_back(RecordCode(CodeRecord(key)));
    }
    return codes;
}

} // namespace

std::uint16_t WordCost(std::uint64_t frequency, std::uint64_t total) {
    if (frequency == 0 || total == 0) {
        return kMostWordCost;
    }
    const double cost = std::round(
        kWordCostScale * -std::log(static_cast<double>(frequency) / static_cast<double>(total)));
    return static_cast<std::uint16_t>(std::clamp(cost, 0.0, static_cast<double>(kMostWordCost)));
}

FormEvidence LexiconEvidence(const std::vector<ChineseWord>& words, WordSpeller& speller,
                             const StrictCodePage& desktop) {
    std::vector<SurveyWord> survey;
    for (const auto& word : words) {
        const auto& simplified = word.phrase.simplified;
        if (simplified.size() >= 2 && simplified.size() <= kLongestWord &&
            KeysOf(simplified, desktop)) {
            survey.push_back({&word.phrase, word.frequency});
        }
    }
    return Survey(survey, speller, [](UChar32) { return true; });
}

WordModel BuildWordModel(const std::vector<ChineseWord>& words, const WordSpeller& speller,
                         const FormEvidence& evidence, const PerCharacter& perChar,
                         const StrictCodePage& desktop, ModelCounts& counts) {
    WordModel model;
    for (const auto& word : words) {
        counts.totalFrequency += word.frequency;
    }
    for (const auto& word : words) {
        ++counts.words;
        const auto& simplified = word.phrase.simplified;
        if (simplified.size() > kLongestWord) {
            ++counts.tooLong;
            continue;
        }
        auto keys = KeysOf(simplified, desktop);
        if (!keys) {
            ++counts.notDoubleByte;
            continue;
        }
        const auto choice = speller.Choose(word.phrase, evidence);
        ModelEntry entry{
            simplified, std::move(*keys), WordCost(word.frequency, counts.totalFrequency),
            {},         choice.evidence,  word.source};
        for (std::size_t i = 0; i < simplified.size(); ++i) {
            const auto found = perChar.find(simplified[i]);
            const UChar32 given = found == perChar.end() ? 0 : found->second.character;
            if (choice.japanese[i].character != 0 && choice.japanese[i].character != given) {
                entry.spelled.emplace_back(static_cast<std::uint8_t>(i), choice.japanese[i]);
            }
        }
        // A word the corpus never saw and that the per-character run spells alike only
        // competes with the characters' own entries at kMostWordCost; leaving such words out
        // changed no row of the word or sentence lists (bench/README.md).
        if (word.frequency == 0 && entry.spelled.empty()) {
            ++counts.unseenUnspelled;
            continue;
        }
        counts.spelledEntries += entry.spelled.empty() ? 0 : 1;
        counts.singleCharacters += simplified.size() == 1 ? 1 : 0;
        ++counts.byEvidence[choice.evidence];
        model.entries.push_back(std::move(entry));
    }
    counts.entries = static_cast<int>(model.entries.size());
    return model;
}

FormEvidence MissingKeyEvidence(const std::vector<TraditionalWord>& traditionalWords,
                                WordSpeller& speller, const PerCharacter& perChar) {
    const auto missing = [&perChar](UChar32 c) { return perChar.count(c) == 0; };
    std::vector<Phrase> phrases;
    std::vector<std::uint64_t> frequencies;
    for (const auto& word : traditionalWords) {
        const auto& characters = word.characters;
        if (characters.size() >= 2 && characters.size() <= kLongestWord &&
            std::any_of(characters.begin(), characters.end(), missing)) {
            phrases.push_back({characters, characters});
            frequencies.push_back(word.frequency);
        }
    }
    std::vector<SurveyWord> survey;
    for (std::size_t i = 0; i < phrases.size(); ++i) {
        survey.push_back({&phrases[i], frequencies[i]});
    }
    return Survey(survey, speller, missing);
}

std::string WordModelBytes(std::vector<ModelEntry> entries) {
    std::sort(entries.begin(), entries.end(),
              [](const ModelEntry& a, const ModelEntry& b) { return KeyCodes(a) < KeyCodes(b); });
    std::string bytes;
    for (const auto& entry : entries) {
        WordModelEntry stored;
        for (const auto& key : entry.keys) {
            stored.keys.push_back(CodeRecord(key));
        }
        stored.cost = entry.cost;
        for (const auto& [position, code] : entry.spelled) {
            stored.spellings.push_back({position, CodeRecord(code.sjis), CodeRecord(code.preview)});
        }
        AppendWordModelEntry(stored, bytes);
    }
    return bytes;
}

} // namespace pelmora::tables
