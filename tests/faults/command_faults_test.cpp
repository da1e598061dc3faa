// pelmora-convert run as a child process against hostile input, arguments and output streams:
// a clear message and a non-zero exit for every failure, never exit 0.

#include "fault_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>

namespace pelmora::faults {
namespace {

namespace fs = std::filesystem;
using testing::Gbk;
using testing::TempDirectory;
using testing::WriteFile;
using testing::WriteTables;

// 100 MB; a fifth of it under the sanitizers, which run the conversion several times slower.
constexpr std::size_t kHugeInputBytes = (kSanitized ? 20 : 100) * 1000 * 1000;

class CommandFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteTables(m_tables.Path(), {{Gbk("东"), "\x93\x8C", Gbk("東")},
                                      {Gbk("发"), "\x94\xAD", Gbk("発")},
                                      {"A", "A", "A"}});
        m_before = TakeSnapshot(m_tables.Path());
    }
    void TearDown() override {
        EXPECT_TRUE(TakeSnapshot(m_tables.Path()) == m_before) << "a table was written";
    }
    fs::path Input(const std::string& text) {
        const fs::path path = m_work.Path() / "input.txt";
        WriteFile(path, text);
        return path;
    }
    ChildOutcome Run(std::vector<std::string> arguments, const std::optional<fs::path>& input,
                     OutputTarget target = OutputTarget::File) {
        arguments.insert(arguments.begin(), {"--tables", m_tables.Path().string()});
        return RunChild(PELMORA_CONVERT, arguments, m_work.Path(), input, target);
    }

    TempDirectory m_tables;
    TempDirectory m_work;
    DirectorySnapshot m_before;
};

bool ExitedWith(const ChildOutcome& outcome, int code) {
    return outcome.exited && outcome.exitCode == code;
}

// The input ends at the bad byte: what came before it is converted and written, as alone.
TEST_F(CommandFaultTest, InputThatIsNotUtf8EndsAtItsOffset) {
    const std::vector<std::pair<std::string, std::size_t>> inputs = {
        {"\x80", 0},                 // a continuation byte alone
        {"发\xC0\xAF", 3},           // an overlong "/"
        {"\xED\xA0\x80", 0},         // a surrogate
        {"A\xF4\x90\x80\x80", 1},    // past U+10FFFF
        {"东\xE5\x8F", 3},           // cut short at the end
        {"\xF8\x88\x80\x80\x80", 0}, // a five-byte form
        {"发东\xFF", 6},
    };
    for (const auto& [bytes, offset] : inputs) {
        for (const std::vector<std::string>& form :
             {std::vector<std::string>{}, {"--preview"}, {"--sjis"}}) {
            const ChildOutcome outcome = Run(form, Input(bytes));
            EXPECT_TRUE(ExitedWith(outcome, 2)) << offset << " " << outcome.exitCode;
            EXPECT_EQ(outcome.out, Run(form, Input(bytes.substr(0, offset))).out);
            EXPECT_NE(outcome.err.find("not valid UTF-8 (byte offset " + std::to_string(offset)),
                      std::string::npos)
                << outcome.err;
        }
    }
}

TEST_F(CommandFaultTest, ADamagedRecordPairFailsKeepingWhatWasWritten) {
    // 发 (record 2) carries 东's Shift-JIS code under the preview 発.
    WriteTables(
        m_tables.Path(),
        {{Gbk("东"), "\x93\x8C", Gbk("東")}, {Gbk("发"), "\x93\x8C", Gbk("発")}, {"A", "A", "A"}});
    m_before = TakeSnapshot(m_tables.Path());
    const std::vector<std::pair<std::vector<std::string>, std::string>> forms = {
        {{}, "搶"}, {{"--preview"}, "東"}, {{"--sjis"}, "\x93\x8C"}, {{"--words"}, "搶"}};
    for (const auto& [form, written] : forms) {
        const ChildOutcome outcome = Run(form, Input("东发A"));
        EXPECT_TRUE(ExitedWith(outcome, 1)) << outcome.exitCode;
        EXPECT_EQ(outcome.out, written);
        EXPECT_NE(outcome.err.find("ErrorNo:321"), std::string::npos) << outcome.err;
        EXPECT_NE(
            outcome.err.find("pj.dat and " + (m_tables.Path() / "jj.dat").string() + ", record 2"),
            std::string::npos)
            << outcome.err;
    }
}

// Each damage of the key table: the report on standard error, exit 1, nothing written, and
// the tables as they were, with nothing created beside them.
TEST_F(CommandFaultTest, EveryDamageOfTheKeyTableIsReportedWithExitOne) {
    for (const KeyTableDamage& damage : KeyTableDamages()) {
        SCOPED_TRACE(damage.what);
        CopyShippedTables(m_tables.Path());
        damage.apply(m_tables.Path());
        m_before = TakeSnapshot(m_tables.Path());
        for (const std::vector<std::string>& form :
             {std::vector<std::string>{}, {"--sjis"}, {"--candidates"}}) {
            const ChildOutcome outcome = Run(form, Input("鹽发 中"));
            EXPECT_TRUE(ExitedWith(outcome, 1)) << outcome.exitCode;
            EXPECT_EQ(outcome.out, "");
            EXPECT_TRUE(outcome.err.starts_with("Error in Command1Click\nErrorNo:321\n"));
            EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 3);
            EXPECT_TRUE(ReportsDamage(outcome.err, m_tables.Path() / kKeyTableName, damage))
                << outcome.err;
        }
    }
}

TEST_F(CommandFaultTest, EmptyInputAndNulBytes) {
    for (const std::vector<std::string>& form :
         {std::vector<std::string>{}, {"--preview"}, {"--sjis"}}) {
        const ChildOutcome empty = Run(form, Input(""));
        EXPECT_TRUE(ExitedWith(empty, 0)) << empty.err;
        EXPECT_EQ(empty.out, "");
    }
    // NUL is valid UTF-8: code 0 keeps a space.
    const ChildOutcome nul = Run({}, Input(std::string("发\0东", 7)));
    EXPECT_TRUE(ExitedWith(nul, 0)) << nul.err;
    EXPECT_EQ(nul.out, "敪 搶");
}

TEST_F(CommandFaultTest, UnreadableInputIsAnErrorNotAnEmptyResult) {
    const ChildOutcome closedInput = Run({}, std::nullopt);
    EXPECT_TRUE(ExitedWith(closedInput, 2)) << closedInput.exitCode;
    EXPECT_NE(closedInput.err.find("cannot read standard input"), std::string::npos)
        << closedInput.err;

    const ChildOutcome directory = Run({m_work.Path().string()}, Input("发"));
    EXPECT_TRUE(ExitedWith(directory, 2)) << directory.exitCode;
    EXPECT_NE(directory.err.find("cannot read " + m_work.Path().string()), std::string::npos)
        << directory.err;
}

TEST_F(CommandFaultTest, UnknownOptionsAndOddArgumentsAreUsageErrors) {
    for (const std::string argument : {"--bogus", "--TABLES", "-H", "--\xFF", "---", "-p"}) {
        const ChildOutcome outcome = Run({argument}, Input("发"));
        EXPECT_TRUE(ExitedWith(outcome, 2)) << argument << " " << outcome.exitCode;
        EXPECT_EQ(outcome.out, "") << argument;
        EXPECT_NE(outcome.err.find("unknown option"), std::string::npos) << outcome.err;
    }
    // Words that are no option are file names; a missing file is a clear error.
    for (const std::string argument : {"", "\xE2\x80\x94preview", "/nonexistent/input"}) {
        const ChildOutcome outcome = Run({argument}, Input("发"));
        EXPECT_TRUE(ExitedWith(outcome, 2)) << argument;
        EXPECT_NE(outcome.err.find("cannot open " + argument), std::string::npos) << outcome.err;
    }
}

// A missing table: the three lines of the report as every report has them, then one line that
// says, in Chinese and English, where the tables must be. Other reports keep three lines.
TEST_F(CommandFaultTest, AMissingTableIsReportedWithWhereTheTablesBelong) {
    for (const char* table : {kKeyTableName, kJapaneseCodeTableName, kPreviewTableName}) {
        const fs::path missing = m_tables.Path() / table;
        fs::rename(missing, m_work.Path() / "away");
        const ChildOutcome outcome = Run({}, Input("发"));
        fs::rename(m_work.Path() / "away", missing);
        EXPECT_TRUE(ExitedWith(outcome, 1));
        const std::string report =
            "Error in Command1Click\nErrorNo:53\nErrorInfo:File not found: " + missing.string() +
            "\n";
        ASSERT_TRUE(outcome.err.starts_with(report)) << outcome.err;
        const std::string where = outcome.err.substr(report.size());
        EXPECT_EQ(std::count(where.begin(), where.end(), '\n'), 1) << where;
        for (const char* said : {"应放在 pelmora-convert 所在的文件夹中", "--tables DIR",
                                 "must lie beside pelmora-convert"}) {
            EXPECT_NE(where.find(said), std::string::npos) << said;
        }
    }
}

TEST_F(CommandFaultTest, OutputThatCannotBeWrittenIsNeverSuccess) {
    const std::vector<std::vector<std::string>> runs = {
        {}, {"--preview"}, {"--sjis"}, {"--help"}, {"--version"}};
    std::vector<std::pair<OutputTarget, std::string>> targets = {
        {OutputTarget::Closed, "standard output is closed"},
        {OutputTarget::BrokenPipeSignalIgnored, "cannot write the output: Broken pipe"},
    };
#ifndef _WIN32
    targets.emplace_back(OutputTarget::DevFull, "cannot write the output: No space left on device");
#endif
    for (const auto& [target, message] : targets) {
        for (const std::vector<std::string>& arguments : runs) {
            const ChildOutcome outcome = Run(arguments, Input("发东A"), target);
            const std::string what = (arguments.empty() ? "" : arguments[0]) + " / " + message;
            EXPECT_TRUE(ExitedWith(outcome, 1)) << what << ": " << outcome.exitCode;
            EXPECT_NE(outcome.err.find(message), std::string::npos) << what << ": " << outcome.err;
        }
    }
    // Nothing to write is no excuse: a closed standard output is reported before any work.
    const ChildOutcome empty = Run({}, Input(""), OutputTarget::Closed);
    EXPECT_TRUE(ExitedWith(empty, 1)) << empty.exitCode;
    EXPECT_NE(empty.err.find("standard output is closed"), std::string::npos) << empty.err;

#ifndef _WIN32
    // Windows has no signal for it: a write to a broken pipe fails, as with the signal ignored.
    const ChildOutcome killed = Run({}, Input("发东A"), OutputTarget::BrokenPipe);
    EXPECT_FALSE(killed.exited) << "exit " << killed.exitCode;
    EXPECT_EQ(killed.signal, SIGPIPE);
#endif
}

// Writes `line` over and over into `path` until it holds kHugeInputBytes; returns the size.
long WriteRepeated(const fs::path& path, const std::string& line) {
    std::ofstream out(path, std::ios::binary);
    for (std::size_t written = 0; written < kHugeInputBytes; written += line.size()) {
        out << line;
    }
    out.close();
    return static_cast<long>(fs::file_size(path));
}

TEST_F(CommandFaultTest, HundredMegabyteInputStaysWithinTwiceItsSize) {
    // "发东 A中\n" is 12 bytes in and 12 out ("敪搶 A仩\n"); "x" is 1 byte in and 3 out ("仩"),
    // the largest growth an input can cause. The input is held whole; the output must not be.
    // The output stays in its file, so that this test process stays small: its own peak counts
    // into the child's.
    struct Case {
        std::string what;
        std::string line;
        std::vector<std::string> arguments;
        long outputPerInputByte;
        std::string start;
    };
    const std::vector<Case> cases = {
        {"text", "发东 A中\n", {}, 1, "敪搶 A仩\n敪搶 A仩\n"},
        {"unmapped letters", "xxxx", {}, 3, "仩仩仩仩"},
        {"unmapped letters, --sjis", "xxxx", {"--sjis"}, 2, "\x81\xA0\x81\xA0"},
    };
    for (const Case& huge : cases) {
        const fs::path input = m_work.Path() / "huge.txt";
        const long inputBytes = WriteRepeated(input, huge.line);
        const ChildOutcome outcome = Run(huge.arguments, input, OutputTarget::LargeFile);
        fs::remove(input);
        ASSERT_TRUE(ExitedWith(outcome, 0)) << outcome.err;
        const fs::path output = m_work.Path() / "child.out";
        EXPECT_EQ(static_cast<long>(fs::file_size(output)), inputBytes * huge.outputPerInputByte);
        std::string start(huge.start.size(), '\0');
        std::ifstream(output, std::ios::binary).read(start.data(), std::ssize(start));
        EXPECT_EQ(start, huge.start);
        fs::remove(output);
        const long peakBytes = outcome.peakKibibytes * 1024;
        // AddressSanitizer adds shadow memory and keeps freed blocks, so its bound is wider.
        EXPECT_LE(peakBytes, (kSanitized ? 3 : 2) * inputBytes)
            << "peak resident memory " << outcome.peakKibibytes << " KiB";
        std::printf("%ld-byte input (%s): peak resident memory %ld KiB, %.2f times the input\n",
                    inputBytes, huge.what.c_str(), outcome.peakKibibytes,
                    static_cast<double>(peakBytes) / static_cast<double>(inputBytes));
    }
}

} // namespace
} // namespace pelmora::faults
