// Many conversions in a row, as a user who keeps pressing Convert: open files and memory must
// come back to where they were.

#include "both_readings.h"
#include "fault_support.h"
#include "string_text.h"

#include <gtest/gtest.h>

#ifdef PELMORA_SANITIZED
#include <sanitizer/lsan_interface.h>
#endif

namespace pelmora::faults {
namespace {

using testing::StringSource;
using testing::Utf8Sink;

namespace fs = std::filesystem;
using testing::Gbk;
using testing::OpenFileCount;
using testing::RecordingReport;
using testing::TempDirectory;
using testing::WriteTables;

#ifdef _WIN32
// Under Wine every file call is a round trip to its server: 2,000 runs take as long as 10,000
// here. A leaked handle still shows at once; a leak of memory needs 2 KiB a run to show.
constexpr int kRuns = 2000;
#else
constexpr int kRuns = 10000;
#endif
constexpr int kWarmUpRuns = 200;
// Room for the allocator's own bookkeeping; a leak of a few hundred bytes a run passes it.
constexpr long kSlackKibibytes = 4 * 1024;

// AddressSanitizer keeps freed blocks in quarantine (up to 256 MB), so resident memory grows
// without any leak; there LeakSanitizer looks for unreachable blocks instead.
void ExpectNoGrowth([[maybe_unused]] long before, [[maybe_unused]] long after) {
#ifdef PELMORA_SANITIZED
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0) << "LeakSanitizer found leaks";
#else
    EXPECT_LE(after - before, kSlackKibibytes)
        << "resident memory " << before << " KiB before, " << after << " KiB after";
#endif
}

class SoakTest : public ::testing::TestWithParam<TableReading> {
protected:
    void SetUp() override {
        WriteTables(m_dir.Path(), {{Gbk("东"), "\x93\x8C", Gbk("東")},
                                   {Gbk("发"), "\x94\xAD", Gbk("発")},
                                   {"A", "A", "A"}});
        WriteTables(m_broken.Path(), {{Gbk("东"), "\x93\x8C", Gbk("東")}});
        fs::remove(m_broken.Path() / kPreviewTableName);
    }
    // Runs that succeed, runs that fail at the open, and runs with unmapped characters.
    void RunOnce(int run) {
        const fs::path& directory = run % 10 == 9 ? m_broken.Path() : m_dir.Path();
        StringSource input("发东 A中😀\n");
        Utf8Sink japanese;
        Utf8Sink preview;
        TablePaths paths;
        const std::size_t reportsBefore = m_report.Entries().size();
        ConvertText(RunKind::PerCharacter, input, japanese, preview, paths, {directory, GetParam()},
                    m_report);
        if (run % 10 == 9) {
            m_reported += m_report.Entries().size() == reportsBefore + 1 ? 1 : 0;
        } else {
            m_succeeded += japanese.Text() == "敪搶 A仩仩\n" ? 1 : 0;
        }
    }

    TempDirectory m_dir;
    TempDirectory m_broken;
    RecordingReport m_report;
    int m_succeeded = 0;
    int m_reported = 0;
};

TEST_P(SoakTest, TenThousandRunsLeaveNoFileOpenAndNoMemoryBehind) {
    for (int run = 0; run < kWarmUpRuns; ++run) {
        RunOnce(run);
    }
    m_report.Clear();
    m_succeeded = 0;
    m_reported = 0;
    const int filesBefore = OpenFileCount();
    const long memoryBefore = ResidentKibibytes();
    for (int run = 0; run < kRuns; ++run) {
        RunOnce(run);
        if (run % 500 == 499) {
            m_report.Clear(); // the recorded reports would grow on their own
        }
    }
    const long memoryAfter = ResidentKibibytes();
    EXPECT_EQ(OpenFileCount(), filesBefore);
    EXPECT_EQ(m_succeeded, kRuns / 10 * 9);
    EXPECT_EQ(m_reported, kRuns / 10);
    ExpectNoGrowth(memoryBefore, memoryAfter);
    RecordProperty("ResidentKiBBefore", std::to_string(memoryBefore));
    RecordProperty("ResidentKiBAfter", std::to_string(memoryAfter));
    std::printf("%d runs: open files %d -> %d, VmRSS %ld -> %ld KiB\n", kRuns, filesBefore,
                OpenFileCount(), memoryBefore, memoryAfter);
}

INSTANTIATE_TEST_SUITE_P(BothReadings, SoakTest, testing::BothReadings(), testing::ReadingName);

} // namespace
} // namespace pelmora::faults
