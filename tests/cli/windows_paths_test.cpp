// Windows: a program folder and table and input folders whose names the system's ANSI code page
// may not spell. CTest runs these under Wine with code pages 936, 932 and 1252.
#include "child_process.h"
#include "table_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <windows.h>

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using testing::Gbk;
using testing::TempDirectory;
using testing::WriteFile;
using testing::WriteTables;

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

class WindowsPathsTest : public ::testing::Test {
protected:
    // A user's download folder, "C:\Users\张三\下载\pelmora 0.3" in spirit.
    fs::path ProgramFolder() const { return m_root.Path() / u8"张三" / u8"下载" / u8"pelmora 0.3"; }

    void WriteSampleTables(const fs::path& folder) const {
        fs::create_directories(folder);
        WriteTables(folder,
                    {{Gbk("东"), "\x93\x8C", Gbk("東")}, {Gbk("发"), "\x94\xAD", Gbk("発")}});
    }

    testing::ChildOutcome Run(const fs::path& program, const std::vector<std::string>& arguments,
                              const std::string& input) {
        const fs::path in = m_root.Path() / "in.txt";
        WriteFile(in, input);
        return testing::RunChild(Utf8(program), arguments, m_root.Path(), in);
    }

    TempDirectory m_root;
};

TEST_F(WindowsPathsTest, RunsUnderTheAnsiCodePageAskedFor) {
    const char* expected = std::getenv("PELMORA_EXPECT_ANSI_CODE_PAGE");
    ASSERT_NE(expected, nullptr) << "the test's environment names the code page it expects";
    EXPECT_EQ(GetACP(), std::stoul(expected));
}

TEST_F(WindowsPathsTest, ProgramInAChineseFolderFindsTheTablesBesideIt) {
    const fs::path program = ProgramFolder() / "pelmora-convert.exe";
    WriteSampleTables(ProgramFolder());
    fs::copy_file(PELMORA_CONVERT, program);

    const testing::ChildOutcome converted = Run(program, {}, "发东");
    EXPECT_EQ(converted.exitCode, 0) << converted.err;
    EXPECT_EQ(converted.out, "敪搶");

    // A missing table is named in full, in UTF-8, whatever the code page.
    fs::remove(ProgramFolder() / "jj.dat");
    const testing::ChildOutcome missing = Run(program, {"--preview"}, "发");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.starts_with("Error in Command1Click\nErrorNo:53\nErrorInfo:File not "
                                        "found: " +
                                        Utf8(ProgramFolder() / "jj.dat") + "\n"))
        << missing.err;
}

TEST_F(WindowsPathsTest, TablesAndInputInChineseFolders) {
    const fs::path tables = m_root.Path() / u8"游戏" / u8"码表";
    WriteSampleTables(tables);
    const fs::path input = m_root.Path() / u8"游戏" / u8"名字 发东.txt";
    WriteFile(input, "东发");

    const testing::ChildOutcome fromFile =
        Run(PELMORA_CONVERT, {"--tables", Utf8(tables), "--preview", Utf8(input)}, "");
    EXPECT_EQ(fromFile.exitCode, 0) << fromFile.err;
    EXPECT_EQ(fromFile.out, "東発");

    const testing::ChildOutcome sjis =
        Run(PELMORA_CONVERT, {"--tables", Utf8(tables), "--sjis"}, "发");
    EXPECT_EQ(sjis.out, "\x94\xAD");

    const testing::ChildOutcome noInput =
        Run(PELMORA_CONVERT, {"--tables", Utf8(tables), Utf8(tables / u8"没有.txt")}, "");
    EXPECT_EQ(noInput.exitCode, 2);
    EXPECT_NE(noInput.err.find("cannot open " + Utf8(tables / u8"没有.txt")), std::string::npos)
        << noInput.err;
}

} // namespace
} // namespace pelmora
