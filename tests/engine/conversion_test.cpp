#include "conversion.h"

#include "both_readings.h"
#include "string_text.h"
#include "table_fixture.h"
#include "utf8.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

using testing::Gbk;
using testing::KeepingSink;
using testing::OpenFileCount;
using testing::RecordingReport;
using testing::SampleRows;
using testing::StringSource;
using testing::TableRow;
using testing::TempDirectory;
using testing::WriteTables;

class ConversionTest : public ::testing::TestWithParam<TableReading> {
protected:
    void SetUp() override { WriteTables(m_dir.Path(), SampleRows()); }

    void Convert(const std::string& utf8) {
        StringSource input(utf8);
        ConvertText(RunKind::PerCharacter, input, m_japanese, m_preview, m_paths,
                    {m_dir.Path(), GetParam()}, m_report);
    }
    std::string ReportText() const {
        std::string all;
        for (const auto& entry : m_report.Entries()) {
            all += entry.title + "|" + entry.text + "\n";
        }
        return all;
    }

    TempDirectory m_dir;
    KeepingSink m_japanese;
    KeepingSink m_preview;
    TablePaths m_paths;
    RecordingReport m_report;
};

TEST_P(ConversionTest, KnownCharactersBecomeTheirRecords) {
    Convert("发东A");
    EXPECT_EQ(m_japanese.Utf8(), "敪搶A");
    EXPECT_EQ(m_preview.Utf8(), "発東A");
    EXPECT_EQ(ReportText(), "");
    EXPECT_EQ(m_paths.pinfile, m_dir.Path() / "pin.dat");
    EXPECT_EQ(m_paths.pjfile, m_dir.Path() / "pj.dat");
    EXPECT_EQ(m_paths.jjfile, m_dir.Path() / "jj.dat");
}

TEST_P(ConversionTest, FixedPiecesPassThroughAsAscii) {
    Convert("\r\n!！\"“”,，.。:：;；");
    const std::string expected = "\r\n!!\"\"\",,..::;;";
    EXPECT_EQ(m_japanese.Utf8(), expected);
    EXPECT_EQ(m_preview.Utf8(), expected);
}

TEST_P(ConversionTest, SpacesUnknownsAndUnrepresentableCharacters) {
    Convert(std::string("发 　中\t?、") + '\0' + "😀" + "\xED\xA0\x80");
    // space stays, full-width space is looked up (its code text is 丂, 81 40), 中 \t ? 、 are not
    // in the table, code 0 keeps a space, the emoji and the invalid bytes (a lone surrogate) cannot
    // be held. Each miss is "□" in the preview and 仩 (81 A0, the Shift-JIS code of "□") in the
    // code text.
    EXPECT_EQ(m_japanese.Utf8(), "敪 丂仩仩仩仩 仩仩仩仩");
    EXPECT_EQ(m_preview.Utf8(), "発 　□□□□ □□□□");
    EXPECT_EQ(ReportText(), "");
}

TEST_P(ConversionTest, EveryInputCharacterGivesOneCharacterInEachOutput) {
    const std::u32string input = U"发东A 中国\r\n！。😀　“x”\u0000";
    Convert(EncodeUtf8(input));
    EXPECT_EQ(DecodeUtf8(m_japanese.Utf8()).size(), input.size());
    EXPECT_EQ(DecodeUtf8(m_preview.Utf8()).size(), input.size());
}

TEST_P(ConversionTest, EmptyInputEmptiesBothOutputs) {
    Convert("发");
    Convert("");
    EXPECT_EQ(m_japanese.Utf8(), "");
    EXPECT_EQ(m_preview.Utf8(), "");
    EXPECT_EQ(m_japanese.Clears(), 2);
}

TEST_P(ConversionTest, SecondRunGivesTheSecondResultAlone) {
    Convert("发");
    Convert("东");
    EXPECT_EQ(m_japanese.Utf8(), "搶");
    EXPECT_EQ(m_preview.Utf8(), "東");
}

TEST_P(ConversionTest, MissingTableLeavesTheOutputsUntouchedAndTheNextRunOpensAfresh) {
    Convert("发");
    const std::filesystem::path pj = m_dir.Path() / "pj.dat";
    std::filesystem::rename(pj, m_dir.Path() / "pj.away");
    Convert("东");
    EXPECT_EQ(m_japanese.Utf8(), "敪");
    EXPECT_EQ(m_preview.Utf8(), "発");
    EXPECT_EQ(m_japanese.Clears(), 1);
    EXPECT_EQ(ReportText(), "Error in Command1Click|ErrorNo:53\r\nErrorInfo:File not found: " +
                                pj.string() + "\n");
    EXPECT_FALSE(std::filesystem::exists(pj)) << "a missing table is never created";

    std::filesystem::rename(m_dir.Path() / "pj.away", pj);
    m_report.Clear();
    Convert("东");
    EXPECT_EQ(m_japanese.Utf8(), "搶");
    EXPECT_EQ(ReportText(), "");
}

TEST_P(ConversionTest, TablesOtherThanRegularFilesAreRefused) {
    std::filesystem::remove(m_dir.Path() / "jj.dat");
    std::filesystem::create_directory(m_dir.Path() / "jj.dat");
    Convert("发");
    ASSERT_EQ(m_report.Entries().size(), 1u);
    EXPECT_NE(m_report.Entries()[0].text.find("ErrorNo:75"), std::string::npos);
    EXPECT_EQ(m_japanese.Clears(), 0);
}

TEST_P(ConversionTest, ManyRunsLeaveNoFileOpen) {
#ifdef _WIN32
    // Every file call is a round trip to the Wine server there: 1,000 runs take as long as
    // 10,000 here, and a leak would still show as a thousand handles.
    constexpr int kRuns = 1000;
#else
    constexpr int kRuns = 10000;
#endif
    const int before = OpenFileCount();
    for (int run = 0; run < kRuns; ++run) {
        Convert("发 东中");
    }
    EXPECT_EQ(OpenFileCount(), before);
    std::filesystem::remove(m_dir.Path() / "jj.dat");
    for (int run = 0; run < 100; ++run) {
        Convert("发");
    }
    EXPECT_EQ(OpenFileCount(), before) << "failed runs close what they opened";
    EXPECT_EQ(m_report.Entries().size(), 100u);
}

INSTANTIATE_TEST_SUITE_P(BothReadings, ConversionTest, testing::BothReadings(),
                         testing::ReadingName);

TEST(ErrorReportTest, ZeroIsNeverShownAndTheTextHasTwoLines) {
    RecordingReport report;
    ShowErrorReport(report, kConversionErrorTitle, ErrorInfo(0, "/t/pin.dat"));
    EXPECT_TRUE(report.Entries().empty());
    ShowErrorReport(report, kFormLoadErrorTitle, ErrorInfo(57));
    ASSERT_EQ(report.Entries().size(), 1u);
    EXPECT_EQ(report.Entries()[0].title, "Error in FormLoad");
    EXPECT_EQ(report.Entries()[0].text, "ErrorNo:57\r\nErrorInfo:Device I/O error");
}

} // namespace
} // namespace pelmora
