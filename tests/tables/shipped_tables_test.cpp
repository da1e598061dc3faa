// Checks the tables shipped in data/ against the rules every Pelmora conversion run relies on.
#include "table_test_support.h"

#include <gtest/gtest.h>

#include <unicode/uchar.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace pelmora::table_tests;

namespace {

const Tables& Shipped() {
    static const Tables tables = ReadTables(PELMORA_DATA_DIR);
    return tables;
}

std::int16_t KeyCharCode(const std::string& record) {
    const auto code = MeaningfulBytes(record);
    if (code.size() == 1) {
        return static_cast<std::uint8_t>(code[0]);
    }
    const auto bytes = static_cast<std::uint16_t>(static_cast<std::uint8_t>(code[0]) << 8 |
                                                  static_cast<std::uint8_t>(code[1]));
    return static_cast<std::int16_t>(bytes);
}

std::string Gbk(const std::string& utf8) {
    return *StrictConverter("windows-936").Encode(FromUtf8(utf8));
}

bool IsJisX0208Lead(std::uint8_t lead) {
    return (lead >= 0x81 && lead <= 0x84) || (lead >= 0x88 && lead <= 0x9F) ||
           (lead >= 0xE0 && lead <= 0xEA);
}

int CountKeysIn(const std::map<std::string, std::string>& previews, int lead, int firstTrail,
                int lastTrail) {
    int count = 0;
    for (int trail = firstTrail; trail <= lastTrail; ++trail) {
        const std::string key = {static_cast<char>(lead), static_cast<char>(trail)};
        count += previews.count(key) != 0 ? 1 : 0;
    }
    return count;
}

} // namespace

TEST(ShippedTables, RecordsLineUpAcrossTheThreeFiles) {
    const auto& tables = Shipped();
    ASSERT_GT(tables.pin.size(), 0u);
    EXPECT_EQ(tables.pin.size() % 2, 0u);
    EXPECT_EQ(tables.pj.size(), tables.pin.size());
    EXPECT_EQ(tables.jj.size(), tables.pin.size());
}

TEST(ShippedTables, KeysAreUniqueAndAscendBySignedCharCode) {
    const auto& tables = Shipped();
    for (std::size_t r = 1; r < tables.RecordCount(); ++r) {
        const auto previous = Tables::Record(tables.pin, r - 1);
        const auto current = Tables::Record(tables.pin, r);
        ASSERT_LT(KeyCharCode(previous), KeyCharCode(current)) << "record " << r + 1;
    }
}

// The code text (pj read through code page 936) must survive the desktop clipboard, and the
// bytes it leaves behind must read as the preview character in Shift-JIS. The one listed
// exception: the katakana middle dot, which code page 936 lacks, is previewed as "·".
TEST(ShippedTables, EveryRecordSurvivesTheClipboardRoundTrip) {
    const auto& tables = Shipped();
    const StrictConverter desktop("windows-936");
    const StrictConverter shiftJis("windows-932");
    for (std::size_t r = 0; r < tables.RecordCount(); ++r) {
        SCOPED_TRACE("record " + std::to_string(r + 1));
        const auto key = MeaningfulBytes(Tables::Record(tables.pin, r));
        const auto sjis = MeaningfulBytes(Tables::Record(tables.pj, r));
        const auto keyText = desktop.Decode(key);
        ASSERT_TRUE(keyText && keyText->size() == 1 && desktop.Encode(*keyText) == key);
        const auto codeText = desktop.Decode(sjis);
        ASSERT_TRUE(codeText && codeText->size() == 1);
        ASSERT_EQ(desktop.Encode(*codeText), sjis);
        const auto japanese = shiftJis.Decode(sjis);
        const auto preview = desktop.Decode(MeaningfulBytes(Tables::Record(tables.jj, r)));
        ASSERT_TRUE(japanese && preview);
        ASSERT_EQ(*japanese == u"\u30FB" ? u"\u00B7" : *japanese, *preview);
        ASSERT_EQ(shiftJis.Encode(*japanese), sjis);
    }
}

// Kanji come from JIS X 0208, and, for an ideograph that has no JIS X 0208 counterpart, from
// code page 932's extension rows (lead byte ED-EE or FA-FC, the flag the front ends show);
// signs may also come from NEC row 13 (lead byte 0x87), which Japanese Windows fonts carry.
TEST(ShippedTables, JapaneseCodesAreJisX0208ExtensionKanjiNecRow13OrAscii) {
    const auto& tables = Shipped();
    const StrictConverter desktop("windows-936");
    int necRow13 = 0;
    int extension = 0;
    for (std::size_t r = 0; r < tables.RecordCount(); ++r) {
        SCOPED_TRACE("record " + std::to_string(r + 1));
        const auto sjis = MeaningfulBytes(Tables::Record(tables.pj, r));
        const auto lead = static_cast<std::uint8_t>(sjis[0]);
        const bool ascii = sjis.size() == 1 && ((lead >= 0x21 && lead <= 0x7E) || lead == 0x09);
        const bool jisX0208 = sjis.size() == 2 && IsJisX0208Lead(lead);
        const bool necSign = sjis.size() == 2 && lead == 0x87;
        const bool ExtensionKanji =
            sjis.size() == 2 && (lead == 0xED || lead == 0xEE || (lead >= 0xFA && lead <= 0xFC));
        ASSERT_TRUE(ascii || jisX0208 || necSign || ExtensionKanji);
        if (ascii) {
            ASSERT_EQ(Tables::Record(tables.pj, r)[1], '\0');
        }
        if (necSign || ExtensionKanji) {
            const auto key = desktop.Decode(MeaningfulBytes(Tables::Record(tables.pin, r)));
            ASSERT_TRUE(key && key->size() == 1);
            ASSERT_EQ(u_hasBinaryProperty((*key)[0], UCHAR_IDEOGRAPHIC), ExtensionKanji);
            necRow13 += necSign ? 1 : 0;
            extension += ExtensionKanji ? 1 : 0;
        }
    }
    EXPECT_GT(necRow13, 0);
    EXPECT_GT(extension, 0);
}

TEST(ShippedTables, AsciiAndTabMapToThemselves) {
    const auto& tables = Shipped();
    int asciiKeys = 0;
    for (std::size_t r = 0; r < tables.RecordCount(); ++r) {
        const auto key = Tables::Record(tables.pin, r);
        if (static_cast<std::uint8_t>(key[0]) < 0x80) {
            ++asciiKeys;
            EXPECT_EQ(key[1], '\0');
            EXPECT_EQ(Tables::Record(tables.pj, r), key);
            EXPECT_EQ(Tables::Record(tables.jj, r), key);
        }
    }
    EXPECT_EQ(asciiKeys, 95);
    const auto previews = PreviewsByKey(tables);
    EXPECT_EQ(previews.count("\t"), 1u);
    for (char c = 0x21; c <= 0x7E; ++c) {
        EXPECT_EQ(previews.count(std::string(1, c)), 1u) << c;
    }
}

// Every sign of GB2312 rows 1-9 whose own character Shift-JIS holds in JIS X 0208 or NEC row
// 13, with a preview in code page 936, maps to that same character.
TEST(ShippedTables, EveryGb2312SignThatShiftJisHoldsMapsToItself) {
    const auto previews = PreviewsByKey(Shipped());
    const StrictConverter desktop("windows-936");
    const StrictConverter shiftJis("windows-932");
    int checked = 0;
    for (int lead = 0xA1; lead <= 0xA9; ++lead) {
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            const std::string key = {static_cast<char>(lead), static_cast<char>(trail)};
            const auto sign = desktop.Decode(key);
            if (!sign || sign->size() != 1) {
                continue;
            }
            const auto sjis = shiftJis.Encode(*sign);
            if (!sjis || sjis->size() != 2 || !desktop.Decode(*sjis)) {
                continue;
            }
            const auto sjisLead = static_cast<std::uint8_t>((*sjis)[0]);
            if (!IsJisX0208Lead(sjisLead) && sjisLead != 0x87) {
                continue;
            }
            ++checked;
            const auto found = previews.find(key);
            ASSERT_NE(found, previews.end()) << ToUtf8(*sign);
            EXPECT_EQ(found->second, ToUtf8(*sign));
        }
    }
    EXPECT_GT(checked, 400);
}

TEST(ShippedTables, EverydayCharactersGetTheirJapaneseForm) {
    const auto previews = PreviewsByKey(Shipped());
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"发", "発"}, {"东", "東"}, {"广", "広"}, {"龙", "竜"}, {"刘", "劉"}, {"张", "張"},
        {"艳", "艶"}, {"猪", "猪"}, {"厦", "厦"}, {"邓", "鄧"}, {"琪", "琪"}, {"煜", "煜"},
        {"伟", "偉"}, {"德", "徳"}, {"后", "後"}, {"干", "乾"}, {"国", "国"}, {"國", "国"},
        {"發", "発"}, {"廣", "広"}, {"学", "学"}, {"铁", "鉄"}, {"图", "図"}, {"の", "の"},
        {"ア", "ア"}, {"Ａ", "Ａ"}, {"９", "９"}, {"Ω", "Ω"},   {"ж", "ж"},   {"─", "─"},
        {"、", "、"}, {"ー", "ー"}, {"「", "「"}, {"』", "』"}, {"【", "【"}, {"※", "※"},
        {"→", "→"},   {"○", "○"},   {"●", "●"},   {"☆", "☆"},   {"★", "★"},   {"…", "…"},
        {"～", "～"}, {"—", "―"},   {"·", "·"},   {"≤", "≦"},   {"≈", "≒"},   {"①", "①"},
        {"Ⅳ", "Ⅳ"},   {"№", "№"},   {"躲", "躱"}, {"俞", "兪"}, {"闫", "閻"}, {"攒", "攅"},
        {"惧", "惧"}};
    for (const auto& [chinese, japanese] : expected) {
        const auto found = previews.find(Gbk(chinese));
        ASSERT_NE(found, previews.end()) << chinese;
        EXPECT_EQ(found->second, japanese) << chinese;
    }
    // A semantic link to another character makes no default: the game shows □, not 煬, 他, 坏.
    for (const char* chinese : {"烊", "她", "坯"}) {
        EXPECT_EQ(previews.count(Gbk(chinese)), 0u) << chinese;
    }
}

TEST(ShippedTables, FullWidthSpaceBecomesTheShiftJisFullWidthSpace) {
    const auto& tables = Shipped();
    for (std::size_t r = 0; r < tables.RecordCount(); ++r) {
        if (Tables::Record(tables.pin, r) == "\xA1\xA1") {
            EXPECT_EQ(Tables::Record(tables.pj, r), "\x81\x40");
            return;
        }
    }
    FAIL() << "no key for the full-width space";
}

TEST(ShippedTables, CoverageReachesTheTargets) {
    const auto previews = PreviewsByKey(Shipped());
    int hanzi = 0;
    for (int lead = 0xB0; lead <= 0xF7; ++lead) {
        hanzi += CountKeysIn(previews, lead, 0xA1, 0xFE);
    }
    EXPECT_GE(hanzi, 4900);
    EXPECT_EQ(CountKeysIn(previews, 0xA4, 0xA1, 0xF3), 83); // hiragana
    EXPECT_EQ(CountKeysIn(previews, 0xA5, 0xA1, 0xF6), 86); // katakana
    EXPECT_EQ(CountKeysIn(previews, 0xA3, 0xB0, 0xB9), 10); // digits
    EXPECT_EQ(CountKeysIn(previews, 0xA3, 0xC1, 0xDA), 26); // A-Z
    EXPECT_EQ(CountKeysIn(previews, 0xA3, 0xE1, 0xFA), 26); // a-z
    EXPECT_EQ(CountKeysIn(previews, 0xA6, 0xA1, 0xB8), 24); // Greek
    EXPECT_EQ(CountKeysIn(previews, 0xA6, 0xC1, 0xD8), 24); // greek
    EXPECT_EQ(CountKeysIn(previews, 0xA7, 0xA1, 0xC1), 33); // Cyrillic
    EXPECT_EQ(CountKeysIn(previews, 0xA7, 0xD1, 0xF1), 33); // cyrillic
}

// The game reads the katakana middle dot; the preview shows the look-alike "·" of code page 936.
TEST(ShippedTables, MiddleDotBecomesTheKatakanaMiddleDot) {
    const auto& tables = Shipped();
    int katakanaDots = 0;
    for (std::size_t r = 0; r < tables.RecordCount(); ++r) {
        if (Tables::Record(tables.pj, r) == "\x81\x45") {
            ++katakanaDots;
            EXPECT_EQ(Tables::Record(tables.pin, r), "\xA1\xA4");
            EXPECT_EQ(Tables::Record(tables.jj, r), "\xA1\xA4");
        }
    }
    EXPECT_EQ(katakanaDots, 1);
}
