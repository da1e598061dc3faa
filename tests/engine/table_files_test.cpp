#include "table_files.h"

#include "runtime_error.h"
#include "table_fixture.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace pelmora {
namespace {

TEST(TableFilesTest, RecordsDecodeAsOneCharacter) {
    EXPECT_EQ(RecordCharacter({0xD6, 0xD0}), U'中');
    EXPECT_EQ(RecordCharacter({'A', 0x00}), U'A');
    EXPECT_EQ(RecordCharacter({'A', 0xD6}), U'A') << "the byte after a single-byte one is padding";
    EXPECT_EQ(RecordCharacter({0x00, 0x00}), U'\0');
    // Shift-JIS 発 (0x94 0xAD) read through code page 936 is the GBK character with those bytes.
    EXPECT_EQ(RecordCharacter({0x94, 0xAD}), U'敪');
}

TEST(TableFilesTest, InvalidRecordBytesDecodeToThePlaceholder) {
    EXPECT_EQ(RecordCharacter({0x81, 0x20}), kPlaceholder); // trail byte below 0x40
    EXPECT_EQ(RecordCharacter({0x81, 0x7F}), kPlaceholder);
    EXPECT_EQ(RecordCharacter({0xA1, 0xFF}), kPlaceholder);
    EXPECT_EQ(RecordCharacter({0xD6, 0x00}), kPlaceholder);
    // Positions the code page assigns to private use are characters like any other.
    EXPECT_EQ(RecordCharacter({0xAA, 0xA1}), U'\uE000');
    EXPECT_EQ(CharCodeOf(U'\uE000'), static_cast<CharCode>(0xAAA1));
}

// Over every possible record: its code bytes store back as the same code (a single-byte code
// with its padding cleared), and a record that holds a character has that character's code.
TEST(TableFilesTest, EveryRecordAgreesWithItsCodeBytesAndCharacter) {
    for (unsigned first = 0; first <= 0xFF; ++first) {
        for (unsigned second = 0; second <= 0xFF; ++second) {
            const Record record{static_cast<std::uint8_t>(first),
                                static_cast<std::uint8_t>(second)};
            const Record stored = CodeRecord(CodeBytes(record));
            const Record padded{record.first, 0};
            ASSERT_EQ(stored, IsLeadByte(record.first) ? record : padded) << first << " " << second;
            ASSERT_EQ(RecordCode(stored), RecordCode(record)) << first << " " << second;
            const char32_t character = RecordCharacter(record);
            if (character != kPlaceholder) {
                ASSERT_EQ(CharCodeOf(character), RecordCode(record)) << first << " " << second;
            }
        }
    }
    EXPECT_THROW(CodeRecord(""), std::invalid_argument);
    EXPECT_THROW(CodeRecord("abc"), std::invalid_argument);
}

// An entry of `kanji` kanji for `layout`, every record distinct.
TableEntry SampleEntry(const EntryLayout& layout, std::size_t kanji) {
    TableEntry entry;
    const auto record = [](std::size_t n) {
        return Record{static_cast<std::uint8_t>(0x81 + n / 0xBE),
                      static_cast<std::uint8_t>(0x40 + n % 0xBE)};
    };
    for (std::size_t i = 0; i < (layout.oneKey ? 1 : kanji); ++i) {
        entry.keys.push_back(record(i));
    }
    for (std::size_t i = 0; i < kanji; ++i) {
        entry.japaneseCodes.push_back(record(1000 + i));
        entry.previews.push_back(record(2000 + i));
    }
    return entry;
}

// For every layout, entries of the fewest and the most kanji read back as they were written,
// and each Japanese-code record number points at that record; entries outside the bounds are
// never written.
TEST(TableFilesTest, WrittenEntriesReadBackUnchanged) {
    const testing::TempDirectory directory;
    for (const EntryLayout& layout : {kCandidateEntry, kSurnameEntry, kGivenNameEntry}) {
        SCOPED_TRACE(static_cast<int>(layout.tag));
        std::string bytes;
        std::vector<TableEntry> written;
        for (const std::size_t kanji : {layout.fewest, layout.most}) {
            written.push_back(SampleEntry(layout, kanji));
            AppendEntry(layout, written.back(), bytes);
        }
        EXPECT_THROW(AppendEntry(layout, SampleEntry(layout, layout.fewest - 1), bytes),
                     std::invalid_argument);
        EXPECT_THROW(AppendEntry(layout, SampleEntry(layout, layout.most + 1), bytes),
                     std::invalid_argument);
        const std::filesystem::path path = directory.Path() / "entries.dat";
        testing::WriteFile(path, bytes);
        std::vector<TableEntry> read;
        ForEachEntry(path, std::span(&layout, 1),
                     [&](const EntryLayout& tagged, const TableEntry& entry) {
                         EXPECT_EQ(tagged.tag, layout.tag);
                         read.push_back(entry);
                     });
        ASSERT_EQ(read.size(), written.size());
        for (std::size_t e = 0; e < read.size(); ++e) {
            EXPECT_EQ(read[e].keys, written[e].keys);
            EXPECT_EQ(read[e].japaneseCodes, written[e].japaneseCodes);
            EXPECT_EQ(read[e].previews, written[e].previews);
            for (std::size_t i = 0; i < read[e].japaneseCodes.size(); ++i) {
                const std::size_t at = (read[e].JapaneseCodeRecord(i) - 1) * kRecordBytes;
                EXPECT_EQ(CodeRecord(bytes.substr(at, kRecordBytes)), read[e].japaneseCodes[i]);
            }
        }
    }
}

// The word model: entries of one and of the most characters, spelled nowhere and everywhere,
// read back as written; AppendWordModelEntry refuses what the reader would refuse, and the
// reader refuses each kind of damage a writer cannot make, after the entries before it.
TEST(TableFilesTest, WordModelEntriesReadBackAndDamageIsRefused) {
    const auto key = [](std::size_t n) {
        return Record{0xB0, static_cast<std::uint8_t>(0xA1 + n)};
    };
    WordModelEntry single{{key(0)}, 0, {}};
    WordModelEntry longest{{}, kMostWordCost, {}};
    for (std::size_t i = 0; i < kLongestWord; ++i) {
        longest.keys.push_back(key(i));
        longest.spellings.push_back(
            {static_cast<std::uint8_t>(i), Record{0x88, 0x9F}, Record{0xB0, 0xA1}});
    }
    std::string bytes;
    AppendWordModelEntry(single, bytes);
    AppendWordModelEntry(longest, bytes);
    const testing::TempDirectory directory;
    const auto path = directory.Path() / "model.dat";
    const auto read = [&path](const std::string& stored) {
        testing::WriteFile(path, stored);
        std::vector<WordModelEntry> entries;
        ForEachWordModelEntry(path, [&](const WordModelEntry& entry) { entries.push_back(entry); });
        return entries;
    };
    const auto entries = read(bytes);
    ASSERT_EQ(entries.size(), 2u);
    for (std::size_t e = 0; e < 2; ++e) {
        const auto& written = e == 0 ? single : longest;
        EXPECT_EQ(entries[e].keys, written.keys);
        EXPECT_EQ(entries[e].cost, written.cost);
        EXPECT_EQ(entries[e].spellings, written.spellings);
    }
    EXPECT_EQ(entries[1].header, 4);

    auto unsorted = longest;
    std::swap(unsorted.spellings[0], unsorted.spellings[1]);
    auto pastTheWord = single;
    pastTheWord.spellings.push_back({1, Record{0x88, 0x9F}, Record{0xB0, 0xA1}});
    auto tooLong = longest;
    tooLong.keys.push_back(key(kLongestWord));
    for (const auto& refused : {WordModelEntry{}, WordModelEntry{{key(0)}, kMostWordCost + 1, {}},
                                unsorted, pastTheWord, tooLong}) {
        std::string ignored;
        EXPECT_THROW(AppendWordModelEntry(refused, ignored), std::invalid_argument);
    }

    const std::string single1 = bytes.substr(0, 6); // `01 00`, the cost, the key
    const auto spelling = [](char position) {
        return std::string{'\0', position, '\x88', '\x9F', '\xB0', '\xA1'};
    };
    std::string twoSpellings = single1 + spelling(0) + spelling(1);
    twoSpellings[1] = 2;
    std::string notASpelling = single1 + spelling(0);
    notASpelling[1] = 1;
    notASpelling[6] = 1;
    std::string tooCostly = single1;
    tooCostly[2] = tooCostly[3] = '\xFF';
    for (const std::string& damaged :
         {bytes + single1, bytes.substr(6) + single1, bytes.substr(0, bytes.size() - 2),
          twoSpellings, notASpelling, tooCostly}) {
        std::size_t handedOver = 0;
        testing::WriteFile(path, damaged);
        try {
            ForEachWordModelEntry(path, [&](const WordModelEntry&) { ++handedOver; });
            ADD_FAILURE() << "a damaged word model was read";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Kind(), ErrorNumber::InvalidFileFormat);
        }
        EXPECT_LE(handedOver, 2u);
    }
}

} // namespace
} // namespace pelmora
