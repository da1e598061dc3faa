#include "key_search.h"

#include "both_readings.h"
#include "table_fixture.h"
#include "utf8.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

using testing::Gbk;
using testing::RecordingReport;
using testing::TableRow;
using testing::TempDirectory;
using testing::WriteFile;
using testing::WriteTables;

// Every key-search case runs against both ways of reading the tables.
class KeySearchTest : public ::testing::TestWithParam<TableReading> {
protected:
    // Writes a key table from `keys` (pj and jj mirror it) and opens the set.
    TableSet& Open(const std::vector<std::string>& keys) {
        std::vector<TableRow> rows;
        for (const std::string& key : keys) {
            rows.push_back({key, key, key});
        }
        WriteTables(m_dir.Path(), rows);
        return Reopen();
    }
    TableSet& Reopen() {
        m_tables.reset();
        m_tables = std::make_unique<TableSet>(FormTablePaths(m_dir.Path()), GetParam());
        return *m_tables;
    }
    RecordNumber Find(char32_t character) {
        return Obtain(character, kKeyTableFile, *m_tables, m_report);
    }

    TempDirectory m_dir;
    RecordingReport m_report;
    std::unique_ptr<TableSet> m_tables;
};

TEST_P(KeySearchTest, EmptyKeyTableFindsNothingButTheSpace) {
    Open({});
    EXPECT_EQ(Find(U'中'), 0);
    EXPECT_EQ(Find(U'A'), 0);
    EXPECT_EQ(Find(U' '), 1);
    EXPECT_TRUE(m_report.Entries().empty());
}

TEST_P(KeySearchTest, FindsEveryKeyAndMissesAroundThem) {
    // Ascending by signed code: double-byte keys first, single-byte keys last.
    Open({Gbk("丂"), Gbk("发"), Gbk("中"), Gbk("龠"), "0", "A", "z"});
    EXPECT_EQ(Find(U'丂'), 1);
    EXPECT_EQ(Find(U'发'), 2);
    EXPECT_EQ(Find(U'中'), 3);
    EXPECT_EQ(Find(U'龠'), 4);
    EXPECT_EQ(Find(U'0'), 5);
    EXPECT_EQ(Find(U'A'), 6);
    EXPECT_EQ(Find(U'z'), 7);
    EXPECT_EQ(Find(U'\x7F'), 0) << "above every key";
    EXPECT_EQ(Find(U'\t'), 0) << "between the keys";
    EXPECT_EQ(Find(U'东'), 0) << "between two double-byte keys";
    EXPECT_EQ(Find(U'😀'), 0) << "not representable at all";
    EXPECT_TRUE(m_report.Entries().empty());
}

TEST_P(KeySearchTest, SmallTablesFindEveryRecord) {
    // 二 (B6FE) < 三 (C8FD) < 一 (D2BB): every prefix is a sorted table of 1, 2 or 3 keys.
    const std::u32string sorted = U"二三一";
    for (std::size_t size = 1; size <= sorted.size(); ++size) {
        std::vector<std::string> keys;
        for (std::size_t i = 0; i < size; ++i) {
            keys.push_back(Gbk(EncodeUtf8(sorted.substr(i, 1))));
        }
        Open(keys);
        for (std::size_t i = 0; i < size; ++i) {
            EXPECT_EQ(Find(sorted[i]), static_cast<RecordNumber>(i + 1)) << "size " << size;
        }
        EXPECT_EQ(Find(U'四'), 0);
        EXPECT_EQ(Find(U'丂'), 0);
    }
}

TEST_P(KeySearchTest, DuplicateKeysGiveTheFirstRecordTheUpperMiddleProbeReaches) {
    // n = 5: the first probe is 1 + 5/2 = 3.
    Open({"A", "B", "B", "B", "C"});
    EXPECT_EQ(Find(U'B'), 3);
    // n = 3: the probe is 2 before 1 and 3 are looked at.
    Open({"B", "B", "C"});
    EXPECT_EQ(Find(U'B'), 2);
    // n = 4: probes 3 (C), then 2 (B) of the range 1..2.
    Open({"A", "B", "C", "C"});
    EXPECT_EQ(Find(U'C'), 3);
    EXPECT_EQ(Find(U'B'), 2);
}

TEST_P(KeySearchTest, TheSpaceIsAnsweredWithoutTheTableButTheFullWidthSpaceIsSearched) {
    Open({Gbk("　"), Gbk("中"), " "});
    EXPECT_EQ(Find(U' '), 4) << "n + 1 even though a record holds a space";
    EXPECT_EQ(Find(U'　'), 1);
    Open({Gbk("中")});
    EXPECT_EQ(Find(U'　'), 0);
}

TEST_P(KeySearchTest, OddLengthKeyTableIgnoresTheLastByte) {
    Open({Gbk("中"), "A"});
    WriteFile(m_dir.Path() / kKeyTableName, Gbk("中") + "A" + '\0' + "\xD6");
    Reopen();
    EXPECT_EQ(Find(U'A'), 2);
    EXPECT_EQ(Find(U' '), 3);
}

TEST_P(KeySearchTest, FailuresAreReportedByTheSearchAndGiveZero) {
    Open({"A"});
    EXPECT_EQ(Obtain(U'A', 4, *m_tables, m_report), 0);
    ASSERT_EQ(m_report.Entries().size(), 1u);
    EXPECT_EQ(m_report.Entries()[0].title, "Error in Obtain");
    EXPECT_EQ(m_report.Entries()[0].text, "ErrorNo:52\r\nErrorInfo:Bad file name or number");

    m_report.Clear();
    EXPECT_EQ(Obtain(U'A', 70000, *m_tables, m_report), 0) << "file number beyond 16 bits";
    ASSERT_EQ(m_report.Entries().size(), 1u);
    EXPECT_EQ(m_report.Entries()[0].text, "ErrorNo:6\r\nErrorInfo:Overflow");

    m_report.Clear();
    m_tables->CloseAll();
    EXPECT_EQ(Obtain(U'A', kKeyTableFile, *m_tables, m_report), 0) << "no file open";
    EXPECT_EQ(m_report.Entries().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(BothReadings, KeySearchTest, testing::BothReadings(),
                         testing::ReadingName);

TEST(KeySearchPerRecordTest, KeyCountIsTakenByNameAtEveryCall) {
    TempDirectory dir;
    RecordingReport report;
    WriteTables(dir.Path(), {{"A", "A", "A"}});
    TableSet tables(FormTablePaths(dir.Path()), TableReading::PerRecord);
    EXPECT_EQ(Obtain(U'B', kKeyTableFile, tables, report), 0);
    WriteTables(dir.Path(), {{"A", "A", "A"}, {"B", "B", "B"}});
    EXPECT_EQ(Obtain(U'B', kKeyTableFile, tables, report), 2);
    EXPECT_EQ(Obtain(U' ', kKeyTableFile, tables, report), 3);

    // Moved away while open: the name is gone at once on every system (a file deleted while
    // open keeps its name on Windows until the last handle closes).
    std::filesystem::rename(dir.Path() / kKeyTableName, dir.Path() / "pin.old");
    EXPECT_EQ(Obtain(U'A', kKeyTableFile, tables, report), 0);
    ASSERT_EQ(report.Entries().size(), 1u);
    EXPECT_EQ(report.Entries()[0].title, "Error in Obtain");
    EXPECT_NE(report.Entries()[0].text.find("ErrorNo:53"), std::string::npos);
}

} // namespace
} // namespace pelmora
