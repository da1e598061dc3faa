#include "reverse_run.h"

#include "code_page.h"
#include "kanji_choice.h"
#include "shift_jis.h"
#include "string_text.h"
#include "table_fixture.h"
#include "utf8.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

using testing::CandidateEntryBytes;
using testing::Gbk;
using testing::KeepingSink;
using testing::RecordingReport;
using testing::StringSource;
using testing::TempDirectory;
using testing::WriteFile;
using testing::WriteTables;

// A source that gives its text one character per piece, so that every byte pair that straddles
// two code text characters straddles two pieces as well.
class CharacterPieces final : public TextSource {
public:
    explicit CharacterPieces(std::string text) : m_text(std::move(text)) {}
    std::string_view NextPiece() override {
        const std::size_t start = m_at;
        if (m_at < m_text.size()) {
            NextCodePoint(m_text, m_at);
        }
        return std::string_view(m_text).substr(start, m_at - start);
    }

private:
    std::string m_text;
    std::size_t m_at = 0;
};

struct ReadBack {
    std::u32string japanese;
    std::u32string chinese;
    std::u32string codeText;
    std::u32string preview;
    std::uint64_t notShiftJis = 0;
};

class ReverseRunTest : public ::testing::TestWithParam<TableReading> {
protected:
    // Keys that share a kanji, one pair for each rule of the inverse's rank: 东 (GB2312) and
    // 東 (only in code page 936) both give 東; 发 gives 発 and has 髪 as a candidate, which 髪
    // (only in code page 936) gives; 后 (first level) and 後 (second level) give 後; 七 and 柒
    // give 七, which is also a candidate of 后.
    void SetUp() override {
        WriteTables(m_dir.Path(), {
                                      {Gbk("東"), "\x93\x8C", Gbk("東")},
                                      {Gbk("东"), "\x93\x8C", Gbk("東")},
                                      {Gbk("发"), "\x94\xAD", Gbk("発")},
                                      {Gbk("后"), "\x8C\xE3", Gbk("後")},
                                      {Gbk("七"), "\x8E\xB5", Gbk("七")},
                                      {Gbk("柒"), "\x8E\xB5", Gbk("七")},
                                      {Gbk("後"), "\x8C\xE3", Gbk("後")},
                                      {Gbk("髪"), "\x94\xAF", Gbk("髪")},
                                  });
        WriteFile(
            m_dir.Path() / kCandidateTableName,
            CandidateEntryBytes(Gbk("发"), {"\x94\xAD", "\x94\xAF"}, {Gbk("発"), Gbk("髪")}) +
                CandidateEntryBytes(Gbk("后"), {"\x8C\xE3", "\x8E\xB5"}, {Gbk("後"), Gbk("七")}));
    }

    ReadBack Run(GameText kind, TextSource& input) {
        KeepingSink japanese, chinese, codeText, preview;
        ReadBack result;
        result.notShiftJis = ReadBackText(kind, input, {&japanese, &chinese, &codeText, &preview},
                                          {m_dir.Path(), GetParam()}, m_report);
        result.japanese = DecodeUtf8(japanese.Utf8());
        result.chinese = DecodeUtf8(chinese.Utf8());
        result.codeText = DecodeUtf8(codeText.Utf8());
        result.preview = DecodeUtf8(preview.Utf8());
        return result;
    }
    ReadBack Run(GameText kind, const std::u32string& text) {
        StringSource input(EncodeUtf8(text));
        return Run(kind, input);
    }

    TempDirectory m_dir;
    RecordingReport m_report;
};

TEST_P(ReverseRunTest, EachKanjiGoesBackToTheKeyTheRankPicks) {
    const ReadBack read = Run(GameText::JapaneseText, U"東発髪後七ア、A\r\n");
    EXPECT_EQ(read.chinese, U"东发发后七ア、A\r\n")
        << "GB2312 first, a default before a candidate, the first level before the second, "
           "the key that is the kanji itself; kana and signs no key gives stay";
    EXPECT_EQ(read.japanese, U"東発髪後七ア、A\r\n");
    EXPECT_EQ(read.notShiftJis, 0u);
    EXPECT_TRUE(m_report.Entries().empty());
}

// Every Shift-JIS character, written as its bytes and shown through code page 936 the way a
// Chinese desktop shows a Japanese program's text, reads back as itself: whole, a code text
// character at a time, and from the bytes decoded a byte at a time. Half-width katakana put
// before every other pair make those pairs straddle two code text characters.
TEST_P(ReverseRunTest, GarbledTextReadsBackWholeOrSplitAtEveryCharacterAndByte) {
    std::u32string japanese;
    for (unsigned code = 0; code <= 0xFFFF; ++code) {
        const std::optional<char32_t> character =
            ShiftJisCharacter(static_cast<std::uint16_t>(code));
        if (!character) {
            continue;
        }
        ASSERT_EQ(ShiftJisCode(*character).has_value(), true);
        ASSERT_EQ(ShiftJisCharacter(*ShiftJisCode(*character)), character) << code;
        if (code > 0xFF && japanese.size() % 2 == 0) {
            japanese += U'ｱ';
        }
        japanese += *character;
    }
    ASSERT_GT(japanese.size(), 11000u);
    std::string bytes;
    for (const char32_t character : japanese) {
        const std::uint16_t code = *ShiftJisCode(character);
        if (code > 0xFF) {
            bytes += static_cast<char>(code >> 8);
        }
        bytes += static_cast<char>(code & 0xFF);
    }
    const std::string codeText = testing::DecodeToUtf8(bytes, TextEncoding::Gbk);
    ASSERT_EQ(DecodeUtf8(codeText).find(kReplacementCharacter), std::u32string::npos)
        << "code page 936 shows all of these bytes";

    StringSource whole(codeText);
    CharacterPieces pieces(codeText);
    StreamDecoder byByte(TextEncoding::ShiftJis, BadBytes::Replace);
    std::string decoded;
    for (const char byte : bytes) {
        byByte.Decode(std::string_view(&byte, 1), decoded);
    }
    byByte.Finish(decoded);
    StringSource fromBytes(decoded);
    for (const auto& [kind, input] : {std::pair<GameText, TextSource*>{GameText::CodeText, &whole},
                                      {GameText::CodeText, &pieces},
                                      {GameText::JapaneseText, &fromBytes}}) {
        const ReadBack read = Run(kind, *input);
        ASSERT_EQ(read.japanese, japanese);
        EXPECT_EQ(read.notShiftJis, 0u);
    }
    EXPECT_TRUE(m_report.Entries().empty());
}

// Bytes no Shift-JIS character begins or ends with, code text that code page 936 cannot hold and
// Japanese text that Shift-JIS lacks: each place one "□" in both texts, and counted. The code
// text and preview of Japanese text are what a conversion would show: a half-width katakana's
// one byte cannot stand alone in the code text, so both show a miss there.
TEST_P(ReverseRunTest, WhatIsNotShiftJisIsABoxAndCounted) {
    const auto codeTextOf = [](const std::string& gbk) {
        return DecodeUtf8(testing::DecodeToUtf8(gbk, TextEncoding::Gbk));
    };
    // 85 40: a row code page 932 leaves empty; A0 and A0: no character; a lead byte at the end.
    const std::u32string garbled = codeTextOf("\x85\x40"
                                              "A\xA0\xA0") +
                                   U"😀" + codeTextOf("\x94\xAD\xB1\x81");
    const ReadBack code = Run(GameText::CodeText, garbled);
    EXPECT_EQ(code.japanese, U"□A□□□発ｱ□");
    EXPECT_EQ(code.chinese, U"□A□□□发ｱ□");
    EXPECT_EQ(code.notShiftJis, 5u);

    const ReadBack japanese = Run(GameText::JapaneseText, U"们□ｱ発\n");
    EXPECT_EQ(japanese.japanese, U"□□ｱ発\n");
    EXPECT_EQ(japanese.chinese, U"□□ｱ发\n");
    EXPECT_EQ(japanese.notShiftJis, 1u) << "□ itself is Shift-JIS";
    EXPECT_EQ(japanese.codeText, std::u32string{kJapaneseCodePlaceholder} +
                                     kJapaneseCodePlaceholder + kJapaneseCodePlaceholder +
                                     codeTextOf("\x94\xAD") + U"\n");
    EXPECT_EQ(japanese.preview, U"□□□発\n");
    EXPECT_TRUE(m_report.Entries().empty());
}

INSTANTIATE_TEST_SUITE_P(BothReadings, ReverseRunTest,
                         ::testing::Values(TableReading::PerRecord, TableReading::InMemory));

} // namespace
} // namespace pelmora
