#include "word_table.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <set>
#include <stdexcept>

namespace pelmora::tables {

namespace {

// One matched stretch of a text: where it starts and how many characters it covers.
struct Segment {
    std::size_t start = 0;
    std::size_t length = 0;
};

// Forward longest match, left to right: at each position the longest word of the dictionary
// that starts there, else the single character.
std::vector<Segment> Segments(const std::vector<UChar32>& text, const WordDictionary& words) {
    std::vector<Segment> result;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t length = std::min(kLongestWord, text.size() - start);
        for (; length >= 2; --length) {
            const std::vector<UChar32> candidate(text.begin() + static_cast<long>(start),
                                                 text.begin() + static_cast<long>(start + length));
            if (words.count(candidate) != 0) {
                break;
            }
        }
        length = std::max<std::size_t>(length, 1);
        result.push_back({start, length});
        start += length;
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

// The first place where the reduced list's run leaves the full dictionary's: the full
// dictionary's word there is one the reduced list dropped.
std::vector<UChar32> FirstDroppedWord(const std::vector<UChar32>& text, const WordDictionary& full,
                                      const WordDictionary& reduced) {
    const auto byFull = Segments(text, full);
    const auto byReduced = Segments(text, reduced);
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
bool AddBlockersFor(const std::vector<UChar32>& input, const WordDictionary& full,
                    WordDictionary& reduced, const PerCharacter& perChar, WordCounts& counts) {
    bool added = false;
    while (ConvertByWords(input, reduced, perChar) != ConvertByWords(input, full, perChar)) {
        const auto word = FirstDroppedWord(input, full, reduced);
        if (word.empty() || reduced.count(word) != 0) {
            break;
        }
        WordEntry blocker = full.at(word);
        blocker.blocker = true;
        reduced.emplace(word, std::move(blocker));
        ++counts.blockers;
        added = true;
    }
    return added;
}

std::vector<std::int16_t> KeyCodes(const WordEntry& entry) {
    std::vector<std::int16_t> codes;
    for (const auto& key : entry.keys) {
        codes.push_back(KeyCharCode(key));
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
    WordDictionary reduced;
    for (const auto& [word, entry] : full) {
        if (!SameAsPerCharacter(entry, perChar)) {
            reduced.emplace(word, entry);
        }
    }
    counts.differing = static_cast<int>(reduced.size());
    const auto inputs = DistinctInputs(phrases);
    for (const auto& input : inputs) {
        if (ConvertByWords(input, reduced, perChar) != ConvertByWords(input, full, perChar)) {
            ++counts.blockedInputsBefore;
        }
    }
    for (bool added = true; added;) {
        added = false;
        for (const auto& input : inputs) {
            added = AddBlockersFor(input, full, reduced, perChar, counts) || added;
        }
    }
    for (const auto& input : inputs) {
        if (ConvertByWords(input, reduced, perChar) != ConvertByWords(input, full, perChar)) {
            throw std::runtime_error("the word table converts a dictionary word otherwise than "
                                     "the full dictionary");
        }
    }
    std::vector<WordEntry> entries;
    for (auto& [word, entry] : reduced) {
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<UChar32> ConvertByWords(const std::vector<UChar32>& text, const WordDictionary& words,
                                    const PerCharacter& perChar) {
    std::vector<UChar32> result;
    for (const auto& segment : Segments(text, words)) {
        if (segment.length > 1) {
            for (const auto& code : words.at(Slice(text, segment)).japanese) {
                result.push_back(code.character);
            }
            continue;
        }
        const auto found = perChar.find(text[segment.start]);
        result.push_back(found == perChar.end() ? 0 : found->second.character);
    }
    return result;
}

bool KeySequenceLess(const WordEntry& a, const WordEntry& b) {
    return KeyCodes(a) < KeyCodes(b);
}

std::string WordTableBytes(std::vector<WordEntry> entries) {
    std::sort(entries.begin(), entries.end(), KeySequenceLess);
    std::string bytes;
    for (const auto& entry : entries) {
        bytes += EntryBytes('\0', entry.keys, entry.japanese);
    }
    return bytes;
}

std::string EntryBytes(char tag, const std::vector<std::string>& keys,
                       const std::vector<JapaneseCode>& japanese) {
    std::string bytes;
    bytes += tag;
    bytes += static_cast<char>(keys.size());
    for (const auto& key : keys) {
        bytes += key;
    }
    for (const auto& code : japanese) {
        bytes += RecordBytes(code.sjis);
    }
    for (const auto& code : japanese) {
        bytes += RecordBytes(code.preview);
    }
    return bytes;
}

} // namespace pelmora::tables
