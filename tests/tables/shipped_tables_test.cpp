// Checks the tables shipped in data/ against the rules every Pelmora conversion run relies on.
#include "table_test_support.h"

#include <gtest/gtest.h>

#include <unicode/uchar.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace pelmora::table_tests;

namespace {

const Tables& shipped() {
    static const Tables tables = read_tables(PELMORA_DATA_DIR);
    return tables;
}

std::int16_t char_code(const std::string& record) {
    const auto code = record_code(record);
    if (code.size() == 1) {
        return static_cast<std::uint8_t>(code[0]);
    }
    const auto bytes = static_cast<std::uint16_t>(static_cast<std::uint8_t>(code[0]) << 8 |
                                                  static_cast<std::uint8_t>(code[1]));
    return static_cast<std::int16_t>(bytes);
}

std::string gbk(const std::string& utf8) {
    return *StrictConverter("windows-936").encode(from_utf8(utf8));
}

bool is_jis_x0208_lead(std::uint8_t lead) {
    return (lead >= 0x81 && lead <= 0x84) || (lead >= 0x88 && lead <= 0x9F) ||
           (lead >= 0xE0 && lead <= 0xEA);
}

int count_keys_in(const std::map<std::string, std::string>& previews, int lead, int first_trail,
                  int last_trail) {
    int count = 0;
    for (int trail = first_trail; trail <= last_trail; ++trail) {
        const std::string key = {static_cast<char>(lead), static_cast<char>(trail)};
        count += previews.count(key) != 0 ? 1 : 0;
    }
    return count;
}

} // namespace

TEST(ShippedTables, RecordsLineUpAcrossTheThreeFiles) {
    const auto& tables = shipped();
    ASSERT_GT(tables.pin.size(), 0u);
    EXPECT_EQ(tables.pin.size() % 2, 0u);
    EXPECT_EQ(tables.pj.size(), tables.pin.size());
    EXPECT_EQ(tables.jj.size(), tables.pin.size());
}

TEST(ShippedTables, KeysAreUniqueAndAscendBySignedCharCode) {
    const auto& tables = shipped();
    for (std::size_t r = 1; r < tables.record_count(); ++r) {
        const auto previous = Tables::record(tables.pin, r - 1);
        const auto current = Tables::record(tables.pin, r);
        ASSERT_LT(char_code(previous), char_code(current)) << "record " << r + 1;
    }
}

// The code text (pj read through code page 936) must survive the desktop clipboard, and the
// bytes it leaves behind must read as the preview character in Shift-JIS. The one listed
// exception: the katakana middle dot, which code page 936 lacks, is previewed as "·".
TEST(ShippedTables, EveryRecordSurvivesTheClipboardRoundTrip) {
    const auto& tables = shipped();
    const StrictConverter desktop("windows-936");
    const StrictConverter shift_jis("windows-932");
    for (std::size_t r = 0; r < tables.record_count(); ++r) {
        SCOPED_TRACE("record " + std::to_string(r + 1));
        const auto key = record_code(Tables::record(tables.pin, r));
        const auto sjis = record_code(Tables::record(tables.pj, r));
        const auto key_text = desktop.decode(key);
        ASSERT_TRUE(key_text && key_text->size() == 1 && desktop.encode(*key_text) == key);
        const auto code_text = desktop.decode(sjis);
        ASSERT_TRUE(code_text && code_text->size() == 1);
        ASSERT_EQ(desktop.encode(*code_text), sjis);
        const auto japanese = shift_jis.decode(sjis);
        const auto preview = desktop.decode(record_code(Tables::record(tables.jj, r)));
        ASSERT_TRUE(japanese && preview);
        ASSERT_EQ(*japanese == u"\u30FB" ? u"\u00B7" : *japanese, *preview);
        ASSERT_EQ(shift_jis.encode(*japanese), sjis);
    }
}

// Kanji come from JIS X 0208, and, for an ideograph that has no JIS X 0208 counterpart, from
// code page 932's extension rows (lead byte ED-EE or FA-FC, the flag the front ends show);
// signs may also come from NEC row 13 (lead byte 0x87), which Japanese Windows fonts carry.
TEST(ShippedTables, JapaneseCodesAreJisX0208ExtensionKanjiNecRow13OrAscii) {
    const auto& tables = shipped();
    const StrictConverter desktop("windows-936");
    int nec_row13 = 0;
    int extension = 0;
    for (std::size_t r = 0; r < tables.record_count(); ++r) {
        SCOPED_TRACE("record " + std::to_string(r + 1));
        const auto sjis = record_code(Tables::record(tables.pj, r));
        const auto lead = static_cast<std::uint8_t>(sjis[0]);
        const bool ascii = sjis.size() == 1 && ((lead >= 0x21 && lead <= 0x7E) || lead == 0x09);
        const bool jis_x0208 = sjis.size() == 2 && is_jis_x0208_lead(lead);
        const bool nec_sign = sjis.size() == 2 && lead == 0x87;
        const bool extension_kanji =
            sjis.size() == 2 && (lead == 0xED || lead == 0xEE || (lead >= 0xFA && lead <= 0xFC));
        ASSERT_TRUE(ascii || jis_x0208 || nec_sign || extension_kanji);
        if (ascii) {
            ASSERT_EQ(Tables::record(tables.pj, r)[1], '\0');
        }
        if (nec_sign || extension_kanji) {
            const auto key = desktop.decode(record_code(Tables::record(tables.pin, r)));
            ASSERT_TRUE(key && key->size() == 1);
            ASSERT_EQ(u_hasBinaryProperty((*key)[0], UCHAR_IDEOGRAPHIC), extension_kanji);
            nec_row13 += nec_sign ? 1 : 0;
            extension += extension_kanji ? 1 : 0;
        }
    }
    EXPECT_GT(nec_row13, 0);
    EXPECT_GT(extension, 0);
}

TEST(ShippedTables, AsciiAndTabMapToThemselves) {
    const auto& tables = shipped();
    int ascii_keys = 0;
    for (std::size_t r = 0; r < tables.record_count(); ++r) {
        const auto key = Tables::record(tables.pin, r);
        if (static_cast<std::uint8_t>(key[0]) < 0x80) {
            ++ascii_keys;
            EXPECT_EQ(key[1], '\0');
            EXPECT_EQ(Tables::record(tables.pj, r), key);
            EXPECT_EQ(Tables::record(tables.jj, r), key);
        }
    }
    EXPECT_EQ(ascii_keys, 95);
    const auto previews = previews_by_key(tables);
    EXPECT_EQ(previews.count("\t"), 1u);
    for (char c = 0x21; c <= 0x7E; ++c) {
        EXPECT_EQ(previews.count(std::string(1, c)), 1u) << c;
    }
}

// Every sign of GB2312 rows 1-9 whose own character Shift-JIS holds in JIS X 0208 or NEC row
// 13, with a preview in code page 936, maps to that same character.
TEST(ShippedTables, EveryGb2312SignThatShiftJisHoldsMapsToItself) {
    const auto previews = previews_by_key(shipped());
    const StrictConverter desktop("windows-936");
    const StrictConverter shift_jis("windows-932");
    int checked = 0;
    for (int lead = 0xA1; lead <= 0xA9; ++lead) {
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            const std::string key = {static_cast<char>(lead), static_cast<char>(trail)};
            const auto sign = desktop.decode(key);
            if (!sign || sign->size() != 1) {
                continue;
            }
            const auto sjis = shift_jis.encode(*sign);
            if (!sjis || sjis->size() != 2 || !desktop.decode(*sjis)) {
                continue;
            }
            const auto sjis_lead = static_cast<std::uint8_t>((*sjis)[0]);
            if (!is_jis_x0208_lead(sjis_lead) && sjis_lead != 0x87) {
                continue;
            }
            ++checked;
            const auto found = previews.find(key);
            ASSERT_NE(found, previews.end()) << to_utf8(*sign);
            EXPECT_EQ(found->second, to_utf8(*sign));
        }
    }
    EXPECT_GT(checked, 400);
}

TEST(ShippedTables, EverydayCharactersGetTheirJapaneseForm) {
    const auto previews = previews_by_key(shipped());
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"发", "発"}, {"东", "東"}, {"广", "広"}, {"龙", "竜"}, {"刘", "劉"}, {"张", "張"},
        {"艳", "艶"}, {"猪", "猪"}, {"厦", "厦"}, {"邓", "鄧"}, {"琪", "琪"}, {"煜", "煜"},
        {"伟", "偉"}, {"德", "徳"}, {"后", "後"}, {"干", "乾"}, {"国", "国"}, {"國", "国"},
        {"發", "発"}, {"廣", "広"}, {"学", "学"}, {"铁", "鉄"}, {"图", "図"}, {"の", "の"},
        {"ア", "ア"}, {"Ａ", "Ａ"}, {"９", "９"}, {"Ω", "Ω"},   {"ж", "ж"},   {"─", "─"},
        {"、", "、"}, {"ー", "ー"}, {"「", "「"}, {"』", "』"}, {"【", "【"}, {"※", "※"},
        {"→", "→"},   {"○", "○"},   {"●", "●"},   {"☆", "☆"},   {"★", "★"},   {"…", "…"},
        {"～", "～"}, {"—", "―"},   {"·", "·"},   {"≤", "≦"},   {"≈", "≒"},   {"①", "①"},
        {"Ⅳ", "Ⅳ"},   {"№", "№"}};
    for (const auto& [chinese, japanese] : expected) {
        const auto found = previews.find(gbk(chinese));
        ASSERT_NE(found, previews.end()) << chinese;
        EXPECT_EQ(found->second, japanese) << chinese;
    }
}

TEST(ShippedTables, FullWidthSpaceBecomesTheShiftJisFullWidthSpace) {
    const auto& tables = shipped();
    for (std::size_t r = 0; r < tables.record_count(); ++r) {
        if (Tables::record(tables.pin, r) == "\xA1\xA1") {
            EXPECT_EQ(Tables::record(tables.pj, r), "\x81\x40");
            return;
        }
    }
    FAIL() << "no key for the full-width space";
}

TEST(ShippedTables, CoverageReachesTheTargets) {
    const auto previews = previews_by_key(shipped());
    int hanzi = 0;
    for (int lead = 0xB0; lead <= 0xF7; ++lead) {
        hanzi += count_keys_in(previews, lead, 0xA1, 0xFE);
    }
    EXPECT_GE(hanzi, 4900);
    EXPECT_EQ(count_keys_in(previews, 0xA4, 0xA1, 0xF3), 83); // hiragana
    EXPECT_EQ(count_keys_in(previews, 0xA5, 0xA1, 0xF6), 86); // katakana
    EXPECT_EQ(count_keys_in(previews, 0xA3, 0xB0, 0xB9), 10); // digits
    EXPECT_EQ(count_keys_in(previews, 0xA3, 0xC1, 0xDA), 26); // A-Z
    EXPECT_EQ(count_keys_in(previews, 0xA3, 0xE1, 0xFA), 26); // a-z
    EXPECT_EQ(count_keys_in(previews, 0xA6, 0xA1, 0xB8), 24); // Greek
    EXPECT_EQ(count_keys_in(previews, 0xA6, 0xC1, 0xD8), 24); // greek
    EXPECT_EQ(count_keys_in(previews, 0xA7, 0xA1, 0xC1), 33); // Cyrillic
    EXPECT_EQ(count_keys_in(previews, 0xA7, 0xD1, 0xF1), 33); // cyrillic
}

// The game reads the katakana middle dot; the preview shows the look-alike "·" of code page 936.
TEST(ShippedTables, MiddleDotBecomesTheKatakanaMiddleDot) {
    const auto& tables = shipped();
    int katakana_dots = 0;
    for (std::size_t r = 0; r < tables.record_count(); ++r) {
        if (Tables::record(tables.pj, r) == "\x81\x45") {
            ++katakana_dots;
            EXPECT_EQ(Tables::record(tables.pin, r), "\xA1\xA4");
            EXPECT_EQ(Tables::record(tables.jj, r), "\xA1\xA4");
        }
    }
    EXPECT_EQ(katakana_dots, 1);
}
