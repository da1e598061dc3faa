// The fault matrix for the tables: whatever stands in pin.dat, pj.dat or jj.dat, a conversion
// run reports plainly, never crashes or hangs, closes every table and writes none.

#include "both_readings.h"
#include "fault_support.h"
#include "runtime_error.h"
#include "string_text.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pelmora::faults {
namespace {

using testing::StringSource;

namespace fs = std::filesystem;
using testing::Gbk;
using testing::KeepingSink;
using testing::OpenFileCount;
using testing::RecordingReport;
using testing::SampleRows;
using testing::TableRow;
using testing::TempDirectory;
using testing::WriteFile;
using testing::WriteTables;

std::string Failure(int number, const std::string& description) {
    return "Error in Command1Click|ErrorNo:" + std::to_string(number) +
           "\r\nErrorInfo:" + description + "\n";
}

class TableFaultTest : public ::testing::TestWithParam<TableReading> {
protected:
    void SetUp() override { WriteTables(m_dir.Path(), SampleRows()); }

    fs::path Table(const char* name) const { return m_dir.Path() / name; }

    // One run over outputs that hold an earlier result; checks that the run wrote, created and
    // removed nothing beside the tables and left no file open.
    void Convert(const std::string& utf8) {
        const DirectorySnapshot before = TakeSnapshot(m_dir.Path());
        const int openBefore = OpenFileCount();
        StringSource input(utf8);
        ConvertText(RunKind::PerCharacter, input, m_japanese, m_preview, m_paths,
                    {m_dir.Path(), GetParam()}, m_report);
        EXPECT_EQ(OpenFileCount(), openBefore) << "a table was left open";
        EXPECT_TRUE(TakeSnapshot(m_dir.Path()) == before) << "the run changed the tables";
    }
    void ExpectOutputs(const std::string& japaneseCode, const std::string& preview) {
        EXPECT_EQ(m_japanese.Utf8(), japaneseCode);
        EXPECT_EQ(m_preview.Utf8(), preview);
    }
    void ExpectUntouched() {
        ExpectOutputs("earlier", "earlier");
        EXPECT_EQ(m_japanese.Clears() + m_preview.Clears(), 0);
    }

    TempDirectory m_dir;
    KeepingSink m_japanese{U"earlier"};
    KeepingSink m_preview{U"earlier"};
    TablePaths m_paths;
    RecordingReport m_report;
};

TEST_P(TableFaultTest, EachMissingTableIsReportedAndNeverCreated) {
    for (const char* name : {kKeyTableName, kJapaneseCodeTableName, kPreviewTableName}) {
        SCOPED_TRACE(name);
        fs::rename(Table(name), m_dir.Path() / "away");
        m_report.Clear();
        Convert("发");
        EXPECT_EQ(AllReports(m_report), Failure(53, "File not found: " + Table(name).string()));
        EXPECT_FALSE(fs::exists(Table(name)));
        ExpectUntouched();
        fs::rename(m_dir.Path() / "away", Table(name));
    }
}

TEST_P(TableFaultTest, WhatIsNoRegularFileIsRefusedWithoutWaitingOnIt) {
    const fs::path elsewhere = m_dir.Path() / "elsewhere";
    fs::create_directory(elsewhere);
    struct Stand {
        const char* what;
        std::function<void(const fs::path&)> place;
        std::string report;
    };
    std::vector<Stand> stands = {
        {"a directory", [](const fs::path& p) { fs::create_directory(p); },
         "75|Path/File access error"},
    };
#ifndef _WIN32
    // FIFOs, symbolic links and endless devices as POSIX systems have them.
    stands.insert(stands.end(),
                  {
                      {"a FIFO", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); },
                       "75|Path/File access error"},
                      {"a dangling symbolic link",
                       [&](const fs::path& p) { fs::create_symlink(elsewhere / "none.dat", p); },
                       "53|File not found"},
                      {"a link to a directory",
                       [&](const fs::path& p) { fs::create_directory_symlink(elsewhere, p); },
                       "75|Path/File access error"},
                      {"a link to an endless device",
                       [](const fs::path& p) { fs::create_symlink("/dev/zero", p); },
                       "75|Path/File access error"},
                  });
#endif
    for (const char* name : {kKeyTableName, kJapaneseCodeTableName, kPreviewTableName}) {
        for (const Stand& stand : stands) {
            SCOPED_TRACE(std::string(name) + " is " + stand.what);
            const std::string saved = TakeSnapshot(m_dir.Path()).entries.at(name).bytes;
            fs::remove(Table(name));
            stand.place(Table(name));
            m_report.Clear();
#ifndef _WIN32
            ::alarm(20); // a FIFO that blocked the open would end the test here
#endif
            Convert("发");
#ifndef _WIN32
            ::alarm(0);
#endif
            const std::size_t bar = stand.report.find('|');
            EXPECT_EQ(AllReports(m_report),
                      Failure(std::stoi(stand.report.substr(0, bar)),
                              stand.report.substr(bar + 1) + ": " + Table(name).string()));
            ExpectUntouched();
            fs::remove(Table(name));
            WriteFile(Table(name), saved);
        }
    }
}

TEST_P(TableFaultTest, TableDirectoryThatCannotHoldTables) {
    // A file where the directory should be, and a directory name longer than any file system
    // takes.
    const fs::path file = m_dir.Path() / "pin.dat";
    const fs::path tooLong = m_dir.Path() / std::string(300, 'd');
    for (const auto& [directory, report] :
         {std::pair{file, "53|File not found"}, std::pair{tooLong, "52|Bad file name or number"}}) {
        m_report.Clear();
        StringSource input("发");
        ConvertText(RunKind::PerCharacter, input, m_japanese, m_preview, m_paths,
                    {directory, GetParam()}, m_report);
        EXPECT_EQ(AllReports(m_report),
                  Failure(std::stoi(std::string(report).substr(0, 2)),
                          std::string(report).substr(3) + ": " + (directory / "pin.dat").string()));
        ExpectUntouched();
    }
}

// The key table as it may reach a user: each damage is reported as a damaged pin.dat before
// the outputs are emptied, where searching it would turn characters it holds into misses.
TEST_P(TableFaultTest, EveryDamageOfTheKeyTableIsReportedBeforeTheOutputsAreEmptied) {
    for (const KeyTableDamage& damage : KeyTableDamages()) {
        SCOPED_TRACE(damage.what);
        CopyShippedTables(m_dir.Path());
        damage.apply(m_dir.Path());
        m_report.Clear();
        Convert("鹽发 中");
        ASSERT_EQ(m_report.Entries().size(), 1u);
        EXPECT_EQ(m_report.Entries()[0].title, "Error in Command1Click");
        EXPECT_TRUE(ReportsDamage(m_report.Entries()[0].text, Table(kKeyTableName), damage))
            << m_report.Entries()[0].text;
        ExpectUntouched();
    }
    CopyShippedTables(m_dir.Path());
    Convert("鹽发 中");
    EXPECT_EQ(m_preview.Utf8(), "塩発 中") << "sound tables convert again";
    EXPECT_EQ(m_report.Entries().size(), 1u);
}

// Each table empty, a byte too long, a record short or a record too long: the three describe
// the same characters record by record, so each is named as damaged.
TEST_P(TableFaultTest, TablesEmptyCutOrOfUnequalLengthAreDamaged) {
    const std::vector<std::pair<std::function<void(std::string&)>, std::string>> changes = {
        {[](std::string& bytes) { bytes.clear(); }, ": it is empty"},
        {[](std::string& bytes) { bytes += 'x'; },
         ": its 9 bytes are no whole number of 2-byte records"},
        {[](std::string& bytes) { bytes.resize(6); }, ": it holds 3 records, where "},
        {[](std::string& bytes) { bytes += "AB"; }, ": it holds 5 records, where "},
    };
    for (const char* name : {kKeyTableName, kJapaneseCodeTableName, kPreviewTableName}) {
        for (const auto& [change, reported] : changes) {
            WriteTables(m_dir.Path(), SampleRows());
            std::string bytes = TakeSnapshot(m_dir.Path()).entries.at(name).bytes;
            change(bytes);
            WriteFile(Table(name), bytes);
            m_report.Clear();
            Convert("发东");
            const std::string report = AllReports(m_report);
            SCOPED_TRACE(report);
            EXPECT_TRUE(report.starts_with("Error in Command1Click|ErrorNo:321\r\nErrorInfo:"
                                           "Invalid file format: " +
                                           Table(name).string() + reported));
            if (reported.ends_with("where ")) {
                // The other two are named with the count they agree on.
                const char* last =
                    name == kPreviewTableName ? kJapaneseCodeTableName : kPreviewTableName;
                EXPECT_TRUE(
                    report.ends_with("4 records and " + std::string(last) + " 4 records\n"));
            }
            ExpectUntouched();
        }
    }
}

TEST_P(TableFaultTest, DamagedRecordPairsEndTheRunKeepingWhatWasAppended) {
    // Record 3 (发) damaged in each way a pair can break the promise that the code text reads as
    // Shift-JIS to the preview: bytes that are no code page 936 character, a control byte, a
    // character whose bytes are no Shift-JIS code, another kanji's code (swapped records), and a
    // preview that does not match.
    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"\x81\x20", Gbk("発")},
        {std::string("\xFF\xFF"), Gbk("発")},
        {std::string("\x07\x00", 2), Gbk("発")},
        {Gbk("发"), Gbk("発")},
        {"\x93\x8C", Gbk("発")},
        {"\x94\xAD", Gbk("東")},
        {std::string("\xA1\xF5"), Gbk("発")},
        {"\x94\xAD", "\xA1\xF5"},
    };
    for (const auto& [japaneseCode, preview] : damaged) {
        WriteTables(m_dir.Path(), {{Gbk("　"), "\x81\x40", Gbk("　")},
                                   {Gbk("东"), "\x93\x8C", Gbk("東")},
                                   {Gbk("发"), japaneseCode, preview},
                                   {"A", "A", "A"}});
        m_report.Clear();
        Convert("东发A");
        ExpectOutputs("搶", "東");
        EXPECT_EQ(AllReports(m_report),
                  Failure(321, "Invalid file format: " + Table(kJapaneseCodeTableName).string() +
                                   " and " + Table(kPreviewTableName).string() +
                                   ", record 3: its Shift-JIS code is not its preview's kanji"));
    }
    // Two pairs keep the promise in their own way: "・" previewed as "·", which code page 936
    // lacks, and "□" in both records, a miss.
    WriteTables(m_dir.Path(),
                {{Gbk("东"), "\xA1\xF5", "\xA1\xF5"}, {Gbk("发"), "\x81\x45", Gbk("·")}});
    m_report.Clear();
    Convert("东发");
    ExpectOutputs("仩丒", "□·");
    EXPECT_EQ(AllReports(m_report), "");
}

TEST_P(TableFaultTest, KeysThatAreNoCharacterAreSearchedAsCodesAndNeverMatch) {
    // Codes -32480, 东, 65 (A), 255 (a lone 0xFF): ascending as the search compares them.
    WriteTables(m_dir.Path(), {{"\x81\x20", "x", "x"},
                               {Gbk("东"), "\x93\x8C", Gbk("東")},
                               {"A", "A", "A"},
                               {"\xFF\xFF", "y", "y"}});
    Convert("东A\xC3\xBF");
    ExpectOutputs("搶A仩", "東A□");
    EXPECT_EQ(AllReports(m_report), "");
}

#ifdef _WIN32
// Windows has no mode bits; a table is unreadable while another program holds it open without
// sharing it.
TEST_P(TableFaultTest, UnreadableTableIsPermissionDenied) {
    const HANDLE locked = CreateFileW(Table(kJapaneseCodeTableName).c_str(), GENERIC_READ, 0,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    Convert("发");
    CloseHandle(locked);
    EXPECT_EQ(AllReports(m_report),
              Failure(70, "Permission denied: " + Table(kJapaneseCodeTableName).string()));
    ExpectUntouched();
}
#else
TEST_P(TableFaultTest, UnreadableTableIsPermissionDenied) {
    ASSERT_EQ(::chmod(Table(kJapaneseCodeTableName).c_str(), 0), 0);
    // Root reads any file whatever its mode, so as root the run goes to a child that has become
    // the user "nobody".
    const std::optional<std::string> reports = RunUnprivileged([&] {
        Convert("发");
        return AllReports(m_report) + "|" + m_japanese.Utf8();
    });
    ::chmod(Table(kJapaneseCodeTableName).c_str(), 0644);
    ASSERT_TRUE(reports.has_value()) << "the unprivileged run did not finish";
    EXPECT_EQ(*reports,
              Failure(70, "Permission denied: " + Table(kJapaneseCodeTableName).string()) +
                  "|earlier");
}
#endif

TEST_P(TableFaultTest, TablesChangedBetweenRunsAreReadAfresh) {
    Convert("发东");
    ExpectOutputs("敪搶", "発東");

    // Replaced whole (a new file renamed over the old one): the next run reads the new tables.
    const TempDirectory other;
    WriteTables(other.Path(), {{Gbk("东"), "\x93\x8C", Gbk("東")}});
    for (const char* name : {kKeyTableName, kJapaneseCodeTableName, kPreviewTableName}) {
        fs::rename(other.Path() / name, Table(name));
    }
    Convert("发东");
    ExpectOutputs("仩搶", "□東");

    // Truncated in place to nothing: damaged, and the outputs keep the last result.
    fs::resize_file(Table(kKeyTableName), 0);
    Convert("发东");
    ExpectOutputs("仩搶", "□東");
    EXPECT_EQ(
        AllReports(m_report),
        Failure(321, "Invalid file format: " + Table(kKeyTableName).string() + ": it is empty"));

    // Grown again: found again.
    WriteTables(m_dir.Path(), SampleRows());
    m_report.Clear();
    Convert("发东");
    ExpectOutputs("敪搶", "発東");
    EXPECT_EQ(AllReports(m_report), "");
}

// What a user may do to the tables while a conversion holds them open: rename one, replace one
// and delete one. None of it is refused, on any system, and the renamed and deleted tables read
// on as they were; the next run finds what the names now hold. A replacement is a new file
// renamed over the old one on POSIX systems; Windows refuses renaming over an open file, and a
// replacement there (as Explorer's copy does it) writes the new bytes into the same file, which
// the open table then reads, unless it was read whole at the start.
TEST_P(TableFaultTest, TablesRenamedReplacedOrDeletedWhileOpen) {
    TableSet tables(FormTablePaths(m_dir.Path()), GetParam());
    const TempDirectory other;
    WriteTables(other.Path(), {{"A", "B", "C"}});
    fs::rename(Table(kKeyTableName), m_dir.Path() / "pin.old");
#ifdef _WIN32
    WriteFile(Table(kJapaneseCodeTableName), testing::RecordBytes("B"));
    const bool readsReplacement = GetParam() == TableReading::PerRecord;
#else
    fs::rename(other.Path() / kJapaneseCodeTableName, Table(kJapaneseCodeTableName));
    const bool readsReplacement = false;
#endif
    fs::remove(Table(kPreviewTableName));

    const auto bytes = [](const Record& r) {
        return std::string{static_cast<char>(r.first), static_cast<char>(r.second)};
    };
    const std::vector<TableRow> rows = SampleRows();
    for (RecordNumber record = 1; record <= 4; ++record) {
        const TableRow& row = rows[static_cast<std::size_t>(record - 1)];
        EXPECT_EQ(bytes(tables.ReadRecord(kKeyTableFile, record)), testing::RecordBytes(row.key));
        EXPECT_EQ(bytes(tables.ReadRecord(kPreviewTableFile, record)),
                  testing::RecordBytes(row.preview));
        if (!readsReplacement) {
            EXPECT_EQ(bytes(tables.ReadRecord(kJapaneseCodeTableFile, record)),
                      testing::RecordBytes(row.japaneseCode));
        }
    }
    if (readsReplacement) {
        EXPECT_EQ(bytes(tables.ReadRecord(kJapaneseCodeTableFile, 1)), testing::RecordBytes("B"));
        EXPECT_THROW(tables.ReadRecord(kJapaneseCodeTableFile, 2), RuntimeError);
    }
    tables.CloseAll();
    EXPECT_FALSE(fs::exists(Table(kPreviewTableName))) << "deleted for good once closed";

    WriteFile(Table(kPreviewTableName), testing::RecordBytes("C"));
    fs::rename(m_dir.Path() / "pin.old", Table(kKeyTableName));
    Convert("A发");
    EXPECT_EQ(AllReports(m_report),
              Failure(321, "Invalid file format: " + Table(kKeyTableName).string() +
                               ": it holds 4 records, where pj.dat holds 1 record and jj.dat 1 "
                               "record"))
        << "the replaced pj.dat and jj.dat hold one record each";
}

// A sink that removes the key table after taking its first character, as a user who deletes the
// tables while a long conversion runs.
class KeyTableRemovingSink final : public TextSink {
public:
    explicit KeyTableRemovingSink(fs::path keyTable) : m_keyTable(std::move(keyTable)) {}
    void Clear() override { m_text.clear(); }
    void Append(char32_t character) override {
        m_text.push_back(character);
        fs::remove(m_keyTable);
    }
    const std::u32string& Text() const { return m_text; }

private:
    fs::path m_keyTable;
    std::u32string m_text;
};

TEST_P(TableFaultTest, KeyTableRemovedDuringARun) {
    KeyTableRemovingSink japanese(Table(kKeyTableName));
    KeepingSink preview;
    StringSource input("发 东");
    const int openBefore = OpenFileCount();
    ConvertText(RunKind::PerCharacter, input, japanese, preview, m_paths,
                {m_dir.Path(), GetParam()}, m_report);
    EXPECT_EQ(OpenFileCount(), openBefore);
    // On Windows a file deleted while open may keep its name until the last handle closes
    // (Wine does; Windows 10 on NTFS frees the name at once): then its length by name is still
    // there and the run goes on as if nothing happened. The deletion itself always succeeds.
    bool nameKept = false;
#ifdef _WIN32
    nameKept = AllReports(m_report).empty();
#endif
    if (GetParam() == TableReading::InMemory || nameKept) {
        // The key table was read whole at the start; its length is the length read.
        EXPECT_EQ(japanese.Text(), U"敪 搶");
        EXPECT_EQ(AllReports(m_report), "");
    } else {
        // Each key search takes the key table's length by name, which is gone: each one after
        // the first reports and misses, and the run goes on.
        const std::string lost = "Error in Obtain|ErrorNo:53\r\nErrorInfo:File not found: " +
                                 Table(kKeyTableName).string() + "\n";
        EXPECT_EQ(japanese.Text(), U"敪仩仩");
        EXPECT_EQ(AllReports(m_report), lost + lost);
    }
    EXPECT_EQ(preview.Length(), 3u);
    EXPECT_FALSE(fs::exists(Table(kKeyTableName))) << "the run must not recreate the table";
}

INSTANTIATE_TEST_SUITE_P(BothReadings, TableFaultTest, testing::BothReadings(),
                         testing::ReadingName);

} // namespace
} // namespace pelmora::faults
