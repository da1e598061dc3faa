// Checks the shipped tables against their sources: a rebuild gives the same bytes, and the
// choices follow OpenCC. Both need the Debian sources and skip, saying why, where they are
// missing.
#include "chinese_word_list.h"
#include "table_files.h"
#include "table_test_support.h"

#include <gtest/gtest.h>

#include <unicode/uchar.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <set>
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

bool SourcesInstalled() {
    return ProgramInstalled("opencc_dict") && fs::exists("/usr/share/opencc/STCharacters.ocd2") &&
           UnihanInstalled() && fs::exists("/usr/share/mecab/dic/ipadic/Noun.csv") &&
           fs::exists("/var/lib/mecab/dic/ipadic-utf8/sys.dic") &&
           fs::exists("/usr/share/edict/kanjidic") && fs::exists("/usr/share/rime-data/essay.txt");
}

} // namespace

// One rebuild of every table and of the word model from the Debian packages, shared by the
// tests that check it.
class TableRebuild : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!SourcesInstalled()) {
            return;
        }
        s_out = std::make_unique<ScratchDirectory>();
        fs::copy_file(fs::path(PELMORA_DATA_DIR) / "README.md", s_out->Path() / "README.md");
        const std::string command = std::string("sh '") + PELMORA_BUILD_SCRIPT + "' --builder '" +
                                    PELMORA_TABLE_BUILDER + "' --out " + Quoted(s_out->Path()) +
                                    " >/dev/null";
        s_built = std::system(command.c_str()) == 0;
    }
    static void TearDownTestSuite() { s_out.reset(); }

    void SetUp() override {
        if (!SourcesInstalled()) {
            GTEST_SKIP() << "the table sources are not installed (Debian packages opencc, "
                            "libopencc1.1, unicode-data, mecab-ipadic, mecab-ipadic-utf8, "
                            "kanjidic, rime-essay)";
        }
        ASSERT_TRUE(s_built) << "tools/build_tables.sh failed";
    }

    static const fs::path& Out() { return s_out->Path(); }

private:
    static inline std::unique_ptr<ScratchDirectory> s_out;
    static inline bool s_built = false;
};

TEST_F(TableRebuild, GivesTheShippedTablesByteForByte) {
    const fs::path data = PELMORA_DATA_DIR;
    for (const char* file :
         {"pin.dat", "pj.dat", "jj.dat", "words.dat", "candidates.dat", "names.dat", "README.md"}) {
        EXPECT_TRUE(ReadFile((Out() / file).string()) == ReadFile((data / file).string()))
            << file << " differs from a rebuild; run tools/build_tables.sh";
    }
}

// The word list indexes essay's traditional words by the simplified spelling OpenCC's own t2s
// conversion gives each of them.
TEST(TableSources, WordListSpellsEssayAsOpenccDoes) {
    using namespace pelmora::tables;
    const fs::path essayPath = "/usr/share/rime-data/essay.txt";
    if (!ProgramInstalled("opencc") || !ProgramInstalled("opencc_dict") || !fs::exists(essayPath)) {
        GTEST_SKIP() << "OpenCC or rime-essay is not installed (Debian packages opencc, "
                        "rime-essay)";
    }
    const ScratchDirectory work;
    const std::string command =
        "cd " + Quoted(work.Path()) + " && cut -f1 " + Quoted(essayPath) + " >words.txt" +
        " && opencc -c t2s.json -i words.txt -o simplified.txt" +
        " && opencc_dict -i /usr/share/opencc/TSCharacters.ocd2 -o ts.txt -f ocd2 -t text" +
        " && opencc_dict -i /usr/share/opencc/TSPhrases.ocd2 -o tsp.txt -f ocd2 -t text";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream ts(work.Path() / "ts.txt");
    std::ifstream tsPhrases(work.Path() / "tsp.txt");
    const TraditionalToSimplified toSimplified(ReadOpenccCharacters(ts),
                                               ReadOpenccPhrases(tsPhrases));
    const auto words = ReadLines(work.Path() / "words.txt");
    const auto simplified = ReadLines(work.Path() / "simplified.txt");
    ASSERT_EQ(words.size(), simplified.size());
    ASSERT_GT(words.size(), 300000u);
    for (std::size_t i = 0; i < words.size(); ++i) {
        ASSERT_EQ(toSimplified.Convert(Utf8Characters(words[i])), Utf8Characters(simplified[i]))
            << words[i];
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
