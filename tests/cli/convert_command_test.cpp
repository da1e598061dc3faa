#include "child_process.h"
#include "command_options.h"
#include "table_fixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace pelmora {
namespace {

using testing::Gbk;
using testing::TempDirectory;
using testing::WriteFile;
using testing::WriteTables;

using Arguments = std::vector<std::string>;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class ConvertCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteTables(m_tables.Path(), {
                                         {Gbk("东"), "\x93\x8C", Gbk("東")},
                                         {Gbk("发"), "\x94\xAD", Gbk("発")},
                                         {"A", "A", "A"},
                                     });
    }

    // Runs pelmora-convert with `arguments` on `input` as standard input.
    Outcome Run(const Arguments& arguments, const std::string& input = "") {
        const std::filesystem::path in = m_work.Path() / "in";
        WriteFile(in, input);
        const testing::ChildOutcome child =
            testing::RunChild(PELMORA_CONVERT, arguments, m_work.Path(), in);
        return {child.exited ? child.exitCode : -1, child.out, child.err};
    }
    // --tables with the test's tables, then `more`.
    Arguments Tables(const Arguments& more = {}) const {
        Arguments arguments{"--tables", m_tables.Path().string()};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    }

    TempDirectory m_tables;
    TempDirectory m_work;
};

TEST_F(ConvertCommandTest, WritesEachFormExactly) {
    Outcome code = Run(Tables(), "发东 A中\n");
    EXPECT_EQ(code.status, 0);
    EXPECT_EQ(code.out, "敪搶 A仩\n");
    EXPECT_EQ(code.err, "");

    Outcome preview = Run(Tables({"--preview"}), "发东 A中\n");
    EXPECT_EQ(preview.status, 0);
    EXPECT_EQ(preview.out, "発東 A□\n");

    Outcome bytes = Run(Tables({"--sjis"}), "发东A");
    EXPECT_EQ(bytes.status, 0);
    EXPECT_EQ(bytes.out, "\x94\xAD\x93\x8C"
                         "A")
        << "the Shift-JIS bytes of 発東A";
}

TEST_F(ConvertCommandTest, ReadsAFileOrStandardInput) {
    WriteFile(m_work.Path() / "text.txt", "发");
    EXPECT_EQ(Run(Tables({(m_work.Path() / "text.txt").string()})).out, "敪");
    EXPECT_EQ(Run(Tables({"-"}), "东").out, "搶");
    EXPECT_EQ(Run(Tables({"--", "-"}), "东").out, "搶");
    Outcome missing = Run(Tables({"/nonexistent/file.txt"}));
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("/nonexistent/file.txt"), std::string::npos);
}

TEST_F(ConvertCommandTest, ReadsTheFilesUsersHave) {
    // What Windows Notepad and a Chinese Windows system write: UTF-8 with a byte order mark,
    // GBK, UTF-16 with a byte order mark.
    const std::string gbk = Gbk("发东 A中");
    const std::string utf16le = std::string("\xFF\xFE\xD1\x53\x1C\x4E", 6);
    for (const auto& [arguments, input] : std::vector<std::pair<Arguments, std::string>>{
             {{}, "\xEF\xBB\xBF发东 A中"},
             {{"--from", "gbk"}, gbk},
             {{"--from", "CP936"}, gbk},
             {{}, utf16le + std::string("\x20\x00\x41\x00\x2D\x4E", 6)},
             {{"--from", "utf-16"}, utf16le + std::string("\x20\x00\x41\x00\x2D\x4E", 6)},
             {{"--from=UTF-16"},
              std::string("\xFE\xFF\x53\xD1\x4E\x1C\x00\x20\x00\x41\x4E\x2D", 12)},
         }) {
        Outcome outcome = Run(Tables(arguments), input);
        EXPECT_EQ(outcome.status, 0) << ::testing::PrintToString(arguments) << outcome.err;
        EXPECT_EQ(outcome.out, "敪搶 A仩") << ::testing::PrintToString(arguments);
    }
    Outcome unasked = Run(Tables(), gbk);
    EXPECT_EQ(unasked.status, 2);
    EXPECT_EQ(unasked.out, "");
    EXPECT_EQ(unasked.err, "pelmora-convert: the input is not valid UTF-8 (byte offset 0: B7); "
                           "it reads as GBK, so try --from gbk\n");
    EXPECT_EQ(Run(Tables({"--from", "gb18030"}), gbk + "\x81\x30\x81\x30").out, "敪搶 A仩仩")
        << "a four-byte GB18030 character is a miss";
    Outcome contradicted = Run(Tables({"--from=utf-16be"}), utf16le);
    EXPECT_EQ(contradicted.status, 2);
    EXPECT_EQ(contradicted.err, "pelmora-convert: the input starts with a UTF-16LE byte order "
                                "mark, but --from names UTF-16BE\n" +
                                    std::string(kTryHelp) + "\n");
    // UTF-16 by its byte order mark: without a mark, or with UTF-8's, the order is unknown.
    for (const std::string& unmarked : {utf16le.substr(2), std::string("\xEF\xBB\xBF发")}) {
        Outcome refused = Run(Tables({"--from", "utf-16"}), unmarked);
        EXPECT_EQ(refused.status, 2);
        EXPECT_EQ(refused.out, "");
        EXPECT_NE(refused.err.find(unmarked.size() == 4 ? "give --from utf-16le or --from utf-16be"
                                                        : "UTF-8 byte order mark"),
                  std::string::npos)
            << refused.err;
    }
}

TEST_F(ConvertCommandTest, RepeatingAnOptionIsHarmlessUnlessItContradictsItself) {
    EXPECT_EQ(Run(Tables({"--preview", "--preview"}), "发").out, "発");
    EXPECT_EQ(Run(Tables(Tables({"--sjis", "--sjis"})), "A").out, "A");
    EXPECT_EQ(Run(Tables({"--from", "gbk", "--from", "GBK"}), Gbk("发")).out, "敪");
    Outcome twice = Run(Tables({"--from", "gbk", "--from", "utf-8"}), "发");
    EXPECT_EQ(twice.status, 2);
    EXPECT_EQ(twice.err.rfind("pelmora-convert: --from given twice with different values\n", 0), 0u)
        << twice.err;
    EXPECT_NE(Run(Tables({"--tables", "/elsewhere"}), "A").err.find("--tables given twice"),
              std::string::npos);
    const std::string folder = m_tables.Path().string();
    EXPECT_EQ(Run({"--tables=" + folder, "--tables", folder + "/", "--from=UTF8"}, "发").out, "敪")
        << "a folder and the same folder with a slash are one value";
    Outcome file = Run({"--tables", (m_tables.Path() / "pin.dat").string()}, "发");
    EXPECT_EQ(file.status, 2);
    EXPECT_NE(file.err.find("pin.dat is not a folder"), std::string::npos) << file.err;
}

#ifndef _WIN32
// A POSIX pseudo-terminal; Windows consoles are tested with the Windows cases.
TEST_F(ConvertCommandTest, OnATerminalItSaysHowToEndTheInput) {
    // Standard input is a terminal the test types into: the text, then Ctrl-D on a line of its
    // own. Standard output and standard error go to files.
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(grantpt(terminal), 0);
    ASSERT_EQ(unlockpt(terminal), 0);
    const std::string typist = ptsname(terminal);
    const std::filesystem::path out = m_work.Path() / "out", err = m_work.Path() / "err";
    const pid_t child = fork();
    if (child == 0) {
        setsid();
        const int input = open(typist.c_str(), O_RDWR);
        dup2(input, STDIN_FILENO);
        dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
        dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
        const std::string tables = m_tables.Path().string();
        execl(PELMORA_CONVERT, PELMORA_CONVERT, "--tables", tables.c_str(), nullptr);
        _exit(127);
    }
    const std::string typed = "发\n\x04";
    ASSERT_EQ(write(terminal, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    int status = 0;
    waitpid(child, &status, 0);
    close(terminal);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(testing::ReadWholeFile(out), "敪\n");
    EXPECT_EQ(testing::ReadWholeFile(err),
              "pelmora-convert: reading from the terminal until Ctrl-D (or give a "
              "FILE to convert)\n");
    EXPECT_EQ(Run(Tables(), "发").err, "") << "nothing is said when the input is not a terminal";
}

// The output keeps pace with the input: each line's result is out before the next line is
// typed, in every form.
TEST_F(ConvertCommandTest, OutputKeepsPaceWithInput) {
    const std::vector<std::pair<Arguments, std::string>> forms = {
        {{}, "敪\n"},           {{"--preview"}, "発\n"},        {{"--sjis"}, "\x94\xAD\n"},
        {{"--words"}, "敪\n"},  {{"--candidates"}, "发\t発\n"}, {{"--names"}, "敪\n"},
        {{"--reverse"}, "ｷ｢\n"}};
    for (const auto& [arguments, firstLine] : forms) {
        int input[2], output[2];
        ASSERT_EQ(pipe(input), 0);
        ASSERT_EQ(pipe(output), 0);
        const pid_t child = fork();
        if (child == 0) {
            dup2(input[0], STDIN_FILENO);
            dup2(output[1], STDOUT_FILENO);
            close(input[1]);
            close(output[0]);
            std::vector<std::string> all = Tables(arguments);
            std::vector<char*> argv{const_cast<char*>(PELMORA_CONVERT)};
            for (std::string& argument : all) {
                argv.push_back(argument.data());
            }
            argv.push_back(nullptr);
            execv(PELMORA_CONVERT, argv.data());
            _exit(127);
        }
        close(input[0]);
        close(output[1]);
        ASSERT_EQ(write(input[1], "发\n", 4), 4);
        std::string seen;
        while (seen.size() < firstLine.size()) {
            pollfd ready{output[0], POLLIN, 0};
            ASSERT_EQ(poll(&ready, 1, 20000), 1) << "no output while the input is still open";
            char buffer[64];
            const ssize_t got = read(output[0], buffer, sizeof buffer);
            ASSERT_GT(got, 0);
            seen.append(buffer, static_cast<std::size_t>(got));
        }
        EXPECT_EQ(seen, firstLine) << ::testing::PrintToString(arguments);
        close(input[1]);
        char rest[64];
        while (read(output[0], rest, sizeof rest) > 0) {
        }
        close(output[0]);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
}
#endif

// Memory stays bounded whatever the size of the input, in every form: 8 MiB of input in less
// than 10 MiB, the test process's own share included.
TEST_F(ConvertCommandTest, MemoryStaysBoundedWhateverTheInputSize) {
    const std::filesystem::path in = m_work.Path() / "large";
    {
        std::ofstream file(in, std::ios::binary);
        const std::string block = [] {
            std::string lines;
            while (lines.size() < (1 << 20)) {
                lines += "发东 A中\n";
            }
            return lines;
        }();
        for (int megabyte = 0; megabyte < 8; ++megabyte) {
            file << block;
        }
    }
    for (const Arguments& arguments :
         std::vector<Arguments>{{}, {"--words"}, {"--candidates"}, {"--reverse"}}) {
        const testing::ChildOutcome outcome =
            testing::RunChild(PELMORA_CONVERT, Tables(arguments), m_work.Path(), in,
                              testing::OutputTarget::LargeFile);
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
#ifndef PELMORA_SANITIZED
        // AddressSanitizer's shadow memory and its quarantine of freed blocks (up to 256 MiB)
        // would be measured instead of the program.
        EXPECT_LT(outcome.peakKibibytes, 10 * 1024) << ::testing::PrintToString(arguments);
#endif
    }
}

TEST_F(ConvertCommandTest, WordsAndCandidates) {
    // 发东 is a word in which 发 takes 髪 (94 AF); 发 can be 発, 髪 or the extension kanji 琪.
    const auto record = [](const std::string& bytes) { return testing::RecordBytes(bytes); };
    WriteFile(
        m_tables.Path() / "words.dat",
        testing::WordModelEntryBytes({Gbk("发"), Gbk("东")}, 100, {{0, "\x94\xAF", Gbk("髪")}}));
    WriteFile(m_tables.Path() / "candidates.dat", std::string("\0\3", 2) + Gbk("发") +
                                                      "\x94\xAD\x94\xAF\xEE\x4C" + Gbk("発") +
                                                      Gbk("髪") + record(Gbk("琪")));
    EXPECT_EQ(Run(Tables({"--words", "--preview"}), "发东 发").out, "髪東 発");
    EXPECT_EQ(Run(Tables({"--words", "--sjis"}), "发东").out, "\x94\xAF\x93\x8C");
    EXPECT_EQ(Run(Tables({"--preview"}), "发东").out, "発東") << "per character by default";

    Outcome listed = Run(Tables({"--candidates"}), "发东\r\nA发");
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, "发\t発 髪 琪*\n东\t東\nA\tA\n发\t発 髪 琪*\n")
        << "a character candidates.dat does not list has its pick alone";
    EXPECT_EQ(Run(Tables({"--candidates", "--words"}), "发东 发").out,
              "发\t髪 発 琪*\n东\t東\n \t\n发\t発 髪 琪*\n")
        << "the word-aware run's pick comes first";
    EXPECT_EQ(Run(Tables({"--candidates", "--words", "--jis-x0208"}), "发东 发").out,
              "发\t髪 発\n东\t東\n \t\n发\t発 髪\n")
        << "--jis-x0208 lists no extension kanji";

    std::filesystem::remove(m_tables.Path() / "candidates.dat");
    std::filesystem::remove(m_tables.Path() / "words.dat");
    EXPECT_EQ(Run(Tables({"--candidates", "--words"}), "发中").out, "发\t発\n中\t\n")
        << "without the files: the pick alone, nothing for a miss, no error";
    EXPECT_EQ(Run(Tables({"--candidates", "--preview"}), "发").status, 2);
}

// The game's text read back: its code text, its bytes and Japanese text. What is not Shift-JIS
// is "□", counted on standard error after the whole output, with the status of unreadable
// input.
TEST_F(ConvertCommandTest, ReverseReadsTheGameTextBack) {
    Outcome chinese = Run(Tables({"--reverse"}), "敪搶 A仩\r\n");
    EXPECT_EQ(chinese.status, 0) << chinese.err;
    EXPECT_EQ(chinese.out, "发东 A□\r\n");
    EXPECT_EQ(chinese.err, "");
    EXPECT_EQ(Run(Tables({"--reverse", "--preview"}), "敪搶").out, "発東");
    EXPECT_EQ(Run(Tables({"--reverse", "--japanese"}), "発東ｱ").out, "发东ｱ");
    EXPECT_EQ(Run(Tables({"--reverse", "--from", "sjis"}), "\x94\xAD\xB1").out, "发ｱ");

    Outcome damaged = Run(Tables({"--reverse", "--from=shift-jis"}), "\x94\xAD\x85\x40\xA0\x94");
    EXPECT_EQ(damaged.status, 2);
    EXPECT_EQ(damaged.out, "发□□□");
    EXPECT_EQ(damaged.err,
              "pelmora-convert: 3 places of the input are not Shift-JIS and show as \"□\"\n");
    EXPECT_EQ(Run(Tables({"--reverse", "--japanese"}), "们").status, 2);
    std::filesystem::remove(m_tables.Path() / "pj.dat");
    Outcome noTables = Run(Tables({"--reverse"}), "敪");
    EXPECT_EQ(noTables.status, 1);
    EXPECT_EQ(noTables.err.rfind("Error in ReadBack\nErrorNo:53\n", 0), 0u) << noTables.err;
}

TEST_F(ConvertCommandTest, EmptyInputGivesEmptyOutput) {
    Outcome outcome = Run(Tables(), "");
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, "");
}

TEST_F(ConvertCommandTest, InvalidUtf8EndsTheOutputAtItsOffset) {
    Outcome outcome = Run(Tables(), "发\xFF东");
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "敪") << "what came before the bad byte is converted";
    EXPECT_EQ(outcome.err, "pelmora-convert: the input is not valid UTF-8 (byte offset 3: FF)\n");
}

TEST_F(ConvertCommandTest, ErrorReportsGoToStandardErrorAsThreeLines) {
    WriteFile(m_tables.Path() / "jj.dat", Gbk("東発"));
    Outcome outcome = Run(Tables(), "发");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "Error in Command1Click\nErrorNo:321\nErrorInfo:Invalid file format: " +
                               (m_tables.Path() / "jj.dat").string() +
                               ": it holds 2 records, where pin.dat holds 3 records and pj.dat 3 "
                               "records\n");
}

TEST_F(ConvertCommandTest, UsageErrorsAreOneLineAndAPointerToTheHelp) {
    const std::string tryLine = std::string(kTryHelp) + "\n";
    for (const Arguments& arguments : std::vector<Arguments>{{"--bogus"},
                                                             {"--preview", "--sjis"},
                                                             {"--tables"},
                                                             {"a", "b"},
                                                             {"-x"},
                                                             {"--from"},
                                                             {"--from", "latin1"},
                                                             {"--from=latin1"},
                                                             {"--preview=yes"},
                                                             {"--words", "--names"},
                                                             {"--sjis", "--preview", "--sjis"},
                                                             {"--reverse", "--words"},
                                                             {"--reverse", "--sjis"},
                                                             {"--jis-x0208", "--reverse"},
                                                             {"--japanese"},

                                                             {"--tables="},
                                                             {"--from="},
                                                             {"--tables", ""},
                                                             {"--from", ""}}) {
        const std::string shown = ::testing::PrintToString(arguments);
        Outcome outcome = Run(Tables(arguments));
        EXPECT_EQ(outcome.status, 2) << shown;
        EXPECT_EQ(outcome.err.rfind("pelmora-convert: ", 0), 0u) << shown;
        const std::size_t lineEnd = outcome.err.find('\n');
        EXPECT_EQ(lineEnd + 1 + tryLine.size(), outcome.err.size()) << shown << outcome.err;
        EXPECT_EQ(outcome.err.compare(lineEnd + 1, std::string::npos, tryLine), 0) << shown;
        EXPECT_EQ(outcome.out, "") << shown;
        const bool empty = arguments.back().empty() || arguments.back().ends_with('=');
        EXPECT_EQ(outcome.err.find("not an empty value") != std::string::npos, empty) << shown;
    }
}

TEST_F(ConvertCommandTest, HelpAndVersion) {
    Outcome help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: pelmora-convert", 0), 0u);
    EXPECT_EQ(Run({"-h"}).out, help.out);
    Outcome version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "pelmora-convert 0.3.0\n");
}

#ifndef _WIN32
// Linux only: no other system has a device that is always full.
TEST_F(ConvertCommandTest, AFullOutputIsAnErrorNotSuccess) {
    const std::filesystem::path in = m_work.Path() / "in";
    WriteFile(in, "发东");
    const testing::ChildOutcome outcome = testing::RunChild(
        PELMORA_CONVERT, Tables(), m_work.Path(), in, testing::OutputTarget::DevFull);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err.find("cannot write"), std::string::npos) << outcome.err;
}
#endif

TEST_F(ConvertCommandTest, ByDefaultTheTablesBesideTheProgramAreRead) {
    // Without --tables the program looks beside itself; a missing table there is a report,
    // never a crash, and the file is not created.
    const std::filesystem::path beside =
        std::filesystem::path(PELMORA_CONVERT).parent_path() / "pin.dat";
    Outcome outcome = Run({}, "A");
    if (std::filesystem::exists(beside)) {
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.out, "A");
    } else {
        EXPECT_EQ(outcome.status, 1);
        EXPECT_NE(outcome.err.find(beside.string()), std::string::npos) << outcome.err;
        EXPECT_FALSE(std::filesystem::exists(beside));
    }
}

} // namespace
} // namespace pelmora
