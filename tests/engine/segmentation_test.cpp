#include "segmentation.h"

#include "table_fixture.h"
#include "word_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>
#include <random>
#include <set>

namespace pelmora {
namespace {

using testing::Gbk;
using testing::TempDirectory;
using testing::WordModelEntryBytes;
using testing::WriteFile;

using Codes = std::vector<CharCode>;

const std::vector<std::string> kAlphabet = {"东", "发", "中", "国", "人"};

// A random word model over the alphabet: up to 30 key sequences of one to four characters,
// random costs, keys sorted as the file sorts them.
std::map<std::vector<CharCode>, std::uint16_t> RandomModel(std::mt19937& random) {
    std::map<std::vector<CharCode>, std::uint16_t> entries;
    for (int i = 0, n = static_cast<int>(random() % 30); i < n; ++i) {
        std::vector<CharCode> keys;
        for (std::size_t k = 0, length = 1 + random() % 4; k < length; ++k) {
            keys.push_back(*CharCodeOf(DecodeUtf8(kAlphabet[random() % kAlphabet.size()])[0]));
        }
        entries[keys] = static_cast<std::uint16_t>(random() % (kMostWordCost + 1));
    }
    return entries;
}

std::string ModelBytes(const std::map<std::vector<CharCode>, std::uint16_t>& entries) {
    std::string bytes;
    for (const auto& [keys, cost] : entries) {
        std::vector<std::string> records;
        for (const CharCode key : keys) {
            const auto code = static_cast<std::uint16_t>(key);
            records.push_back({static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)});
        }
        // Every third entry spells its first character 髪, which any key may take here.
        bytes += cost % 3 == 0 ? WordModelEntryBytes(records, cost, {{0, "\x94\xAF", Gbk("髪")}})
                               : WordModelEntryBytes(records, cost);
    }
    return bytes;
}

bool BeginsWith(const Codes& text, std::size_t at, const std::vector<CharCode>& keys) {
    return keys.size() <= text.size() - at &&
           std::equal(keys.begin(), keys.end(), text.begin() + static_cast<std::ptrdiff_t>(at),
                      [](CharCode key, CharCode code) { return code == key; });
}

// The cheapest way through `text` from `at`, trying every segmentation.
std::int64_t CheapestByTrying(const std::map<std::vector<CharCode>, std::uint16_t>& entries,
                              const Codes& text, std::size_t at) {
    if (at == text.size()) {
        return 0;
    }
    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    bool coveredAlone = false;
    for (const auto& [keys, cost] : entries) {
        if (BeginsWith(text, at, keys)) {
            coveredAlone = coveredAlone || keys.size() == 1;
            best = std::min(best, cost + CheapestByTrying(entries, text, at + keys.size()));
        }
    }
    if (!coveredAlone) {
        best = std::min(best, kUnknownCharacterCost + CheapestByTrying(entries, text, at + 1));
    }
    return best;
}

// Over random models and texts: the entries found at each place are exactly those whose keys
// begin the text there, and the best path covers the text with such entries (or characters
// no one-character entry covers) at the least cost any segmentation has.
TEST(SegmentationTest, TheBestPathIsTheCheapestOfAllSegmentations) {
    std::mt19937 random(21);
    TempDirectory dir;
    Segmentation segmentation;
    for (int round = 0; round < 300; ++round) {
        const auto entries = RandomModel(random);
        WriteFile(dir.Path() / "words.dat", ModelBytes(entries));
        const WordModel model = WordModel::Load(dir.Path() / "words.dat");
        const StoredWordModel& stored = model.Stored();
        Codes text;
        for (std::size_t i = 0, n = random() % 12; i < n; ++i) {
            text.push_back(*CharCodeOf(DecodeUtf8(kAlphabet[random() % kAlphabet.size()])[0]));
        }
        for (std::size_t at = 0; at < text.size(); ++at) {
            std::set<std::vector<CharCode>> found;
            model.ForEachEntryAt(std::span(text).subspan(at), [&](const WordModel::Found& entryAt) {
                const std::size_t entry = entryAt.entry;
                EXPECT_EQ(entryAt.length, stored.Length(entry));
                EXPECT_EQ(entryAt.cost, stored.Cost(entry));
                EXPECT_EQ(entryAt.spelled, stored.SpellingCount(entry) > 0);
                std::vector<CharCode> keys;
                for (std::size_t i = 0; i < stored.Length(entry); ++i) {
                    keys.push_back(stored.Key(entry, i));
                }
                found.insert(keys);
            });
            std::set<std::vector<CharCode>> expected;
            for (const auto& [keys, cost] : entries) {
                if (BeginsWith(text, at, keys)) {
                    expected.insert(keys);
                }
            }
            ASSERT_EQ(found, expected) << "round " << round << " at " << at;
        }
        segmentation.Segment(model, text);
        std::int64_t cost = 0;
        std::size_t covered = 0;
        for (const Segmentation::Word& word : segmentation.Words()) {
            ASSERT_EQ(word.start, covered);
            if (word.entry) {
                ASSERT_EQ(stored.Length(*word.entry), word.length);
                for (std::size_t i = 0; i < word.length; ++i) {
                    ASSERT_EQ(text[word.start + i], stored.Key(*word.entry, i));
                }
                cost += stored.Cost(*word.entry);
            } else {
                ASSERT_EQ(word.length, 1u);
                ASSERT_FALSE(entries.contains(std::vector<CharCode>{text[word.start]}));
                cost += kUnknownCharacterCost;
            }
            covered += word.length;
        }
        ASSERT_EQ(covered, text.size());
        ASSERT_EQ(cost, CheapestByTrying(entries, text, 0)) << "round " << round;
    }
}

} // namespace
} // namespace pelmora
