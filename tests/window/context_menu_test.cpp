#include "fake_view.h"
#include "frm_main.h"
#include "shift_jis.h"
#include "string_text.h"
#include "table_fixture.h"
#include "window_texts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace pelmora {
namespace {

using testing::CandidateEntryBytes;
using testing::EncodeCodePage936;
using testing::FakeView;
using testing::Gbk;
using testing::NameEntryBytes;
using testing::WordModelEntryBytes;
using testing::WriteFile;

using Texts = std::vector<std::string>;

Texts TextsOf(const std::vector<MenuItem>& items) {
    Texts texts;
    for (const MenuItem& item : items) {
        texts.push_back(item.text);
    }
    return texts;
}

// The code text as a game reads it once pasted: its code page 936 bytes read as Shift-JIS.
std::u32string ReadByGame(const std::string& codeText) {
    const std::optional<std::string> bytes = EncodeCodePage936(DecodeUtf8(codeText));
    EXPECT_TRUE(bytes.has_value()) << codeText;
    const std::optional<std::u32string> read = bytes ? DecodeShiftJis(*bytes) : std::nullopt;
    EXPECT_TRUE(read.has_value()) << codeText;
    return read.value_or(U"");
}

class ContextMenuTest : public ::testing::Test {
protected:
    // 发 can be 発 (its default), 髪 or 琪 from the extension rows; 东 has no candidates. The
    // word model makes 发东 髪東 and 发东发 発東髪.
    ContextMenuTest() {
        testing::WriteTables(Dir(), testing::SampleRows());
        WriteFile(
            Dir() / kWordTableName,
            WordModelEntryBytes({Gbk("东")}, 500) + WordModelEntryBytes({Gbk("发")}, 400) +
                WordModelEntryBytes({Gbk("发"), Gbk("东")}, 850, {{0, "\x94\xAF", Gbk("髪")}}) +
                WordModelEntryBytes({Gbk("发"), Gbk("东"), Gbk("发")}, 1000,
                                    {{2, "\x94\xAF", Gbk("髪")}}));
        WriteFile(Dir() / kCandidateTableName,
                  CandidateEntryBytes(Gbk("发"), {"\x94\xAD", "\x94\xAF", "\xEE\x4C"},
                                      {Gbk("発"), Gbk("髪"), Gbk("琪")}));
    }

    const std::filesystem::path& Dir() const { return m_tables.Path(); }
    void Convert(const std::string& input) {
        m_view.Text(Control::Text1) = input;
        m_form.cmdSwitch_Click();
    }
    // Opens the menu of `box` at `index`, picks entry `pick` (or dismisses the menu) and returns
    // the entries offered; none when no menu opened.
    std::vector<MenuItem> OpenMenu(Control box, std::size_t index,
                                   std::optional<std::size_t> pick = std::nullopt) {
        m_view.pickFromMenu = [pick](const std::vector<MenuItem>&) { return pick; };
        const std::size_t before = m_view.menus.size();
        m_form.ContextMenu(box, index);
        return m_view.menus.size() > before ? m_view.menus.back().items : std::vector<MenuItem>{};
    }
    std::string Shown(Control box) { return m_view.Text(box); }

    testing::TempDirectory m_tables;
    FakeView m_view;
    frmMain m_form{m_view, {m_tables.Path(), TableReading::PerRecord}};
};

// The candidates of the character under the pointer with the words of the input that give
// them, the current one checked and given no word from elsewhere, then the word redo and the
// box's commands. The character is traced to the input that was converted, not to Text1 as
// edited since.
TEST_F(ContextMenuTest, OffersTheConvertedCharactersCandidatesThenTheBoxCommands) {
    Convert("发东");
    m_view.Text(Control::Text1) = "东";
    const std::vector<MenuItem> fa = OpenMenu(Control::Text3, 0);
    EXPECT_EQ(TextsOf(fa), (Texts{"発", "髪（发东）", "琪（扩展区汉字，部分游戏不能显示）",
                                  "按词语选字", "按人名选字", "粘贴日文并还原", "复制", "全选"}));
    for (std::size_t i = 0; i < fa.size(); ++i) {
        EXPECT_EQ(fa[i].checked, i == 0) << i;
        EXPECT_EQ(fa[i].separatorBefore, i == 3 || i == 5 || i == 6) << i;
        EXPECT_EQ(fa[i].enabled, i != 5 && i != 6)
            << "reading back needs a clipboard text, Copy a selection; " << i;
    }
    EXPECT_EQ(TextsOf(OpenMenu(Control::Text2, 1))[0], kNoCandidatesItem);
    EXPECT_EQ(TextsOf(OpenMenu(Control::Text2, 2)),
              (Texts{"按词语选字", "按人名选字", "粘贴乱码并还原", "复制", "全选"}));
    EXPECT_TRUE(OpenMenu(Control::txtHelp, 0).empty()) << "the help box keeps the toolkit's";

    m_view.selected = Control::Text2;
    EXPECT_TRUE(OpenMenu(Control::Text2, 0, 6)[6].enabled);
    OpenMenu(Control::Text2, 0, 7);
    EXPECT_EQ(m_view.boxCommands,
              (std::vector<std::pair<Control, BoxCommand>>{
                  {Control::Text2, BoxCommand::Copy}, {Control::Text2, BoxCommand::SelectAll}}));
    OpenMenu(Control::Text2, 0, 1);
    EXPECT_EQ(Shown(Control::Text3), "髪東");
    EXPECT_EQ(Shown(Control::Text1), "东");
    EXPECT_TRUE(OpenMenu(Control::Text3, 0)[1].checked);
    EXPECT_TRUE(m_view.messages.empty());
}

// The input box's menu adds the JIS X 0208 only setting to the box's own editing commands,
// off at start. On, it holds for Convert, "按词语选字" and "按人名选字" (琪, an extension kanji
// without a JIS X 0208 candidate, becomes a miss) and the output boxes' menus offer no
// extension kanji; what the boxes show stays until the next conversion. Picked again, it is off.
TEST_F(ContextMenuTest, TheInputBoxsMenuTurnsJisX0208OnlyOnAndOff) {
    std::vector<testing::TableRow> rows = testing::SampleRows();
    rows.insert(rows.end() - 1, {Gbk("琪"), "\xEE\x4C", Gbk("琪")});
    testing::WriteTables(Dir(), rows);
    Convert("琪发");
    const std::vector<MenuItem> off = OpenMenu(Control::Text1, 0, 0);
    EXPECT_TRUE(m_view.menus.back().withBoxCommands);
    ASSERT_EQ(off.size(), 1u);
    EXPECT_EQ(off[0].text, kJisX0208Item);
    EXPECT_TRUE(off[0].checkable && off[0].enabled && off[0].separatorBefore);
    EXPECT_FALSE(off[0].checked);
    EXPECT_TRUE(OpenMenu(Control::Text1, 3)[0].checked);
    EXPECT_EQ(m_form.Kanji(), KanjiSet::JisX0208);
    EXPECT_EQ(Shown(Control::Text3), "琪発");

    m_form.cmdSwitch_Click();
    EXPECT_EQ(Shown(Control::Text3), "□発");
    EXPECT_EQ(ReadByGame(Shown(Control::Text2)), U"□発");
    EXPECT_EQ(TextsOf(OpenMenu(Control::Text3, 1)),
              (Texts{"発", "髪（如：发东）", "按词语选字", "按人名选字", "粘贴日文并还原", "复制",
                     "全选"}));
    m_view.Text(Control::Text1) = "琪发东";
    for (const std::string_view redo : {kByWordsItem, kByNamesItem}) {
        m_form.cmdSwitch_Click();
        EXPECT_EQ(Shown(Control::Text3), "□発東");
        const std::size_t at = redo == kByWordsItem ? 1 : 2;
        EXPECT_EQ(TextsOf(OpenMenu(Control::Text2, 0, at)).at(at), redo);
        EXPECT_EQ(Shown(Control::Text3), "□髪東") << redo;
    }

    OpenMenu(Control::Text1, 0, 0);
    EXPECT_EQ(m_form.Kanji(), KanjiSet::CodePage932);
    m_form.cmdSwitch_Click();
    EXPECT_EQ(Shown(Control::Text3), "琪発東");
    EXPECT_TRUE(m_view.messages.empty());
}

// A word's text comes from its key records, an ASCII key (its byte, then 00) included.
TEST_F(ContextMenuTest, AWordWithAnAsciiKeyIsShownWithIt) {
    WriteFile(Dir() / kWordTableName,
              WordModelEntryBytes({"A", Gbk("发")}, 100, {{1, "\x94\xAF", Gbk("髪")}}));
    Convert("A发");
    EXPECT_EQ(TextsOf(OpenMenu(Control::Text3, 1)).at(1), "髪（A发）");
}

// With the shipped tables: a text of every key of candidates.dat among fixed pieces, misses and
// line breaks of every form, shown by boxes that keep line breaks as given, as LF or as CR LF.
// Picking each candidate, from either box, changes that one character in both boxes to the
// kanji picked, and the code text still reads in a game as exactly the preview.
TEST_F(ContextMenuTest, EveryShippedCandidatePickKeepsTheCodeTextReadingAsThePreview) {
    std::ifstream file(std::filesystem::path(PELMORA_DATA_DIR) / kCandidateTableName,
                       std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    const char* between[] = {"", "", "A", "！", "😀", "\r\n", "\n", "\r", " ", "中"};
    std::string input;
    std::vector<std::pair<std::size_t, std::size_t>> keys; // input index, candidate count
    for (std::size_t at = 0; at + 4 <= bytes.size(); at += 4 + 4 * keys.back().second) {
        keys.emplace_back(DecodeUtf8(input).size(), static_cast<unsigned char>(bytes[at + 1]));
        AppendUtf8(RecordCharacter({static_cast<std::uint8_t>(bytes[at + 2]),
                                    static_cast<std::uint8_t>(bytes[at + 3])}),
                   input);
        input += between[keys.size() % std::size(between)];
    }
    ASSERT_GT(keys.size(), 500u);

    // The shipped tables and candidates; the words only label the entries, and reading them
    // for each of the many menus would take most of the test's time.
    for (const char* name :
         {kKeyTableName, kJapaneseCodeTableName, kPreviewTableName, kCandidateTableName}) {
        std::filesystem::copy_file(std::filesystem::path(PELMORA_DATA_DIR) / name, Dir() / name,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    std::filesystem::remove(Dir() / kWordTableName);
    std::size_t picks = 0;
    for (const std::string lineBreak : {"", "\n", "\r\n"}) {
        m_view.keptLineBreak = lineBreak;
        Convert(input);
        const std::u32string converted = DecodeUtf8(input);
        for (std::size_t key = lineBreak.size(); key < keys.size(); key += 3) {
            const auto [inInput, count] = keys[key];
            const std::size_t index =
                lineBreak.empty()
                    ? inInput
                    : DecodeUtf8(FakeView::KeptLineBreaks(EncodeUtf8(converted.substr(0, inInput)),
                                                          lineBreak))
                          .size();
            const Control box = key % 2 == 0 ? Control::Text2 : Control::Text3;
            for (std::size_t pick = 0; pick < count; ++pick, ++picks) {
                const std::u32string before = DecodeUtf8(Shown(box));
                const std::vector<MenuItem> offered = OpenMenu(box, index, pick);
                ASSERT_EQ(offered.size(), count + 5) << key;
                const std::u32string after = DecodeUtf8(Shown(box));
                const std::u32string preview = DecodeUtf8(Shown(Control::Text3));
                ASSERT_EQ(after.size(), before.size());
                for (std::size_t i = 0; i < after.size(); ++i) {
                    ASSERT_TRUE(i == index || after[i] == before[i]) << key << " " << i;
                }
                ASSERT_EQ(preview[index], DecodeUtf8(offered[pick].text).front()) << key;
                ASSERT_EQ(ReadByGame(Shown(Control::Text2)), preview) << key;
            }
        }
    }
    EXPECT_GT(picks, 700u);
    EXPECT_TRUE(m_view.messages.empty());
}

// "按词语选字" converts Text1 as it is now by words, and the menu then works on that result,
// naming the word the segmentation put the character in where that word spells it so.
TEST_F(ContextMenuTest, ByWordsRedoesTheCurrentInputByWords) {
    Convert("发");
    EXPECT_EQ(TextsOf(OpenMenu(Control::Text3, 0))[1], "髪（如：发东）")
        << "a kanji not shown: the cheapest short entry that spells 发 so";
    m_view.Text(Control::Text1) = "A发东发\n发东";
    OpenMenu(Control::Text2, 0, 3);
    EXPECT_EQ(Shown(Control::Text3), "A発東髪\n髪東");
    EXPECT_EQ(ReadByGame(Shown(Control::Text2)), U"A発東髪\n髪東");
    const std::vector<MenuItem> third = OpenMenu(Control::Text3, 3);
    EXPECT_TRUE(third[1].checked);
    EXPECT_EQ(third[1].text, "髪（发东发）") << "the input's word before the cheaper 发东";
    EXPECT_EQ(third[0].text, "発") << "no entry spells 发 as 発, its per-character kanji";
    EXPECT_TRUE(m_view.messages.empty());
}

// "按人名选字" converts Text1 as it is now as names, one per line: here 发 is a surname taking
// 髪 and 东 a given-name character taking 発, which no other run gives; 转换 is still the
// per-character run.
TEST_F(ContextMenuTest, ByNamesRedoesTheCurrentInputAsNames) {
    WriteFile(Dir() / kNameTableName,
              NameEntryBytes({Gbk("发")}, {"\x94\xAF"}, {Gbk("髪")}, kSurnameTag) +
                  NameEntryBytes({Gbk("东")}, {"\x94\xAD"}, {Gbk("発")}, kGivenNameTag));
    Convert("东");
    m_view.Text(Control::Text1) = "发东\n发";
    EXPECT_EQ(TextsOf(OpenMenu(Control::Text2, 0, 2))[2], kByNamesItem);
    EXPECT_EQ(Shown(Control::Text3), "髪発\n髪");
    EXPECT_EQ(ReadByGame(Shown(Control::Text2)), U"髪発\n髪");
    m_form.cmdSwitch_Click();
    EXPECT_EQ(Shown(Control::Text3), "発東\n発");
    EXPECT_TRUE(m_view.messages.empty());
}

// "粘贴乱码并还原" pastes the clipboard's garbled text into the code box and reads it back: the
// Japanese text into the preview, the Chinese into the input box. "粘贴日文并还原" reads Japanese
// text back and leaves the boxes as a conversion of the Chinese would, so the candidate menu
// works on them. Without text on the clipboard both are greyed; a failure is the reverse run's.
TEST_F(ContextMenuTest, PastingAGamesTextReadsItBack) {
    constexpr std::size_t kPaste = 2; // over no character: the two redos, then the paste
    m_view.clipboard = "敪搶 A仩\r\n";
    EXPECT_EQ(OpenMenu(Control::Text2, 99, kPaste)[kPaste].text, kReadBackCodeTextItem);
    EXPECT_EQ(Shown(Control::Text2), "敪搶 A仩\r\n");
    EXPECT_EQ(Shown(Control::Text3), "発東 A□\r\n");
    EXPECT_EQ(Shown(Control::Text1), "发东 A□\r\n");
    EXPECT_EQ(TextsOf(OpenMenu(Control::Text3, 0)).size(), 5u) << "no candidates after code text";

    m_view.clipboard = "髪東ｱ\n";
    EXPECT_EQ(OpenMenu(Control::Text3, 99, kPaste)[kPaste].text, kReadBackJapaneseItem);
    EXPECT_EQ(Shown(Control::Text1), "发东ｱ\n");
    EXPECT_EQ(Shown(Control::Text3), "髪東□\n") << "a game reads the code text's miss as □";
    EXPECT_EQ(ReadByGame(Shown(Control::Text2)), U"髪東□\n");
    EXPECT_EQ(TextsOf(OpenMenu(Control::Text2, 0, 0))[0].rfind("発", 0), 0u);
    EXPECT_EQ(Shown(Control::Text3), "発東□\n");

    m_view.clipboard.clear();
    EXPECT_FALSE(OpenMenu(Control::Text2, 99)[kPaste].enabled);
    m_view.clipboard = "敪";
    std::filesystem::remove(Dir() / kKeyTableName);
    OpenMenu(Control::Text2, 99, kPaste);
    ASSERT_EQ(m_view.messages.size(), 1u);
    EXPECT_EQ(m_view.messages[0].title, kReadBackErrorTitle);
    EXPECT_EQ(Shown(Control::Text1), "发东ｱ\n") << "the input box keeps its text";
}

// Without candidates.dat: no candidates, no report. A damaged candidates.dat or words.dat, or a
// box that cannot be set, is reported under the box's menu, which opens without what could
// not be read. A pick made after the boxes changed under the menu, or after the window went,
// does nothing, nor does a menu over text the window did not put there.
TEST_F(ContextMenuTest, FailuresAreReportedAndPicksThatNoLongerFitDoNothing) {
    Convert("发");
    std::filesystem::rename(Dir() / kCandidateTableName, Dir() / "kept.dat");
    EXPECT_EQ(TextsOf(OpenMenu(Control::Text2, 0))[0], kNoCandidatesItem);
    EXPECT_TRUE(m_view.messages.empty());
    WriteFile(Dir() / kCandidateTableName, std::string("\0\0", 2) + Gbk("发"));
    EXPECT_EQ(TextsOf(OpenMenu(Control::Text2, 0))[0], kNoCandidatesItem);
    m_view.whileMessageShows = [this] { m_form.Form_Load(); };
    EXPECT_TRUE(OpenMenu(Control::Text2, 0).empty()) << "the boxes emptied under the report";
    m_view.whileMessageShows = nullptr;
    Convert("发");
    std::filesystem::rename(Dir() / "kept.dat", Dir() / kCandidateTableName);
    WriteFile(Dir() / kWordTableName, "\x01\x02");
    EXPECT_EQ(TextsOf(OpenMenu(Control::Text3, 0))[1], "髪");
    m_view.failingBoxWrite = Control::Text3;
    OpenMenu(Control::Text3, 0, 1);
    m_view.failingBoxWrite.reset();
    std::filesystem::remove(Dir() / kWordTableName);
    ASSERT_EQ(m_view.messages.size(), 5u);
    EXPECT_EQ(m_view.messages[0].title, "Error in Text2ContextMenu");
    EXPECT_EQ(m_view.messages[0].text.rfind("ErrorNo:321\r\nErrorInfo:", 0), 0u);
    EXPECT_EQ(m_view.messages[2].title, "Error in Text3ContextMenu");
    EXPECT_EQ(m_view.messages[4].text, "ErrorNo:7\r\nErrorInfo:内存不足");

    m_view.pickFromMenu = [this](const std::vector<MenuItem>&) {
        Convert("东发");
        return std::optional<std::size_t>(1);
    };
    m_form.ContextMenu(Control::Text2, 0);
    EXPECT_EQ(Shown(Control::Text3), "東発");
    m_view.Text(Control::Text2) = "changed";
    EXPECT_EQ(OpenMenu(Control::Text2, 0).size(), 5u);
    m_view.pickFromMenu = [this](const std::vector<MenuItem>&) {
        m_form.Form_Unload();
        return std::optional<std::size_t>(1);
    };
    m_form.ContextMenu(Control::Text3, 1);
    EXPECT_EQ(Shown(Control::Text3), "東発");
    EXPECT_TRUE(OpenMenu(Control::Text3, 1).empty());
    EXPECT_EQ(m_view.messages.size(), 5u);
}

} // namespace
} // namespace pelmora
