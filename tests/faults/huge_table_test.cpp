// Key tables whose record count does not fit the 32-bit record numbers: sparse files, so the
// test takes seconds and no disk space.

#include "fault_support.h"
#include "key_search.h"
#include "string_text.h"

#include <gtest/gtest.h>

namespace pelmora::faults {
namespace {

using testing::StringSource;

namespace fs = std::filesystem;
using testing::Gbk;
using testing::KeepingSink;
using testing::RecordingReport;
using testing::TempDirectory;
using testing::WriteTables;

constexpr std::uintmax_t kGiB = 1024ull * 1024 * 1024;

class HugeKeyTableTest : public ::testing::Test {
protected:
    void SetUp() override { WriteTables(m_dir.Path(), {{Gbk("发"), "\x94\xAD", Gbk("発")}}); }
    // Makes pin.dat a sparse file of `length` bytes: all records zero, the code of no character
    // but the one that keeps a space.
    void GrowKeyTable(std::uintmax_t length) {
        fs::resize_file(m_dir.Path() / kKeyTableName, length);
    }
    std::string Convert(const std::string& utf8, TableReading reading, std::string& japanese) {
        RecordingReport report;
        KeepingSink japaneseSink{U"earlier"};
        KeepingSink preview{U"earlier"};
        TablePaths paths;
        StringSource input(utf8);
        ConvertText(RunKind::PerCharacter, input, japaneseSink, preview, paths,
                    {m_dir.Path(), reading}, report);
        japanese = japaneseSink.Utf8();
        EXPECT_EQ(japaneseSink.Length(), preview.Length());
        return AllReports(report);
    }
    fs::path WriteInput(const std::string& text) {
        const fs::path path = m_work.Path() / "input.txt";
        testing::WriteFile(path, text);
        return path;
    }

    TempDirectory m_dir;
    TempDirectory m_work;
};

// No key table of more records than there are codes can rise strictly, so one whose count does
// not even fit the record numbers is damaged, and found so without reading it through: beside
// short tables by its length, beside tables as large by its third key (zeros follow 发), which
// repeats the second.
TEST_F(HugeKeyTableTest, KeyTablesPastTheRecordNumbersAreDamagedInBothReadingsAndTheCommand) {
    for (const std::uintmax_t length : {5 * kGiB, 4 * kGiB, 4 * kGiB + 2}) {
        for (const bool allHuge : {false, true}) {
            SCOPED_TRACE(std::to_string(length) + (allHuge ? " all three" : " the key table"));
            WriteTables(m_dir.Path(), {{Gbk("发"), "\x94\xAD", Gbk("発")}});
            for (const char* table : {kKeyTableName, kJapaneseCodeTableName, kPreviewTableName}) {
                if (allHuge || table == std::string_view(kKeyTableName)) {
                    fs::resize_file(m_dir.Path() / table, length);
                }
            }
            const std::string detail =
                allHuge ? ", record 3: its key repeats the key before it"
                        : ": it holds " + std::to_string(length / 2) +
                              " records, where pj.dat holds 1 record and jj.dat 1 record";
            const std::string description =
                "Invalid file format: " + (m_dir.Path() / kKeyTableName).string() + detail;
            const DirectorySnapshot before = TakeSnapshot(m_dir.Path());
            for (const TableReading reading : {TableReading::PerRecord, TableReading::InMemory}) {
                std::string japanese;
                EXPECT_EQ(Convert("发 发", reading, japanese),
                          "Error in Command1Click|ErrorNo:321\r\nErrorInfo:" + description + "\n");
                EXPECT_EQ(japanese, "earlier") << "the outputs were left as they were";
            }
            const ChildOutcome command =
                RunChild(PELMORA_CONVERT, {"--tables", m_dir.Path().string()}, m_work.Path(),
                         WriteInput("发"));
            EXPECT_TRUE(command.exited && command.exitCode == 1) << command.exitCode;
            EXPECT_EQ(command.out, "");
            EXPECT_EQ(command.err,
                      "Error in Command1Click\nErrorNo:321\nErrorInfo:" + description + "\n");
            EXPECT_TRUE(TakeSnapshot(m_dir.Path()) == before) << "a huge table was changed";
        }
    }
}

// The key search itself, asked outside a conversion, keeps to 32-bit record numbers: 2^31 - 1
// records (发 first, then zeros) are searched without wrapping round, and one more is a count
// that does not fit.
TEST_F(HugeKeyTableTest, TheKeySearchNeverWrapsRoundItsRecordNumbers) {
    const std::string overflow = "Error in Obtain|ErrorNo:6\r\nErrorInfo:Overflow\n";
    for (const TableReading reading : {TableReading::PerRecord, TableReading::InMemory}) {
        GrowKeyTable(4 * kGiB - 2);
        RecordingReport report;
        TableSet tables(FormTablePaths(m_dir.Path()), reading);
        const auto find = [&](char32_t character) {
            return Obtain(character, kKeyTableFile, tables, report);
        };
        // 发 (a negative code) walks down to record 1; A walks up to the last record, where one
        // more step would pass the largest record number; a space would be record n + 1.
        EXPECT_EQ(find(U'发'), 1);
        EXPECT_EQ(find(U'A'), 0);
        EXPECT_EQ(find(U' '), 0);
        EXPECT_EQ(AllReports(report), overflow + overflow);
        tables.CloseAll();

        GrowKeyTable(4 * kGiB);
        report.Clear();
        TableSet larger(FormTablePaths(m_dir.Path()), reading);
        EXPECT_EQ(Obtain(U'发', kKeyTableFile, larger, report), 0);
        EXPECT_EQ(AllReports(report), overflow);
    }
}

} // namespace
} // namespace pelmora::faults
