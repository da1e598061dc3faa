#include "word_table.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <optional>
#include <set>
#include <span>
#include <stdexcept>

namespace pelmora::tables {

namespace {

// One matched stretch of a text: where it starts, how many characters it covers, and the word
// that covers them (nullptr for a character alone).
struct Segment {
    std::size_t start = 0;
    std::size_t length = 1;
    const Word* word = nullptr;
};

// Forward longest match, left to right, as the engine's word run makes it: at each position the
// longest word of the table that starts there, else the single character.
std::vector<Segment> Segments(const std::vector<UChar32>& text, const WordTable& words) {
    std::vector<std::optional<CharCode>> codes;
    for (const UChar32 c : text) {
        codes.push_back(CharCodeOf(static_cast<char32_t>(c)));
    }
    std::vector<Segment> result;
    for (std::size_t start = 0; start < text.size(); start += result.back().length) {
        const Word* word = words.LongestWordAt(std::span(codes).subspan(start));
        result.push_back({start, word == nullptr ? 1 : word->keys.size(), word});
    }
    return result;
}

std::vector<UChar32> Slice(const std::vector<UChar32>& text, const Segment& segment) {
    return {text.begin() + static_cast<long>(segment.start),
            text.begin() + static_cast<long>(segment.start + segment.length)};
}

bool IsDoubleByteIdeograph(const std::string& bytes, UChar32 c) {
    return bytes.size() == 2 && u_hasBinaryProperty(c, UCHAR_IDEOGRAPHIC);
}

bool SameAsPerCharacter(const WordEntry& entry, const PerCharacter& perChar) {
    for (std::size_t i = 0; i < entry.simplified.size(); ++i) {
        const auto found = perChar.find(entry.simplified[i]);
        if (found == perChar.end() || found->second.sjis != entry.japanese[i].sjis) {
            return false;
        }
    }
    return true;
}

// A word list and the engine's table of it, kept in step as words are added.
class MatchedWords {
public:
    explicit MatchedWords(WordDictionary words)
        : m_words(std::move(words)), m_table(WordTableOf(m_words)) {}

    const WordDictionary& Words() const { return m_words; }
    const WordTable& Table() const { return m_table; }

    void Add(const std::vector<UChar32>& word, WordEntry entry) {
        m_words.emplace(word, std::move(entry));
        m_table = WordTableOf(m_words);
    }

private:
    WordDictionary m_words;
    WordTable m_table;
};

// Whether `input` converts otherwise with the reduced list than with the full one.
bool ConvertsOtherwise(const std::vector<UChar32>& input, const MatchedWords& full,
                       const MatchedWords& reduced, const PerCharacter& perChar) {
    return ConvertByWords(input, reduced.Table(), perChar) !=
           ConvertByWords(input, full.Table(), perChar);
}

// The first place where the reduced list's run leaves the full dictionary's: the full
// dictionary's word there is one the reduced list dropped.
std::vector<UChar32> FirstDroppedWord(const std::vector<UChar32>& text, const MatchedWords& full,
                                      const MatchedWords& reduced) {
    const auto byFull = Segments(text, full.Table());
    const auto byReduced = Segments(text, reduced.Table());
    for (std::size_t i = 0; i < byFull.size(); ++i) {
        const bool same = i < byReduced.size() && byReduced[i].start == byFull[i].start &&
                          byReduced[i].length == byFull[i].length;
        if (!same) {
            return Slice(text, byFull[i]);
        }
    }
    return {};
}

std::vector<std::vector<UChar32>> DistinctInputs(const std::vector<Phrase>& phrases) {
    std::set<std::vector<UChar32>> seen;
    std::vector<std::vector<UChar32>> inputs;
    for (const auto& phrase : phrases) {
        if (seen.insert(phrase.simplified).second) {
            inputs.push_back(phrase.simplified);
        }
    }
    return inputs;
}

// Adds, as blockers, the dropped words that make an input convert otherwise than with the full
// dictionary; returns whether any was added.
bool AddBlockersFor(const std::vector<UChar32>& input, const MatchedWords& full,
                    MatchedWords& reduced, const PerCharacter& perChar, WordCounts& counts) {
    bool added = false;
    while (ConvertsOtherwise(input, full, reduced, perChar)) {
        const auto word = FirstDroppedWord(input, full, reduced);
        if (word.empty() || reduced.Words().count(word) != 0) {
            break;
        }
        WordEntry blocker = full.Words().at(word);
        blocker.blocker = true;
        reduced.Add(word, std::move(blocker));
        ++counts.blockers;
        added = true;
    }
    return added;
}

std::vector<CharCode> KeyCodes(const WordEntry& entry) {
    std::vector<CharCode> codes;
    for (const auto& key : entry.keys) {
        codes.push_back(RecordCode(CodeRecord(key)));
    }
    return codes;
}

} // namespace

WordDictionary FullWordDictionary(const std::vector<Phrase>& phrases, const WordSpeller& speller,
                                  const FormEvidence& evidence, const StrictCodePage& desktop,
                                  WordCounts& counts) {
    WordDictionary full;
    for (const auto& phrase : phrases) {
        ++counts.phrases;
        if (phrase.simplified.size() > kLongestWord) {
            ++counts.tooLong;
            continue;
        }
        WordEntry entry;
        entry.simplified = phrase.simplified;
        for (const UChar32 c : phrase.simplified) {
            auto bytes = desktop.Encode(c);
            if (!bytes || !IsDoubleByteIdeograph(*bytes, c)) {
                break;
            }
            entry.keys.push_back(std::move(*bytes));
        }
        if (entry.keys.size() != phrase.simplified.size()) {
            ++counts.notDoubleByte;
            continue;
        }
        if (full.count(phrase.simplified) != 0) {
            ++counts.duplicates;
            continue;
        }
        auto choice = speller.Choose(phrase, evidence);
        // This table holds JIS X 0208 kanji only: a word with another character converts
        // character by character.
        const bool allKanji =
            std::all_of(choice.japanese.begin(), choice.japanese.end(), [](const JapaneseCode& c) {
                return c.sjis.size() == 2 && static_cast<std::uint8_t>(c.sjis[0]) >= 0x88 &&
                       IsJisX0208Lead(static_cast<std::uint8_t>(c.sjis[0]));
            });
        if (!allKanji) {
            ++counts.noJapaneseForm;
            continue;
        }
        entry.japanese = std::move(choice.japanese);
        entry.evidence = choice.evidence;
        entry.phraseForm = std::move(choice.meaningForm);
        ++counts.byEvidence[entry.evidence];
        bool unlike = false;
        for (std::size_t i = 0; i < entry.japanese.size(); ++i) {
            unlike = unlike || entry.japanese[i].character != entry.phraseForm[i].character;
        }
        counts.unlikePhraseSource += unlike ? 1 : 0;
        ++counts.full;
        full.emplace(phrase.simplified, std::move(entry));
    }
    return full;
}

// Only the words that differ from the per-character tables are kept. That alone would let a
// shorter kept word match where, with every word present, a longer word that converts like
// the per-character tables would have covered it (ABC dropped, BC kept: "ABC" would take BC).
// Every dictionary word is converted alone with both lists; wherever the results differ, the
// longer word the full list matched is kept as a blocker, until no word converts otherwise.
std::vector<WordEntry> ReducedWordTable(const std::vector<Phrase>& phrases,
                                        const WordDictionary& full, const PerCharacter& perChar,
                                        WordCounts& counts) {
    WordDictionary differing;
    for (const auto& [word, entry] : full) {
        if (!SameAsPerCharacter(entry, perChar)) {
            differing.emplace(word, entry);
        }
    }
    counts.differing = static_cast<int>(differing.size());
    const MatchedWords fullWords(full);
    MatchedWords reduced(std::move(differing));
    const auto inputs = DistinctInputs(phrases);
    for (const auto& input : inputs) {
        counts.blockedInputsBefore += ConvertsOtherwise(input, fullWords, reduced, perChar) ? 1 : 0;
    }
    for (bool added = true; added;) {
        added = false;
        for (const auto& input : inputs) {
            added = AddBlockersFor(input, fullWords, reduced, perChar, counts) || added;
        }
    }
    for (const auto& input : inputs) {
        if (ConvertsOtherwise(input, fullWords, reduced, perChar)) {
            throw std::runtime_error("the word table converts a dictionary word otherwise than "
                                     "the full dictionary");
        }
    }
    std::vector<WordEntry> entries;
    for (const auto& [word, entry] : reduced.Words()) {
        entries.push_back(entry);
    }
    return entries;
}

WordTable WordTableOf(const WordDictionary& words) {
    std::vector<Word> engineWords;
    for (const auto& [simplified, entry] : words) {
        const TableEntry stored = StoredEntry(entry.keys, entry.japanese);
        Word& word = engineWords.emplace_back();
        for (std::size_t i = 0; i < stored.keys.size(); ++i) {
            word.keys.push_back(RecordCode(stored.keys[i]));
            word.kanji.push_back(ChoiceFromRecords(stored.japaneseCodes[i], stored.previews[i]));
        }
    }
    return WordTable::FromWords(std::move(engineWords));
}

std::vector<UChar32> ConvertByWords(const std::vector<UChar32>& text, const WordTable& words,
                                    const PerCharacter& perChar) {
    std::vector<UChar32> result;
    for (const Segment& segment : Segments(text, words)) {
        if (segment.word != nullptr) {
            for (const KanjiChoice& kanji : segment.word->kanji) {
                result.push_back(static_cast<UChar32>(kanji.preview));
            }
            continue;
        }
        const auto found = perChar.find(text[segment.start]);
        result.push_back(found == perChar.end() ? 0 : found->second.character);
    }
    return result;
}

std::string WordTableBytes(std::vector<WordEntry> entries) {
    std::sort(entries.begin(), entries.end(),
              [](const WordEntry& a, const WordEntry& b) { return KeyCodes(a) < KeyCodes(b); });
    std::string bytes;
    for (const auto& entry : entries) {
        AppendEntry(kWordEntry, StoredEntry(entry.keys, entry.japanese), bytes);
    }
    return bytes;
}

} // namespace pelmora::tables
