// Checks the shipped tables against their sources: a rebuild gives the same bytes, and the
// choices follow OpenCC. Both need the Debian sources and skip, saying why, where they are
// missing.
#include "table_test_support.h"

#include <gtest/gtest.h>

#include <unicode/uchar.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;
using namespace pelmora::table_tests;

namespace {

bool ProgramInstalled(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

bool UnihanInstalled() {
    return fs::exists("/usr/share/unicode/Unihan_Variants.txt.bz2") ||
           fs::exists("/usr/share/unicode/Unihan_Variants.txt");
}

// A fresh directory under the system temporary directory, removed with the object.
class ScratchDirectory {
public:
    ScratchDirectory() {
        std::string pattern = (fs::temp_directory_path() / "pelmora-tables-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a scratch directory");
        }
        m_path = pattern;
    }
    ~ScratchDirectory() { fs::remove_all(m_path); }
    const fs::path& Path() const { return m_path; }

private:
    fs::path m_path;
};

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

// Every GB2312 hanzi, one per line, as UTF-8, in code order.
std::vector<std::string> Gb2312Hanzi() {
    const StrictConverter desktop("windows-936");
    std::vector<std::string> hanzi;
    for (int lead = 0xB0; lead <= 0xF7; ++lead) {
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            const auto text = desktop.Decode({static_cast<char>(lead), static_cast<char>(trail)});
            // The five empty cells D7FA-D7FE decode to private use, not to hanzi.
            if (text && text->size() == 1 && u_hasBinaryProperty((*text)[0], UCHAR_IDEOGRAPHIC)) {
                hanzi.push_back(ToUtf8(*text));
            }
        }
    }
    return hanzi;
}

bool InJisX0208(const std::string& utf8) {
    const auto sjis = StrictConverter("windows-932").Encode(FromUtf8(utf8));
    if (!sjis || sjis->size() != 2) {
        return false;
    }
    const auto lead = static_cast<std::uint8_t>((*sjis)[0]);
    return (lead >= 0x81 && lead <= 0x84) || (lead >= 0x88 && lead <= 0x9F) ||
           (lead >= 0xE0 && lead <= 0xEA);
}

std::vector<std::string> ReadLines(const fs::path& path) {
    std::istringstream text(ReadFile(path.string()));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    return lines;
}

} // namespace

TEST(TableSources, RebuildGivesTheShippedTablesByteForByte) {
    if (!ProgramInstalled("opencc_dict") || !fs::exists("/usr/share/opencc/STCharacters.ocd2") ||
        !UnihanInstalled() || !fs::exists("/usr/share/mecab/dic/ipadic/Noun.csv") ||
        !fs::exists("/var/lib/mecab/dic/ipadic-utf8/sys.dic") ||
        !fs::exists("/usr/share/edict/kanjidic") ||
        !fs::exists("/usr/share/rime-data/essay.txt")) {
        GTEST_SKIP() << "the table sources are not installed (Debian packages opencc, "
                        "libopencc1.1, unicode-data, mecab-ipadic, mecab-ipadic-utf8, kanjidic, "
                        "rime-essay)";
    }
    const ScratchDirectory out;
    const fs::path data = PELMORA_DATA_DIR;
    fs::copy_file(data / "README.md", out.Path() / "README.md");
    const std::string command = std::string("sh '") + PELMORA_BUILD_SCRIPT + "' --builder '" +
                                PELMORA_TABLE_BUILDER + "' --out " + Quoted(out.Path()) +
                                " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (const char* file :
         {"pin.dat", "pj.dat", "jj.dat", "words.dat", "candidates.dat", "names.dat", "README.md"}) {
        EXPECT_TRUE(ReadFile((out.Path() / file).string()) == ReadFile((data / file).string()))
            << file << " differs from a rebuild; run tools/build_tables.sh";
    }
}

// OpenCC's own program converts each GB2312 hanzi out of context (s2t, then t2jp); wherever
// that gives a JIS X 0208 kanji the tables must agree at least 99% of the time.
TEST(TableSources, TablesFollowOpenccOutOfContext) {
    if (!ProgramInstalled("opencc")) {
        GTEST_SKIP() << "OpenCC's opencc program is not installed (Debian package opencc)";
    }
    const ScratchDirectory work;
    const auto hanzi = Gb2312Hanzi();
    ASSERT_EQ(hanzi.size(), 6763u);
    {
        std::ofstream input(work.Path() / "hanzi.txt");
        for (const auto& character : hanzi) {
            input << character << "\n";
        }
    }
    const std::string command = "cd " + Quoted(work.Path()) +
                                " && opencc -c s2t.json -i hanzi.txt -o traditional.txt"
                                " && opencc -c t2jp.json -i traditional.txt -o japanese.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const auto japanese = ReadLines(work.Path() / "japanese.txt");
    ASSERT_EQ(japanese.size(), hanzi.size());

    const auto previews = PreviewsByKey(ReadTables(PELMORA_DATA_DIR));
    const StrictConverter desktop("windows-936");
    int compared = 0;
    int agreeing = 0;
    for (std::size_t i = 0; i < hanzi.size(); ++i) {
        if (!InJisX0208(japanese[i])) {
            continue;
        }
        ++compared;
        const auto found = previews.find(*desktop.Encode(FromUtf8(hanzi[i])));
        agreeing += found != previews.end() && found->second == japanese[i] ? 1 : 0;
    }
    std::cout << "[ tables ] agree with OpenCC on " << agreeing << " of " << compared
              << " GB2312 hanzi\n";
    EXPECT_GT(compared, 4700);
    EXPECT_GE(agreeing * 100, compared * 99) << agreeing << " of " << compared << " agree";
}
