// Checks the shipped word model (words.dat) and candidate table (candidates.dat) against the
// rules the word-aware run and the candidate menu rely on, over every entry; and the
// builder's blocker rule on a small word list.
#include "table_files.h"
#include "table_test_support.h"

#include <gtest/gtest.h>

#include <unicode/uchar.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace pelmora::table_tests;

namespace {

// One entry of either file: the key records, then the Japanese-code and preview records.
struct Entry {
    std::vector<std::string> keys;
    std::vector<std::string> sjis;
    std::vector<std::string> previews;
};

std::int16_t SignedCode(const std::string& code) {
    if (code.size() == 1) {
        return static_cast<std::uint8_t>(code[0]);
    }
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(
        static_cast<std::uint8_t>(code[0]) << 8 | static_cast<std::uint8_t>(code[1])));
}

// Splits a file of "00 n" entries, each with keyCount key records followed by n Japanese-code
// and n preview records (keyCount 0: n keys). Fails the test on a malformed file.
std::vector<Entry> ReadEntries(const std::string& bytes, bool oneKey) {
    std::vector<Entry> entries;
    EXPECT_EQ(bytes.size() % 2, 0u);
    const std::size_t records = bytes.size() / 2;
    const auto record = [&bytes](std::size_t r) { return MeaningfulBytes(bytes.substr(2 * r, 2)); };
    for (std::size_t r = 0; r < records;) {
        const std::string header = bytes.substr(2 * r, 2);
        EXPECT_EQ(header[0], '\0') << "record " << r + 1;
        const std::size_t n = static_cast<std::uint8_t>(header[1]);
        const std::size_t keyCount = oneKey ? 1 : n;
        if (header[0] != '\0' || n == 0 || r + 1 + keyCount + 2 * n > records) {
            ADD_FAILURE() << "malformed entry at record " << r + 1;
            return entries;
        }
        Entry entry;
        for (std::size_t i = 0; i < keyCount; ++i) {
            entry.keys.push_back(record(r + 1 + i));
        }
        for (std::size_t i = 0; i < n; ++i) {
            entry.sjis.push_back(record(r + 1 + keyCount + i));
            entry.previews.push_back(record(r + 1 + keyCount + n + i));
        }
        entries.push_back(std::move(entry));
        r += 1 + keyCount + 2 * n;
    }
    return entries;
}

const std::vector<Entry>& Candidates() {
    static const auto entries = ReadEntries(ReadFile(PELMORA_DATA_DIR "/candidates.dat"), true);
    return entries;
}

// The Shift-JIS code pj.dat gives each key.
const std::map<std::string, std::string>& PerCharacterCodes() {
    static const auto codes = [] {
        const auto tables = ReadTables(PELMORA_DATA_DIR);
        std::map<std::string, std::string> byKey;
        for (std::size_t r = 0; r < tables.RecordCount(); ++r) {
            byKey[MeaningfulBytes(Tables::Record(tables.pin, r))] =
                MeaningfulBytes(Tables::Record(tables.pj, r));
        }
        return byKey;
    }();
    return codes;
}

bool IsExtension(const std::string& sjis) {
    const auto lead = static_cast<std::uint8_t>(sjis[0]);
    return sjis.size() == 2 && (lead == 0xED || lead == 0xEE || (lead >= 0xFA && lead <= 0xFC));
}

} // namespace

// Every entry of the word model is one the engine reads, its keys are Chinese characters, and
// every character it spells takes a JIS X 0208 kanji that keeps the tables' promise, differs
// from the per-character one and is offered by the key's candidate line.
TEST(WordModel, SpellsOnlyWhatTheCandidateLinesOffer) {
    using namespace pelmora;
    std::map<std::string, std::set<std::string>> offered;
    for (const auto& entry : Candidates()) {
        offered[entry.keys[0]].insert(entry.sjis.begin(), entry.sjis.end());
    }
    const auto& perCharacter = PerCharacterCodes();
    const StrictConverter desktop("windows-936");
    std::size_t entries = 0;
    std::size_t spelled = 0;
    ForEachWordModelEntry(PELMORA_DATA_DIR "/words.dat", [&](const WordModelEntry& entry) {
        ++entries;
        for (const Record key : entry.keys) {
            const auto character = desktop.Decode(CodeBytes(key));
            ASSERT_TRUE(IsLeadByte(key.first) && character && character->size() == 1 &&
                        u_hasBinaryProperty((*character)[0], UCHAR_IDEOGRAPHIC));
        }
        for (const WordSpelling& spelling : entry.spellings) {
            ++spelled;
            const std::string key = CodeBytes(entry.keys[spelling.position]);
            const std::string sjis = CodeBytes(spelling.japaneseCode);
            ASSERT_TRUE(IsJisX0208Kanji(sjis));
            ExpectPairReadsAsPreview(sjis, CodeBytes(spelling.preview));
            ASSERT_NE(perCharacter.at(key), sjis) << "a spelling the per-character run gives";
            ASSERT_EQ(offered[key].count(sjis), 1u) << "a spelling the candidate line lacks";
        }
    });
    EXPECT_GT(entries, 200000u);
    EXPECT_GT(spelled, 5000u);
}

TEST(CandidateTable, EntriesAreWellFormedAscendingAndUnique) {
    const auto& entries = Candidates();
    ASSERT_GT(entries.size(), 100u);
    const StrictConverter desktop("windows-936");
    for (std::size_t e = 0; e < entries.size(); ++e) {
        SCOPED_TRACE("entry " + std::to_string(e + 1));
        const auto& entry = entries[e];
        ASSERT_EQ(entry.keys.size(), 1u);
        const auto key = desktop.Decode(entry.keys[0]);
        ASSERT_TRUE(key && key->size() == 1 && u_hasBinaryProperty((*key)[0], UCHAR_IDEOGRAPHIC));
        if (e > 0) {
            ASSERT_LT(SignedCode(entries[e - 1].keys[0]), SignedCode(entry.keys[0]));
        }
        bool extensionSeen = false;
        for (std::size_t i = 0; i < entry.sjis.size(); ++i) {
            ExpectPairReadsAsPreview(entry.sjis[i], entry.previews[i]);
            ASSERT_TRUE(IsExtension(entry.sjis[i]) || IsJisX0208Kanji(entry.sjis[i]));
            ASSERT_TRUE(IsExtension(entry.sjis[i]) || !extensionSeen)
                << "a JIS X 0208 kanji after an extension kanji";
            extensionSeen = extensionSeen || IsExtension(entry.sjis[i]);
            for (std::size_t j = 0; j < i; ++j) {
                ASSERT_NE(entry.sjis[j], entry.sjis[i]) << "a candidate twice";
            }
        }
        ASSERT_TRUE(entry.sjis.size() > 1 || extensionSeen) << "an entry with one choice";
    }
}

// The per-character default is among a key's candidates (the word model's forms are checked
// above).
TEST(CandidateTable, HoldsTheDefault) {
    std::map<std::string, const Entry*> byKey;
    for (const auto& entry : Candidates()) {
        byKey[entry.keys[0]] = &entry;
    }
    const auto offers = [&byKey](const std::string& key, const std::string& sjis) {
        const auto found = byKey.find(key);
        if (found == byKey.end()) {
            return false;
        }
        const auto& list = found->second->sjis;
        return std::find(list.begin(), list.end(), sjis) != list.end();
    };
    const auto& defaults = PerCharacterCodes();
    int checked = 0;
    for (const auto& [key, entry] : byKey) {
        if (const auto found = defaults.find(key); found != defaults.end()) {
            ++checked;
            EXPECT_TRUE(offers(key, found->second)) << "default missing";
        }
    }
    EXPECT_GT(checked, 100);
}

TEST(CandidateTable, AmbiguousKeysAndNamesGetTheirCandidates) {
    const StrictConverter desktop("windows-936");
    std::map<std::string, std::vector<std::string>> byKey;
    for (const auto& entry : Candidates()) {
        for (const auto& preview : entry.previews) {
            byKey[ToUtf8(*desktop.Decode(entry.keys[0]))].push_back(
                ToUtf8(*desktop.Decode(preview)));
        }
    }
    const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
        {"杰", {"傑", "杰"}},
        {"范", {"範", "范"}},
        {"于", {"于", "於"}},
        {"钟", {"鐘", "鍾"}},
        {"发", {"発", "髪"}},
        {"斗", {"斗", "闘"}},
        {"冲", {"沖", "衝"}},
        {"干", {"干", "幹", "乾"}},
        {"系", {"系", "係", "繋"}},
        {"艳", {"艶", "艷"}},
        {"猪", {"猪", "豬"}},
        {"龙", {"竜", "龍"}},
        {"厦", {"厦", "廈"}},
        {"仿", {"倣", "彷"}},
        {"矿", {"鉱", "礦"}},
        {"预", {"予", "預"}},
        {"琪", {"琪"}},
        {"昕", {"昕"}},
        {"煜", {"煜"}}};
    for (const auto& [key, forms] : expected) {
        const auto& offered = byKey[key];
        for (const auto& form : forms) {
            EXPECT_NE(std::find(offered.begin(), offered.end(), form), offered.end())
                << key << " lacks " << form;
        }
    }
}
