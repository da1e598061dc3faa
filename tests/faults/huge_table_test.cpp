// Key tables whose record count does not fit the 32-bit record numbers: sparse files, so the
// test takes seconds and no disk space.

#include "fault_support.h"
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

const std::string kOverflow = "Error in Command1Click|ErrorNo:6\r\nErrorInfo:Overflow\n";

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

TEST_F(HugeKeyTableTest, RecordCountPastTheRecordNumbersIsOverflowInBothReadingsAndTheCommand) {
    for (const std::uintmax_t length : {5 * kGiB, 4 * kGiB, 4 * kGiB + 1}) {
        SCOPED_TRACE(length);
        GrowKeyTable(length);
        const DirectorySnapshot before = TakeSnapshot(m_dir.Path());
        for (const TableReading reading : {TableReading::PerRecord, TableReading::InMemory}) {
            std::string japanese;
            EXPECT_EQ(Convert("发 发", reading, japanese), kOverflow);
            EXPECT_EQ(japanese, "") << "the outputs were emptied, then the count overflowed";
        }
        const ChildOutcome command = RunChild(PELMORA_CONVERT, {"--tables", m_dir.Path().string()},
                                              m_work.Path(), WriteInput("发"));
        EXPECT_TRUE(command.exited && command.exitCode == 1) << command.exitCode;
        EXPECT_EQ(command.out, "");
        EXPECT_EQ(command.err, "Error in Command1Click\nErrorNo:6\nErrorInfo:Overflow\n");
        EXPECT_TRUE(TakeSnapshot(m_dir.Path()) == before) << "the huge table was changed";
    }
}

TEST_F(HugeKeyTableTest, LargestCountThatFitsIsSearchedWithoutWrappingRound) {
    // 2^31 - 1 records: 发 first, then zeros. 发 (a negative code) walks down to record 1 and
    // is found there; A walks up to the last record, where one more step would pass the largest
    // record number; a space would be record n + 1. Those two are overflows of the key search,
    // which reports each and misses.
    GrowKeyTable(4 * kGiB - 2);
    const std::string obtainOverflow = "Error in Obtain|ErrorNo:6\r\nErrorInfo:Overflow\n";
    for (const TableReading reading : {TableReading::PerRecord, TableReading::InMemory}) {
        std::string japanese;
        EXPECT_EQ(Convert("发A 发", reading, japanese), obtainOverflow + obtainOverflow);
        EXPECT_EQ(japanese, "敪仩仩敪");
    }
}

} // namespace
} // namespace pelmora::faults
