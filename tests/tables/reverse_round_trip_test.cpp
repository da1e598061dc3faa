// The reverse run over the shipped tables: every character code page 936 holds that the tables
// map, converted one by one and read back from its code text. Whether a character comes back is
// judged from the tables themselves: it does unless another key gives its kanji too.
#include "both_readings.h"
#include "character_lookup.h"
#include "code_page.h"
#include "conversion.h"
#include "reverse_run.h"
#include "string_text.h"
#include "table_files.h"
#include "table_fixture.h"
#include "table_test_support.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace pelmora {
namespace {

using table_tests::StrictConverter;
using testing::StringSink;
using testing::StringSource;

// The GB2312 part of code page 936: single bytes, and pairs of lead A1-F7 and trail A1-FE.
bool IsGb2312(char32_t character) {
    const std::optional<std::string> bytes =
        testing::EncodeCodePage936(std::u32string(1, character));
    if (!bytes || bytes->size() == 1) {
        return bytes.has_value();
    }
    const auto lead = static_cast<unsigned char>((*bytes)[0]);
    const auto trail = static_cast<unsigned char>((*bytes)[1]);
    return lead >= 0xA1 && lead <= 0xF7 && trail >= 0xA1;
}

// For each Japanese character the tables give, every key that gives it: by default (pin.dat and
// pj.dat), as a candidate, in a name or as a word model's spelling. Shift-JIS is read with ICU.
std::map<char32_t, std::set<char32_t>> KeysGivingEachKanji(const table_tests::Tables& tables) {
    const StrictConverter shiftJis("windows-932");
    std::map<char32_t, std::set<char32_t>> giving;
    const auto add = [&](Record key, Record japaneseCode) {
        const auto read = shiftJis.Decode(CodeBytes(japaneseCode));
        if (read && read->size() == 1) {
            giving[(*read)[0]].insert(RecordCharacter(key));
        }
    };
    const auto record = [](const std::string& table, std::size_t r) {
        const std::string bytes = table_tests::Tables::Record(table, r);
        return Record{static_cast<std::uint8_t>(bytes[0]), static_cast<std::uint8_t>(bytes[1])};
    };
    for (std::size_t r = 0; r < tables.RecordCount(); ++r) {
        add(record(tables.pin, r), record(tables.pj, r));
    }
    static constexpr EntryLayout kEntries[] = {kCandidateEntry, kSurnameEntry, kGivenNameEntry};
    for (const char* name : {kCandidateTableName, kNameTableName}) {
        ForEachEntry(std::filesystem::path(PELMORA_DATA_DIR) / name, kEntries,
                     [&](const EntryLayout& layout, const TableEntry& entry) {
                         for (std::size_t i = 0; i < entry.japaneseCodes.size(); ++i) {
                             add(entry.keys[layout.oneKey ? 0 : i], entry.japaneseCodes[i]);
                         }
                     });
    }
    ForEachWordModelEntry(std::filesystem::path(PELMORA_DATA_DIR) / kWordTableName,
                          [&](const WordModelEntry& entry) {
                              for (const WordSpelling& spelling : entry.spellings) {
                                  add(entry.keys[spelling.position], spelling.japaneseCode);
                              }
                          });
    return giving;
}

// `text` through the run `kind`, and its code text read back.
struct RoundTrip {
    std::u32string japanese;
    std::u32string chinese;
};
RoundTrip ThroughAndBack(RunKind kind, const std::u32string& text, const TableLocation& location) {
    StringSource source(EncodeUtf8(text));
    StringSink codeText;
    StringSink preview;
    TablePaths paths;
    testing::RecordingReport report;
    ConvertText(kind, source, codeText, preview, paths, location, report);
    StringSource garbled(EncodeUtf8(codeText.Text()));
    StringSink japanese;
    StringSink chinese;
    EXPECT_EQ(ReadBackText(GameText::CodeText, garbled, {&japanese, &chinese}, location, report),
              0u);
    EXPECT_TRUE(report.Entries().empty());
    return {japanese.Text(), chinese.Text()};
}

class ReverseRoundTripTest : public ::testing::TestWithParam<TableReading> {};

TEST_P(ReverseRoundTripTest, EveryMappedCharacterComesBackOrYieldsToAKeyOfTheSameKanji) {
    const table_tests::Tables tables = table_tests::ReadTables(PELMORA_DATA_DIR);
    const StrictConverter shiftJis("windows-932");
    std::u32string input;
    std::u32string kanji; // what a game reads for each key
    for (std::size_t r = 0; r < tables.RecordCount(); ++r) {
        const std::string key = table_tests::MeaningfulBytes(tables.Record(tables.pin, r));
        const auto read =
            shiftJis.Decode(table_tests::MeaningfulBytes(tables.Record(tables.pj, r)));
        const auto keyCharacter = StrictConverter("windows-936").Decode(key);
        // A punctuation mark the run passes through as ASCII never asks the tables.
        const bool passedThrough = keyCharacter && keyCharacter->size() == 1 &&
                                   FixedPiece(*CharCodeOf((*keyCharacter)[0]));
        if (read && read->size() == 1 && keyCharacter && keyCharacter->size() == 1 &&
            !passedThrough) {
            input += (*keyCharacter)[0];
            kanji += (*read)[0];
        }
    }
    ASSERT_GT(input.size(), 9000u);

    std::u32string lines;
    for (const char32_t key : input) {
        lines += std::u32string{key, U'\n'};
    }
    const RoundTrip trip =
        ThroughAndBack(RunKind::PerCharacter, lines, {PELMORA_DATA_DIR, GetParam()});
    const std::u32string& japanese = trip.japanese;
    const std::u32string& chinese = trip.chinese;
    ASSERT_EQ(chinese.size(), lines.size());

    const std::map<char32_t, std::set<char32_t>> giving = KeysGivingEachKanji(tables);
    std::size_t yielded = 0;
    for (std::size_t i = 0; i < input.size(); ++i) {
        const char32_t key = input[i];
        const char32_t back = chinese[2 * i];
        ASSERT_EQ(japanese[2 * i], kanji[i]) << "U+" << std::hex << unsigned(key);
        if (back == key) {
            continue;
        }
        ++yielded;
        const std::set<char32_t>& keys = giving.at(kanji[i]);
        EXPECT_TRUE(keys.count(back) == 1)
            << "U+" << std::hex << unsigned(key) << " came back as a key that does not give "
            << unsigned(kanji[i]);
        EXPECT_TRUE(!IsGb2312(key) || IsGb2312(back))
            << "Simplified Chinese U+" << std::hex << unsigned(key)
            << " came back as a character outside GB2312";
    }
    // Roughly a third of the keys share their kanji with another key (traditional and variant
    // keys, GB2312 characters that Japanese writes alike).
    EXPECT_LT(yielded, input.size() / 2);
    ::testing::Test::RecordProperty("mapped", static_cast<int>(input.size()));
    ::testing::Test::RecordProperty("yielded", static_cast<int>(yielded));
}

std::vector<std::u32string> Lines(const std::u32string& text) {
    std::vector<std::u32string> lines(1);
    for (const char32_t character : text) {
        if (character == U'\n') {
            lines.emplace_back();
        } else {
            lines.back() += character;
        }
    }
    lines.pop_back();
    return lines;
}

// Every word of the word model of two or more GB2312 characters, alone on a line, through the
// word run and back. A word may come back as another only when the game cannot tell the two
// apart: the other, through the word run, shows the same Japanese text. Read from memory only:
// both readings give the same outputs (the test above, and the fuzzer), and reading record by
// record takes this many words ten times as long.
TEST(ReverseWordRoundTripTest, EveryWordComesBackOrYieldsToAWordTheGameShowsAlike) {
    std::u32string words;
    ForEachWordModelEntry(
        std::filesystem::path(PELMORA_DATA_DIR) / kWordTableName, [&](const WordModelEntry& entry) {
            std::u32string word;
            for (const Record key : entry.keys) {
                const std::optional<char32_t> character =
                    CodePage936Character(static_cast<std::uint16_t>(RecordCode(key)));
                if (character && IsGb2312(*character) && *character >= 0x80) {
                    word += *character;
                }
            }
            if (word.size() == entry.keys.size() && word.size() > 1) {
                words += word + U'\n';
            }
        });
    ASSERT_GT(words.size(), 100000u);
    const TableLocation location{PELMORA_DATA_DIR, TableReading::InMemory};
    const RoundTrip trip = ThroughAndBack(RunKind::ByWords, words, location);
    const std::vector<std::u32string> original = Lines(words);
    const std::vector<std::u32string> shown = Lines(trip.japanese);
    const std::vector<std::u32string> back = Lines(trip.chinese);
    ASSERT_EQ(back.size(), original.size());
    ASSERT_EQ(shown.size(), original.size());

    std::u32string others;
    std::vector<std::size_t> yielded;
    std::size_t mapped = 0;
    for (std::size_t i = 0; i < original.size(); ++i) {
        if (shown[i].find(U'\u25A1') != std::u32string::npos) {
            continue; // a character the tables lack has no way back
        }
        ++mapped;
        if (back[i] != original[i]) {
            others += back[i] + U'\n';
            yielded.push_back(i);
        }
    }
    const std::vector<std::u32string> othersShown =
        Lines(ThroughAndBack(RunKind::ByWords, others, location).japanese);
    ASSERT_EQ(othersShown.size(), yielded.size());
    for (std::size_t j = 0; j < yielded.size(); ++j) {
        EXPECT_EQ(othersShown[j], shown[yielded[j]])
            << EncodeUtf8(original[yielded[j]]) << " came back as " << EncodeUtf8(back[yielded[j]])
            << ", which the game shows otherwise";
    }
    // Two words the game shows alike are rare (about one word in 500 with the shipped model);
    // reading each character back alone would turn most words with a kanji that several keys
    // give into another.
    EXPECT_LT(yielded.size(), mapped / 100);
    ::testing::Test::RecordProperty("words", static_cast<int>(mapped));
    ::testing::Test::RecordProperty("yielded", static_cast<int>(yielded.size()));
}

INSTANTIATE_TEST_SUITE_P(BothReadings, ReverseRoundTripTest, testing::BothReadings(),
                         testing::ReadingName);

} // namespace
} // namespace pelmora
