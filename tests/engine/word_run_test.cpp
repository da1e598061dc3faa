#include "both_readings.h"
#include "conversion.h"
#include "runtime_error.h"
#include "string_text.h"
#include "table_fixture.h"
#include "utf8.h"
#include "word_chooser.h"
#include "word_tables.h"

#include <gtest/gtest.h>

#include <random>

namespace pelmora {
namespace {

using testing::Gbk;
using testing::KeepingSink;
using testing::NameEntryBytes;
using testing::RecordingReport;
using testing::SampleRows;
using testing::StringSource;
using testing::TempDirectory;
using testing::WordModelEntryBytes;
using testing::WriteFile;
using testing::WriteTables;

// Shift-JIS of the kanji the words use; 髪 is 94 AF, 琪 is in the extension rows at EE 4C.
const std::string kHair = "\x94\xAF";
const std::string kQi = "\xEE\x4C";

// The word model: 东, 发 and the words 东发 → 東髪, 发东 → 髪東, 发东发 → 発東髪, costed so that
// the longer word wins where it fits (发东发 1000 against 发东 + 发 1250) and the cheaper of two
// overlapping words where both do (东发 + 东 1300 against 东 + 发东 1350).
std::string SampleWords() {
    return WordModelEntryBytes({Gbk("东")}, 500) +
           WordModelEntryBytes({Gbk("东"), Gbk("发")}, 800, {{1, kHair, Gbk("髪")}}) +
           WordModelEntryBytes({Gbk("发")}, 400) +
           WordModelEntryBytes({Gbk("发"), Gbk("东")}, 850, {{0, kHair, Gbk("髪")}}) +
           WordModelEntryBytes({Gbk("发"), Gbk("东"), Gbk("发")}, 1000, {{2, kHair, Gbk("髪")}});
}

// Names: the compound surname 发发 → 髪髪 before the surname 发 → 髪, and 东 → 琪 (an extension
// kanji) in given names.
std::string SampleNames() {
    return NameEntryBytes({Gbk("发"), Gbk("发")}, {kHair, kHair}, {Gbk("髪"), Gbk("髪")},
                          kSurnameTag) +
           NameEntryBytes({Gbk("发")}, {kHair}, {Gbk("髪")}, kSurnameTag) +
           NameEntryBytes({Gbk("东")}, {kQi}, {Gbk("琪")}, kGivenNameTag);
}

// A source that gives its text in random pieces of one to five whole characters.
class PieceSource final : public TextSource {
public:
    PieceSource(std::string text, unsigned seed) : m_text(std::move(text)), m_random(seed) {}
    std::string_view NextPiece() override {
        const std::size_t start = m_at;
        for (std::size_t n = 1 + m_random() % 5; n > 0 && m_at < m_text.size(); --n) {
            NextCodePoint(m_text, m_at);
        }
        return std::string_view(m_text).substr(start, m_at - start);
    }

private:
    std::string m_text;
    std::mt19937 m_random;
    std::size_t m_at = 0;
};

std::string CodeText(const std::string& sjis) {
    return EncodeUtf8(std::u32string(1, RecordCharacter({static_cast<std::uint8_t>(sjis[0]),
                                                         static_cast<std::uint8_t>(sjis[1])})));
}

class WordRunTest : public ::testing::TestWithParam<TableReading> {
protected:
    void SetUp() override {
        WriteTables(m_dir.Path(), SampleRows());
        WriteFile(m_dir.Path() / kWordTableName, SampleWords());
    }

    std::pair<std::string, std::string> Run(RunKind kind, const std::string& text,
                                            RecordingReport& report,
                                            KanjiSet kanji = KanjiSet::CodePage932) {
        StringSource input(text);
        return Run(kind, input, report, kanji);
    }
    std::pair<std::string, std::string> RunInPieces(RunKind kind, const std::string& text,
                                                    unsigned seed, RecordingReport& report) {
        PieceSource input(text, seed);
        return Run(kind, input, report);
    }
    std::pair<std::string, std::string> Run(RunKind kind, TextSource& input,
                                            RecordingReport& report,
                                            KanjiSet kanji = KanjiSet::CodePage932) {
        KeepingSink code;
        KeepingSink preview;
        TablePaths paths;
        ConvertText(kind, input, code, preview, paths, {m_dir.Path(), GetParam()}, report, kanji);
        return {code.Utf8(), preview.Utf8()};
    }
    std::pair<std::string, std::string> ByWords(const std::string& text) {
        return Run(RunKind::ByWords, text, m_report);
    }

    TempDirectory m_dir;
    RecordingReport m_report;
};

TEST_P(WordRunTest, CharactersTakeTheKanjiOfTheCheapestSegmentation) {
    EXPECT_EQ(ByWords("发东").second, "髪東");
    EXPECT_EQ(ByWords("发东").first, CodeText(kHair) + "搶");
    EXPECT_EQ(ByWords("发东发").second, "発東髪") << "one word of 1000 over two of 1250";
    EXPECT_EQ(ByWords("发东发东").second, "発東髪東");
    EXPECT_EQ(ByWords("东发东").second, "東髪東") << "东发 + 东 (1300) over 东 + 发东 (1350)";
    EXPECT_EQ(ByWords("A发 东发\n东").second, "A発 東髪\n東");
    // One run far longer than the lookahead is settled in parts, at words of its best path.
    std::string run;
    std::string spelled;
    for (std::size_t i = 0; i < 3 * WordChooser::kLookahead; ++i) {
        run += "发东发";
        spelled += "発東髪";
    }
    EXPECT_EQ(ByWords(run).second, spelled);
    EXPECT_TRUE(m_report.Entries().empty());
}

TEST_P(WordRunTest, NamesTakeTheirSurnameAndGivenNameForms) {
    WriteFile(m_dir.Path() / kNameTableName, SampleNames());
    EXPECT_EQ(Run(RunKind::ByNames, "发发东\n发东、东发东", m_report).second, "髪髪琪\n髪琪□琪髪琪")
        << "a compound surname before a single one; a given name takes its own forms over a "
           "word's, and a word's over the per-character ones; a name ends at any character "
           "that is no Chinese character";
    EXPECT_EQ(Run(RunKind::ByNames, "东发", m_report).second, "琪発")
        << "a surname names.dat does not list is a word of its own: 东发 is 东 and 发, not the "
           "word 东发 (東髪)";
    EXPECT_EQ(Run(RunKind::ByWords, "发发东\n发东、东发东", m_report).second,
              "発髪東\n髪東□東髪東");
    EXPECT_TRUE(m_report.Entries().empty());
}

TEST_P(WordRunTest, TheThreeRunsAgreeOutsideWordsAndNamesHoweverTheInputArrives) {
    // Random texts over the sample's characters, a miss, the fixed pieces and an unrepresentable
    // character, given whole and in random pieces: same lengths and reports for every run, the
    // same output whatever the pieces, and the same pieces wherever no word or name holds the
    // character.
    WriteFile(m_dir.Path() / kNameTableName, SampleNames());
    const std::vector<std::string> alphabet = {"发", "东", "A", " ",  "中",
                                               "，", "\n", "😀", "　", "、"};
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int i = 0, n = static_cast<int>(random() % 40); i < n; ++i) {
            text += alphabet[random() % alphabet.size()];
        }
        const std::u32string input = DecodeUtf8(text);
        std::vector<std::u32string> previews;
        std::size_t reports = 0;
        for (const RunKind kind : {RunKind::PerCharacter, RunKind::ByWords, RunKind::ByNames}) {
            RecordingReport whole;
            RecordingReport pieces;
            const auto once = Run(kind, text, whole);
            EXPECT_EQ(RunInPieces(kind, text, random(), pieces), once) << text;
            ASSERT_EQ(DecodeUtf8(once.first).size(), input.size()) << text;
            ASSERT_EQ(DecodeUtf8(once.second).size(), input.size()) << text;
            if (kind == RunKind::PerCharacter) {
                reports = whole.Entries().size();
            }
            EXPECT_EQ(whole.Entries().size(), reports) << text;
            EXPECT_EQ(pieces.Entries().size(), reports) << text;
            previews.push_back(DecodeUtf8(once.second));
        }
        for (std::size_t i = 0; i < input.size(); ++i) {
            if (input[i] != U'发' && input[i] != U'东') {
                EXPECT_EQ(previews[1][i], previews[0][i]) << text << " at " << i;
                EXPECT_EQ(previews[2][i], previews[0][i]) << text << " at " << i;
            }
        }
    }
    std::filesystem::remove(m_dir.Path() / kWordTableName);
    std::filesystem::remove(m_dir.Path() / kNameTableName);
    RecordingReport report;
    const auto plain = Run(RunKind::PerCharacter, "发东发 东发", report);
    EXPECT_EQ(Run(RunKind::ByWords, "发东发 东发", report), plain)
        << "without words.dat the word-aware run is the per-character run";
    EXPECT_EQ(Run(RunKind::ByNames, "发东发 东发", report), plain);
    EXPECT_TRUE(report.Entries().empty()) << "a missing words.dat or names.dat is no error";
}

TEST_P(WordRunTest, AFailedLookupKeepsOnePieceForEveryCharacterBeforeIt) {
    // 东's records break the tables' promise while 发发 waits to see whether a word begins:
    // every kind ends there, with what it held emitted as if the text had ended.
    std::vector<testing::TableRow> rows = SampleRows();
    for (testing::TableRow& row : rows) {
        row.preview = row.key == Gbk("东") ? Gbk("発") : row.preview;
    }
    WriteTables(m_dir.Path(), rows);
    WriteFile(m_dir.Path() / kNameTableName, SampleNames());
    for (const RunKind kind : {RunKind::PerCharacter, RunKind::ByWords, RunKind::ByNames}) {
        RecordingReport report;
        const auto [code, preview] = Run(kind, "A发发东发", report);
        EXPECT_EQ(DecodeUtf8(preview).size(), 3u) << preview;
        EXPECT_EQ(DecodeUtf8(code).size(), 3u) << code;
        ASSERT_EQ(report.Entries().size(), 1u);
        EXPECT_EQ(report.Entries()[0].title, "Error in Command1Click");
    }
}

TEST_P(WordRunTest, AMalformedWordModelIsReportedAndLeavesTheOutputsAsTheyWere) {
    const std::string good = SampleWords();
    const std::string dong = WordModelEntryBytes({Gbk("东")}, 500);
    const std::string fa = WordModelEntryBytes({Gbk("发")}, 400);
    const std::vector<std::pair<std::string, std::string>> broken = {
        {"cut short", good.substr(0, good.size() - 2)},
        {"a word of no characters", WordModelEntryBytes({}, 0) + good},
        {"a word of 17 characters", WordModelEntryBytes(std::vector(17, Gbk("东")), 0)},
        {"more spellings than characters",
         WordModelEntryBytes({Gbk("发")}, 400, {{0, kHair, Gbk("髪")}, {0, kHair, Gbk("髪")}})},
        {"a cost above the most", WordModelEntryBytes({Gbk("发")}, kMostWordCost + 1)},
        {"keys out of order", fa + dong},
        {"keys repeated", dong + dong},
        {"a spelling past the word",
         WordModelEntryBytes({Gbk("发")}, 400, {{1, kHair, Gbk("髪")}})},
        {"spellings not ascending",
         WordModelEntryBytes({Gbk("发"), Gbk("东")}, 400,
                             {{1, "\x93\x8C", Gbk("東")}, {0, kHair, Gbk("髪")}})},
        {"a spelling tag that is no 00",
         [&] {
             std::string entry = WordModelEntryBytes({Gbk("发")}, 400, {{0, kHair, Gbk("髪")}});
             entry[6] = '\x01';
             return entry;
         }()},
        {"odd length", good + "x"}, // the stray byte is no record: this one is well formed
    };
    for (const auto& [what, bytes] : broken) {
        WriteFile(m_dir.Path() / kWordTableName, bytes);
        StringSource input("发东");
        KeepingSink code(U"before");
        KeepingSink preview(U"before");
        TablePaths paths;
        RecordingReport report;
        ConvertText(RunKind::ByWords, input, code, preview, paths, {m_dir.Path(), GetParam()},
                    report);
        if (what == "odd length") {
            EXPECT_TRUE(report.Entries().empty());
            EXPECT_EQ(preview.Utf8(), "髪東");
            continue;
        }
        ASSERT_EQ(report.Entries().size(), 1u) << what;
        EXPECT_EQ(report.Entries()[0].title, "Error in Command1Click");
        EXPECT_EQ(report.Entries()[0].text, "ErrorNo:321\r\nErrorInfo:Invalid file format: " +
                                                (m_dir.Path() / kWordTableName).string())
            << what;
        EXPECT_EQ(code.Clears(), 0) << what;
        EXPECT_EQ(preview.Utf8(), "before") << what;
    }
    // A spelling whose Shift-JIS code is not its preview's kanji names its record.
    WriteFile(m_dir.Path() / kWordTableName,
              dong + WordModelEntryBytes({Gbk("发")}, 400, {{0, kHair, Gbk("東")}}));
    RecordingReport report;
    EXPECT_EQ(Run(RunKind::ByWords, "东", report), std::make_pair(std::string(), std::string()));
    ASSERT_EQ(report.Entries().size(), 1u);
    EXPECT_EQ(report.Entries()[0].text,
              "ErrorNo:321\r\nErrorInfo:Invalid file format: " +
                  (m_dir.Path() / kWordTableName).string() +
                  ", record 8: its Shift-JIS code is not its preview's kanji");
    // names.dat the same way: a given-name entry of two characters, and a pair whose Shift-JIS
    // code is not its preview's kanji.
    WriteFile(m_dir.Path() / kWordTableName, good);
    for (const std::string& names :
         {NameEntryBytes({Gbk("东"), Gbk("东")}, {kQi, kQi}, {Gbk("琪"), Gbk("琪")}, kGivenNameTag),
          NameEntryBytes({Gbk("东")}, {kQi}, {Gbk("東")}, kGivenNameTag)}) {
        WriteFile(m_dir.Path() / kNameTableName, names);
        RecordingReport report;
        EXPECT_EQ(Run(RunKind::ByNames, "东", report),
                  std::make_pair(std::string(), std::string()));
        ASSERT_EQ(report.Entries().size(), 1u);
        EXPECT_NE(report.Entries()[0].text.find("ErrorNo:321\r\nErrorInfo:Invalid file format: " +
                                                (m_dir.Path() / kNameTableName).string()),
                  std::string::npos)
            << report.Entries()[0].text;
    }
}

// JIS X 0208 only, in every run: a kanji beyond it, whether a character's own (琪), a word's
// (琪东 → 琪琪) or a given name's (东 → 琪), becomes the character's first JIS X 0208 candidate
// in the table's order, or a miss when it has none; a damaged candidates.dat is reported.
TEST_P(WordRunTest, JisX0208OnlyTakesTheFirstJisX0208CandidateInEveryRun) {
    std::vector<testing::TableRow> rows = SampleRows();
    rows.insert(rows.end() - 1, {Gbk("琪"), kQi, Gbk("琪")});
    WriteTables(m_dir.Path(), rows);
    WriteFile(m_dir.Path() / kWordTableName,
              SampleWords() +
                  WordModelEntryBytes({Gbk("琪"), Gbk("东")}, 600, {{1, kQi, Gbk("琪")}}));
    WriteFile(m_dir.Path() / kNameTableName, SampleNames());
    const std::string go = "\x8A\xFB"; // 棋
    WriteFile(m_dir.Path() / kCandidateTableName,
              testing::CandidateEntryBytes(Gbk("东"), {"\x93\x8C", kQi}, {Gbk("東"), Gbk("琪")}) +
                  testing::CandidateEntryBytes(Gbk("琪"), {kQi, go, "\x8C\xE9"},
                                               {Gbk("琪"), Gbk("棋"), Gbk("碁")}));
    const auto jis = [this](RunKind kind, const std::string& text) {
        return Run(kind, text, m_report, KanjiSet::JisX0208);
    };
    EXPECT_EQ(Run(RunKind::ByWords, "琪东发", m_report).second, "琪琪発");
    EXPECT_EQ(jis(RunKind::PerCharacter, "琪东发"),
              std::make_pair(CodeText(go) + "搶" + CodeText("\x94\xAD"), std::string("棋東発")));
    EXPECT_EQ(jis(RunKind::ByWords, "琪东发").second, "棋東発");
    EXPECT_EQ(Run(RunKind::ByNames, "发东\n琪", m_report).second, "髪琪\n琪");
    EXPECT_EQ(jis(RunKind::ByNames, "发东\n琪").second, "髪東\n棋");
    std::filesystem::remove(m_dir.Path() / kCandidateTableName);
    EXPECT_EQ(jis(RunKind::ByNames, "琪东"),
              std::make_pair(std::string("仩仩"), std::string("□□")));
    EXPECT_TRUE(m_report.Entries().empty());

    WriteFile(m_dir.Path() / kCandidateTableName, std::string("\0\0", 2) + Gbk("琪"));
    EXPECT_EQ(Run(RunKind::PerCharacter, "琪", m_report).second, "琪") << "read only when needed";
    EXPECT_TRUE(m_report.Entries().empty());
    StringSource input("琪");
    KeepingSink code(U"before");
    KeepingSink preview(U"before");
    TablePaths paths;
    ConvertText(RunKind::PerCharacter, input, code, preview, paths, {m_dir.Path(), GetParam()},
                m_report, KanjiSet::JisX0208);
    ASSERT_EQ(m_report.Entries().size(), 1u);
    EXPECT_EQ(m_report.Entries()[0].text.rfind("ErrorNo:321\r\nErrorInfo:Invalid file format: " +
                                                   (m_dir.Path() / kCandidateTableName).string(),
                                               0),
              0u);
    EXPECT_EQ(preview.Utf8(), "before");
}

INSTANTIATE_TEST_SUITE_P(BothReadings, WordRunTest, testing::BothReadings(), testing::ReadingName);

TEST(WordTablesTest, CandidatesInTheTablesOrder) {
    TempDirectory dir;
    WriteFile(dir.Path() / kCandidateTableName, std::string("\0\3", 2) + Gbk("发") + "\x94\xAD" +
                                                    kHair + kQi + Gbk("発") + Gbk("髪") +
                                                    Gbk("琪"));
    const CandidateTable candidates = CandidateTable::Load(dir.Path() / kCandidateTableName);
    const CharCode fa = *CharCodeOf(U'发');
    const std::vector<KanjiChoice>& ofFa = candidates.CandidatesOf(fa);
    ASSERT_EQ(ofFa.size(), 3u);
    EXPECT_EQ(ofFa[0], (KanjiChoice{RecordCharacter({0x94, 0xAD}), U'発', false}));
    EXPECT_EQ(ofFa[1].preview, U'髪');
    EXPECT_EQ(ofFa[2].preview, U'琪');
    EXPECT_TRUE(ofFa[2].extension);
    EXPECT_TRUE(candidates.CandidatesOf(*CharCodeOf(U'东')).empty());

    EXPECT_TRUE(CandidateTable::Load(dir.Path() / "none.dat").Empty());
    WriteFile(dir.Path() / kCandidateTableName, std::string("\0\0", 2) + Gbk("发"));
    EXPECT_THROW(CandidateTable::Load(dir.Path() / kCandidateTableName), RuntimeError)
        << "an entry without candidates";
}

} // namespace
} // namespace pelmora
