// Checks the shipped word table (words.dat) and candidate table (candidates.dat) against the
// rules the word-aware run and the candidate menu rely on, over every entry; and the
// builder's blocker rule on a small word list.
#include "table_test_support.h"
#include "word_table.h"

#include <gtest/gtest.h>

#include <unicode/uchar.h>

#include <cstdint>
#include <map>
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

std::int16_t signed_code(const std::string& code) {
    if (code.size() == 1) {
        return static_cast<std::uint8_t>(code[0]);
    }
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(
        static_cast<std::uint8_t>(code[0]) << 8 | static_cast<std::uint8_t>(code[1])));
}

std::vector<std::int16_t> signed_codes(const std::vector<std::string>& keys) {
    std::vector<std::int16_t> codes;
    for (const auto& key : keys) {
        codes.push_back(signed_code(key));
    }
    return codes;
}

// Splits a file of "00 n" entries, each with key_count key records followed by n Japanese-code
// and n preview records (key_count 0: n keys). Fails the test on a malformed file.
std::vector<Entry> read_entries(const std::string& bytes, bool one_key) {
    std::vector<Entry> entries;
    EXPECT_EQ(bytes.size() % 2, 0u);
    const std::size_t records = bytes.size() / 2;
    const auto record = [&bytes](std::size_t r) { return record_code(bytes.substr(2 * r, 2)); };
    for (std::size_t r = 0; r < records;) {
        const std::string header = bytes.substr(2 * r, 2);
        EXPECT_EQ(header[0], '\0') << "record " << r + 1;
        const std::size_t n = static_cast<std::uint8_t>(header[1]);
        const std::size_t key_count = one_key ? 1 : n;
        if (header[0] != '\0' || n == 0 || r + 1 + key_count + 2 * n > records) {
            ADD_FAILURE() << "malformed entry at record " << r + 1;
            return entries;
        }
        Entry entry;
        for (std::size_t i = 0; i < key_count; ++i) {
            entry.keys.push_back(record(r + 1 + i));
        }
        for (std::size_t i = 0; i < n; ++i) {
            entry.sjis.push_back(record(r + 1 + key_count + i));
            entry.previews.push_back(record(r + 1 + key_count + n + i));
        }
        entries.push_back(std::move(entry));
        r += 1 + key_count + 2 * n;
    }
    return entries;
}

const std::vector<Entry>& words() {
    static const auto entries = read_entries(read_file(PELMORA_DATA_DIR "/words.dat"), false);
    return entries;
}

const std::vector<Entry>& candidates() {
    static const auto entries = read_entries(read_file(PELMORA_DATA_DIR "/candidates.dat"), true);
    return entries;
}

// The Shift-JIS code pj.dat gives each key.
const std::map<std::string, std::string>& per_character_codes() {
    static const auto codes = [] {
        const auto tables = read_tables(PELMORA_DATA_DIR);
        std::map<std::string, std::string> by_key;
        for (std::size_t r = 0; r < tables.record_count(); ++r) {
            by_key[record_code(Tables::record(tables.pin, r))] =
                record_code(Tables::record(tables.pj, r));
        }
        return by_key;
    }();
    return codes;
}

bool is_extension(const std::string& sjis) {
    const auto lead = static_cast<std::uint8_t>(sjis[0]);
    return sjis.size() == 2 && (lead == 0xED || lead == 0xEE || (lead >= 0xFA && lead <= 0xFC));
}

bool is_jis_x0208_kanji(const std::string& sjis) {
    const auto lead = static_cast<std::uint8_t>(sjis[0]);
    return sjis.size() == 2 && ((lead >= 0x88 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEA));
}

// The code text survives the clipboard and reads in Shift-JIS as the preview character, an
// ideograph.
void expect_pair_reads_as_preview(const std::string& sjis, const std::string& preview) {
    static const StrictConverter desktop("windows-936");
    static const StrictConverter shift_jis("windows-932");
    const auto code_text = desktop.decode(sjis);
    ASSERT_TRUE(code_text && code_text->size() == 1);
    ASSERT_EQ(desktop.encode(*code_text), sjis);
    const auto japanese = shift_jis.decode(sjis);
    const auto shown = desktop.decode(preview);
    ASSERT_TRUE(japanese && shown && japanese->size() == 1);
    ASSERT_EQ(*japanese, *shown);
    ASSERT_EQ(shift_jis.encode(*japanese), sjis);
    ASSERT_TRUE(u_hasBinaryProperty((*japanese)[0], UCHAR_IDEOGRAPHIC));
}

bool differs_from_per_character(const Entry& word) {
    const auto& codes = per_character_codes();
    for (std::size_t i = 0; i < word.keys.size(); ++i) {
        const auto found = codes.find(word.keys[i]);
        if (found == codes.end() || found->second != word.sjis[i]) {
            return true;
        }
    }
    return false;
}

bool starts_with(const std::vector<std::string>& text, std::size_t at,
                 const std::vector<std::string>& word) {
    for (std::size_t i = 0; i < word.size() && at + i < text.size(); ++i) {
        if (text[at + i] != word[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST(WordTable, EntriesAreWellFormedSortedAndUnique) {
    const auto& entries = words();
    ASSERT_GT(entries.size(), 1000u);
    const StrictConverter desktop("windows-936");
    for (std::size_t e = 0; e < entries.size(); ++e) {
        SCOPED_TRACE("entry " + std::to_string(e + 1));
        const auto& keys = entries[e].keys;
        ASSERT_GE(keys.size(), 2u);
        ASSERT_LE(keys.size(), 16u);
        for (const auto& key : keys) {
            const auto character = desktop.decode(key);
            ASSERT_TRUE(key.size() == 2 && character && character->size() == 1);
            ASSERT_TRUE(u_hasBinaryProperty((*character)[0], UCHAR_IDEOGRAPHIC));
        }
        if (e > 0) {
            ASSERT_LT(signed_codes(entries[e - 1].keys), signed_codes(keys));
        }
    }
}

TEST(WordTable, EveryCharacterPairReadsAsItsPreview) {
    for (const auto& word : words()) {
        for (std::size_t i = 0; i < word.keys.size(); ++i) {
            ASSERT_TRUE(is_jis_x0208_kanji(word.sjis[i]));
            expect_pair_reads_as_preview(word.sjis[i], word.previews[i]);
        }
    }
}

// A word that converts like the per-character tables is only there to block: another word of
// the table, shorter at the same start or starting later inside it, would match without it.
TEST(WordTable, EveryWordDiffersFromPerCharacterOrBlocksAnother) {
    const auto& entries = words();
    int blockers = 0;
    for (const auto& word : entries) {
        if (differs_from_per_character(word)) {
            continue;
        }
        ++blockers;
        bool blocks = false;
        for (std::size_t at = 0; at < word.keys.size() && !blocks; ++at) {
            for (const auto& other : entries) {
                const bool inside = at > 0 || other.keys.size() < word.keys.size();
                if (inside && starts_with(word.keys, at, other.keys)) {
                    blocks = true;
                    break;
                }
            }
        }
        EXPECT_TRUE(blocks) << "a word of " << word.keys.size() << " characters blocks nothing";
    }
    EXPECT_GT(blockers, 0);
    EXPECT_LT(blockers * 5, static_cast<int>(entries.size()));
}

TEST(CandidateTable, EntriesAreWellFormedAscendingAndUnique) {
    const auto& entries = candidates();
    ASSERT_GT(entries.size(), 100u);
    const StrictConverter desktop("windows-936");
    for (std::size_t e = 0; e < entries.size(); ++e) {
        SCOPED_TRACE("entry " + std::to_string(e + 1));
        const auto& entry = entries[e];
        ASSERT_EQ(entry.keys.size(), 1u);
        const auto key = desktop.decode(entry.keys[0]);
        ASSERT_TRUE(key && key->size() == 1 && u_hasBinaryProperty((*key)[0], UCHAR_IDEOGRAPHIC));
        if (e > 0) {
            ASSERT_LT(signed_code(entries[e - 1].keys[0]), signed_code(entry.keys[0]));
        }
        bool extension_seen = false;
        for (std::size_t i = 0; i < entry.sjis.size(); ++i) {
            expect_pair_reads_as_preview(entry.sjis[i], entry.previews[i]);
            ASSERT_TRUE(is_extension(entry.sjis[i]) || is_jis_x0208_kanji(entry.sjis[i]));
            ASSERT_TRUE(is_extension(entry.sjis[i]) || !extension_seen)
                << "a JIS X 0208 kanji after an extension kanji";
            extension_seen = extension_seen || is_extension(entry.sjis[i]);
            for (std::size_t j = 0; j < i; ++j) {
                ASSERT_NE(entry.sjis[j], entry.sjis[i]) << "a candidate twice";
            }
        }
        ASSERT_TRUE(entry.sjis.size() > 1 || extension_seen) << "an entry with one choice";
    }
}

// The per-character default is among a key's candidates, and so is every form a word of the
// word table gives a key otherwise.
TEST(CandidateTable, HoldsTheDefaultAndEveryWordForm) {
    std::map<std::string, const Entry*> by_key;
    for (const auto& entry : candidates()) {
        by_key[entry.keys[0]] = &entry;
    }
    const auto offers = [&by_key](const std::string& key, const std::string& sjis) {
        const auto found = by_key.find(key);
        if (found == by_key.end()) {
            return false;
        }
        const auto& list = found->second->sjis;
        return std::find(list.begin(), list.end(), sjis) != list.end();
    };
    const auto& defaults = per_character_codes();
    int checked = 0;
    for (const auto& [key, entry] : by_key) {
        if (const auto found = defaults.find(key); found != defaults.end()) {
            ++checked;
            EXPECT_TRUE(offers(key, found->second)) << "default missing";
        }
    }
    EXPECT_GT(checked, 100);
    for (const auto& word : words()) {
        for (std::size_t i = 0; i < word.keys.size(); ++i) {
            const auto found = defaults.find(word.keys[i]);
            if (found != defaults.end() && found->second != word.sjis[i]) {
                EXPECT_TRUE(offers(word.keys[i], word.sjis[i])) << "word form missing";
            }
        }
    }
}

TEST(CandidateTable, AmbiguousKeysAndNamesGetTheirCandidates) {
    const StrictConverter desktop("windows-936");
    std::map<std::string, std::vector<std::string>> by_key;
    for (const auto& entry : candidates()) {
        for (const auto& preview : entry.previews) {
            by_key[to_utf8(*desktop.decode(entry.keys[0]))].push_back(
                to_utf8(*desktop.decode(preview)));
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
        {"琪", {"琪"}},
        {"昕", {"昕"}},
        {"煜", {"煜"}}};
    for (const auto& [key, forms] : expected) {
        const auto& offered = by_key[key];
        for (const auto& form : forms) {
            EXPECT_NE(std::find(offered.begin(), offered.end(), form), offered.end())
                << key << " lacks " << form;
        }
    }
}

// ABC converts like the per-character tables and is dropped; BC is kept. Alone, "ABC" would
// then take BC, so ABC must come back as a blocker.
TEST(WordTableBuilder, KeepsALongerWordThatBlocksAShorterOne) {
    using namespace pelmora::tables;
    const PerCharacter per_char = {
        {U'甲', {U'甲', "a", "a"}}, {U'乙', {U'乙', "b", "b"}}, {U'丙', {U'丙', "c", "c"}}};
    const JapaneseCode x{U'丁', "x", "x"};
    const JapaneseCode y{U'戊', "y", "y"};
    WordDictionary full;
    full[{U'甲', U'乙', U'丙'}] = {{U'甲', U'乙', U'丙'},
                                   {},
                                   {per_char.at(U'甲'), per_char.at(U'乙'), per_char.at(U'丙')},
                                   false};
    full[{U'乙', U'丙'}] = {{U'乙', U'丙'}, {}, {x, y}, false};
    full[{U'乙', U'甲'}] = {{U'乙', U'甲'}, {}, {per_char.at(U'乙'), per_char.at(U'甲')}, false};
    const std::vector<Phrase> phrases = {
        {{U'甲', U'乙', U'丙'}, {}}, {{U'乙', U'丙'}, {}}, {{U'乙', U'甲'}, {}}};
    WordCounts counts;
    const auto kept = reduced_word_table(phrases, full, per_char, counts);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(counts.differing, 1);
    EXPECT_EQ(counts.blockers, 1);
    EXPECT_EQ(counts.blocked_inputs_before, 1);
    for (const auto& word : kept) {
        EXPECT_EQ(word.blocker, word.simplified.size() == 3);
    }
    EXPECT_EQ(convert_by_words({U'甲', U'乙', U'丙', U'乙', U'丙'}, full, per_char),
              (std::vector<UChar32>{U'甲', U'乙', U'丙', U'丁', U'戊'}));
}
