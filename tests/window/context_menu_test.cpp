#include "fake_view.h"
#include "frm_main.h"
#include "shift_jis.h"
#include "table_fixture.h"
#include "window_texts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

namespace pelmora {
namespace {

using testing::CandidateEntryBytes;
using testing::FakeView;
using testing::Gbk;
using testing::RecordingReport;
using testing::SampleRows;
using testing::TempDirectory;
using testing::WordEntryBytes;
using testing::WriteFile;
using testing::WriteTables;

// Shift-JIS of 発 and 髪, and of 琪 in code page 932's extension rows.
const std::string kHatsu = "\x94\xAD";
const std::string kHair = "\x94\xAF";
const std::string kQi = "\xEE\x4C";

std::vector<std::string> Texts(const std::vector<MenuItem>& items) {
    std::vector<std::string> texts;
    for (const MenuItem& item : items) {
        texts.push_back(item.text);
    }
    return texts;
}

// The kanji a candidate entry offers: the first character of its text.
char32_t OfferedKanji(const MenuItem& item) {
    return DecodeUtf8(item.text).front();
}

std::size_t Length(const std::string& utf8) {
    return DecodeUtf8(utf8).size();
}

// The code text as a game reads it after it is pasted: its code page 936 bytes as Shift-JIS.
std::u32string ReadByGame(const std::string& codeText) {
    const std::optional<std::string> bytes = EncodeCodePage936(DecodeUtf8(codeText));
    EXPECT_TRUE(bytes.has_value()) << codeText;
    return bytes ? testing::DecodeShiftJis(*bytes) : U"";
}

class ContextMenuTest : public ::testing::Test {
protected:
    // 发 can be 発 (its default), 髪 or the extension kanji 琪; 东 has no candidates. The words
    // make 发东 髪東 and 发东发 発東髪.
    ContextMenuTest() {
        WriteTables(Dir(), SampleRows());
        WriteFile(
            Dir() / kWordTableName,
            WordEntryBytes({Gbk("发"), Gbk("东")}, {kHair, "\x93\x8C"}, {Gbk("髪"), Gbk("東")}) +
                WordEntryBytes({Gbk("发"), Gbk("东"), Gbk("发")}, {kHatsu, "\x93\x8C", kHair},
                               {Gbk("発"), Gbk("東"), Gbk("髪")}));
        WriteFile(Dir() / kCandidateTableName,
                  CandidateEntryBytes(Gbk("发"), {kHatsu, kHair, kQi},
                                      {Gbk("発"), Gbk("髪"), Gbk("琪")}));
    }

    const std::filesystem::path& Dir() const { return m_tables.Path(); }
    void Convert(const std::string& input) {
        m_view.Text(Control::Text1) = input;
        m_form.cmdSwitch_Click();
    }
    // Opens the context menu of `box` at `index`, picks the entry `pick` (or dismisses the
    // menu), and returns the entries it offered.
    std::vector<MenuItem> OpenMenu(Control box, std::size_t index,
                                   std::optional<std::size_t> pick = std::nullopt) {
        m_view.pickFromMenu = [pick](const std::vector<MenuItem>&) { return pick; };
        const std::size_t before = m_view.menus.size();
        m_form.ContextMenu(box, index);
        return m_view.menus.size() > before ? m_view.menus.back().items : std::vector<MenuItem>{};
    }
    std::string Shown(Control box) { return m_view.Text(box); }

    TempDirectory m_tables;
    FakeView m_view;
    frmMain m_form{m_view, {m_tables.Path(), TableReading::PerRecord}};
};

// The candidates of the character under the pointer, each with the word that suggests it (one
// in the input first), then the word redo and the box's own commands; the current kanji
// checked. The character is traced to the input that was converted, not to Text1 as edited.
TEST_F(ContextMenuTest, OffersTheCandidatesOfTheConvertedCharacterThenTheBoxCommands) {
    Convert("发东");
    m_view.Text(Control::Text1) = "东";
    const std::vector<MenuItem> fa = OpenMenu(Control::Text3, 0);
    EXPECT_EQ(Texts(fa), (std::vector<std::string>{"発（发东发）", "髪（发东）",
                                                   "琪（扩展区汉字，部分游戏不能显示）",
                                                   "按词语选字", "复制", "全选"}));
    for (std::size_t i = 0; i < fa.size(); ++i) {
        EXPECT_EQ(fa[i].checked, i == 0) << i;
        EXPECT_EQ(fa[i].separatorBefore, i == 3 || i == 4) << i;
        EXPECT_EQ(fa[i].enabled, i != 4) << "Copy needs a selection; " << i;
    }
    EXPECT_EQ(
        Texts(OpenMenu(Control::Text2, 1)),
        (std::vector<std::string>{std::string(kNoCandidatesItem), "按词语选字", "复制", "全选"}));
    EXPECT_FALSE(m_view.menus.back().items[0].enabled);
    for (const std::size_t pastTheEnd : {2, 3, 1000}) {
        EXPECT_EQ(Texts(OpenMenu(Control::Text2, pastTheEnd)),
                  (std::vector<std::string>{"按词语选字", "复制", "全选"}));
    }

    m_view.selected = Control::Text2;
    EXPECT_TRUE(OpenMenu(Control::Text2, 0, 4)[4].enabled);
    OpenMenu(Control::Text2, 0, 5);
    EXPECT_EQ(m_view.boxCommands,
              (std::vector<std::pair<Control, BoxCommand>>{
                  {Control::Text2, BoxCommand::Copy}, {Control::Text2, BoxCommand::SelectAll}}));

    OpenMenu(Control::Text2, 0, 1);
    EXPECT_EQ(Shown(Control::Text3), "髪東");
    EXPECT_EQ(ReadByGame(Shown(Control::Text2)), U"髪東");
    EXPECT_EQ(Shown(Control::Text1), "东");
    EXPECT_TRUE(OpenMenu(Control::Text3, 0)[1].checked);
    EXPECT_TRUE(m_view.messages.empty());
}

// Over random texts with every kind of piece and line break, and boxes that keep line breaks
// as given, as LF or as CR LF: picking any candidate of any character, in either box, changes
// that one character in both boxes to the kanji picked, and the code text still reads in a
// game as exactly the preview.
TEST_F(ContextMenuTest, EveryPickKeepsTheCodeTextReadingAsThePreview) {
    const std::string alphabet[] = {"发", "发", "东",   "A",  " ", "中",
                                    "！", "\n", "\r\n", "\r", "😀"};
    std::mt19937 random(11);
    int picks = 0;
    for (const std::string lineBreak : {"", "\n", "\r\n"}) {
        m_view.keptLineBreak = lineBreak;
        for (int round = 0; round < 40; ++round) {
            std::string input;
            for (int i = 0, n = static_cast<int>(random() % 10); i < n; ++i) {
                input += alphabet[random() % std::size(alphabet)];
            }
            Convert(input);
            for (std::size_t index = 0; index <= Length(Shown(Control::Text2)); ++index) {
                const Control box = index % 2 == 0 ? Control::Text2 : Control::Text3;
                const std::vector<MenuItem> offered = OpenMenu(box, index);
                for (std::size_t pick = 0; pick < offered.size() - 3; ++pick) {
                    if (!offered[pick].enabled) {
                        continue;
                    }
                    const std::u32string before = DecodeUtf8(Shown(box));
                    OpenMenu(box, index, pick);
                    ++picks;
                    const std::u32string after = DecodeUtf8(Shown(box));
                    const std::u32string preview = DecodeUtf8(Shown(Control::Text3));
                    ASSERT_EQ(after.size(), before.size()) << input;
                    for (std::size_t i = 0; i < after.size(); ++i) {
                        ASSERT_TRUE(i == index || after[i] == before[i]) << input << " " << i;
                    }
                    ASSERT_EQ(preview[index], OfferedKanji(offered[pick])) << input;
                    ASSERT_EQ(ReadByGame(Shown(Control::Text2)), preview) << input;
                }
            }
        }
    }
    EXPECT_GT(picks, 200);
    EXPECT_TRUE(m_view.messages.empty());
}

// candidates.dat as shipped: a text of every key it lists, every candidate picked in turn.
TEST_F(ContextMenuTest, EveryShippedCandidateKeepsTheCodeTextReadingAsThePreview) {
    std::ifstream file(std::filesystem::path(PELMORA_DATA_DIR) / kCandidateTableName,
                       std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    std::string input;
    std::vector<std::size_t> counts;
    for (std::size_t at = 0; at + 4 <= bytes.size(); at += 4 + 4 * counts.back()) {
        counts.push_back(static_cast<unsigned char>(bytes[at + 1]));
        input += EncodeUtf8(
            std::u32string(1, RecordCharacter({static_cast<std::uint8_t>(bytes[at + 2]),
                                               static_cast<std::uint8_t>(bytes[at + 3])})));
        input += counts.size() % 40 == 0 ? "\r\n" : "";
    }
    ASSERT_GT(counts.size(), 500u);

    frmMain form(m_view, {PELMORA_DATA_DIR, TableReading::PerRecord});
    m_view.Text(Control::Text1) = input;
    form.cmdSwitch_Click();
    std::size_t boxIndex = 0;
    for (std::size_t key = 0; key < counts.size(); ++key, ++boxIndex) {
        boxIndex += key > 0 && key % 40 == 0 ? 2 : 0;
        for (std::size_t pick = 0; pick < counts[key]; ++pick) {
            std::vector<MenuItem> offered;
            m_view.pickFromMenu = [&](const std::vector<MenuItem>& items) {
                offered = items;
                return pick;
            };
            form.ContextMenu(key % 2 == 0 ? Control::Text2 : Control::Text3, boxIndex);
            ASSERT_EQ(offered.size(), counts[key] + 3) << key;
            const std::u32string preview = DecodeUtf8(Shown(Control::Text3));
            ASSERT_EQ(preview[boxIndex], OfferedKanji(offered[pick])) << key;
            ASSERT_EQ(ReadByGame(Shown(Control::Text2)), preview) << key;
        }
    }
    EXPECT_TRUE(m_view.messages.empty());
}

// "按词语选字" converts Text1 as it is now by words, and the menu then works on that result.
TEST_F(ContextMenuTest, ByWordsRedoesTheCurrentInputByWords) {
    Convert("发东");
    m_view.Text(Control::Text1) = "A发东发\n发东";
    OpenMenu(Control::Text2, 0, 3);

    StringSource input(m_view.Text(Control::Text1));
    Utf8Sink code;
    Utf8Sink preview;
    TablePaths paths;
    RecordingReport report;
    ConvertTextByWords(input, code, preview, paths, {Dir(), TableReading::PerRecord}, report);
    EXPECT_EQ(Shown(Control::Text2), code.Text());
    EXPECT_EQ(Shown(Control::Text3), "A発東髪\n髪東");
    EXPECT_TRUE(OpenMenu(Control::Text3, 3)[1].checked) << "髪, from the word 发东发";
    EXPECT_TRUE(m_view.messages.empty());
}

// Without candidates.dat there are no candidates and no report; a damaged candidates.dat or
// words.dat is reported and the menu opens without what it could not read; a box that cannot
// be set is reported under the box's menu.
TEST_F(ContextMenuTest, MissingAndDamagedFilesAndFailingBoxes) {
    Convert("发");
    std::filesystem::remove(Dir() / kCandidateTableName);
    EXPECT_EQ(OpenMenu(Control::Text2, 0)[0].text, kNoCandidatesItem);
    EXPECT_TRUE(m_view.messages.empty());

    WriteFile(Dir() / kCandidateTableName, std::string("\0\0", 2) + Gbk("发"));
    EXPECT_EQ(OpenMenu(Control::Text2, 0)[0].text, kNoCandidatesItem);
    ASSERT_EQ(m_view.messages.size(), 1u);
    EXPECT_EQ(m_view.messages[0].title, "Error in Text2ContextMenu");
    EXPECT_EQ(m_view.messages[0].text.rfind("ErrorNo:321\r\nErrorInfo:", 0), 0u);

    WriteFile(Dir() / kCandidateTableName,
              CandidateEntryBytes(Gbk("发"), {kHatsu, kHair}, {Gbk("発"), Gbk("髪")}));
    WriteFile(Dir() / kWordTableName, "\x01\x02");
    EXPECT_EQ(Texts(OpenMenu(Control::Text3, 0)),
              (std::vector<std::string>{"発", "髪", "按词语选字", "复制", "全选"}));
    ASSERT_EQ(m_view.messages.size(), 2u);
    EXPECT_EQ(m_view.messages[1].title, "Error in Text3ContextMenu");

    std::filesystem::remove(Dir() / kWordTableName);
    m_view.failingBoxWrite = Control::Text3;
    OpenMenu(Control::Text3, 0, 1);
    ASSERT_EQ(m_view.messages.size(), 3u);
    EXPECT_EQ(m_view.messages[2].title, "Error in Text3ContextMenu");
    EXPECT_EQ(m_view.messages[2].text, "ErrorNo:7\r\nErrorInfo:内存不足");
}

// A pick made after the boxes changed under the menu, or after the window went, does
// nothing; so does a menu over a box that no longer shows the last result, or over a control
// that has no menu of its own.
TEST_F(ContextMenuTest, PicksThatNoLongerFitDoNothing) {
    Convert("发");
    m_view.pickFromMenu = [this](const std::vector<MenuItem>&) {
        Convert("东发");
        return std::optional<std::size_t>(1);
    };
    m_form.ContextMenu(Control::Text2, 0);
    EXPECT_EQ(Shown(Control::Text3), "東発");

    m_view.Text(Control::Text2) = "changed";
    EXPECT_EQ(OpenMenu(Control::Text2, 0).size(), 3u) << "no candidates for a text not ours";
    for (const ControlLayout& control : FrmMainControls()) {
        if (control.id != Control::Text2 && control.id != Control::Text3) {
            m_form.ContextMenu(control.id, 0);
        }
    }
    const std::size_t menus = m_view.menus.size();

    m_view.pickFromMenu = [this](const std::vector<MenuItem>&) {
        m_form.Form_Unload();
        return std::optional<std::size_t>(1);
    };
    m_form.ContextMenu(Control::Text3, 1);
    EXPECT_EQ(Shown(Control::Text3), "東発");
    m_form.ContextMenu(Control::Text3, 1);
    EXPECT_EQ(m_view.menus.size(), menus + 1);
    EXPECT_EQ(m_view.endings, 1);
    EXPECT_TRUE(m_view.messages.empty());
}

} // namespace
} // namespace pelmora
