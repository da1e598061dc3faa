#include "window_texts.h"

#include "code_page.h"
#include "fake_view.h"
#include "frm_main.h"
#include "shift_jis.h"
#include "string_text.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelmora {
namespace {

using testing::EncodeCodePage936;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    lines.push_back(text.substr(start));
    return lines;
}

TEST(WindowTextsTest, TitleAndAboutCarryTheVersion) {
    const std::string major = std::to_string(PELMORA_VERSION_MAJOR);
    const std::string minor = std::to_string(PELMORA_VERSION_MINOR);
    EXPECT_EQ(WindowTitle(), "PelmoraV" + major + "." + minor);

    const std::vector<std::string> about = Lines(AboutText());
    ASSERT_EQ(about.size(), 5u);
    EXPECT_EQ(about[0], "Pelmora");
    EXPECT_EQ(about[1],
              "版本号:" + major + "." + minor + "." + std::to_string(PELMORA_VERSION_PATCH));
    EXPECT_NE(about[3].find(kContactAddress), std::string::npos);
    EXPECT_NE(about[4].find("Apache 许可证 2.0"), std::string::npos) << "the licence of LICENSE";
    for (const std::string& line : about) {
        EXPECT_FALSE(line.empty());
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
    }
}

TEST(WindowTextsTest, HelpStartsWithHowToUseAndBreaksLinesWithCrLf) {
    const std::string help = HelpText();
    EXPECT_EQ(help.rfind("使用方法：\r\n    在左上角的输入框中输入简体字,然后单击\"转换\",将右上角"
                         "方框显示的字符复制到日文游戏中即可显示为正常的汉字,右下角的是预览效果."
                         "\r\n\r\n说明：\r\n",
                         0),
              0u);
    const std::vector<std::string> lines = Lines(help);
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    }
    EXPECT_NE(lines.back().find(kContactAddress), std::string::npos);
    EXPECT_NE(help.find("pin.dat"), std::string::npos);
}

// The help's sentence on a character the tables lack names what each box shows and what the
// game shows, and the two glyphs it names are the ones the conversion relies on: the top-right
// box's character, written in code page 936, is the Shift-JIS code of the game's "□".
TEST(WindowTextsTest, HelpSaysWhatAMissLooksLikeInEachBoxAndInTheGame) {
    const std::string help = HelpText();
    const std::string sentence = [&] {
        for (const std::string& line : Lines(help)) {
            if (line.find("\"仩\"") != std::string::npos) {
                return line;
            }
        }
        return std::string();
    }();
    ASSERT_FALSE(sentence.empty());
    const std::size_t topRight = sentence.find("右上角");
    const std::size_t japaneseCode = sentence.find("\"仩\"");
    const std::size_t preview = sentence.find("右下角");
    const std::size_t game = sentence.find("游戏中显示为\"□\"");
    ASSERT_NE(topRight, std::string::npos);
    ASSERT_NE(preview, std::string::npos);
    ASSERT_NE(game, std::string::npos);
    EXPECT_LT(topRight, japaneseCode);
    EXPECT_LT(japaneseCode, preview);
    EXPECT_NE(sentence.find("\"□\"", preview), std::string::npos);

    const std::optional<std::string> bytes = EncodeCodePage936(U"仩");
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, "\x81\xA0");
    EXPECT_EQ(DecodeShiftJis(*bytes), std::optional<std::u32string>(U"□"));
}

// The help's example of an extension kanji is one with the shipped tables: its code text
// character is a user-defined one (drawn as a box by Chinese fonts) whose bytes are an
// extension-row Shift-JIS code that reads as the preview's kanji.
TEST(WindowTextsTest, HelpsExtensionKanjiExampleShowsAsABoxAndReadsAsThePreview) {
    std::string sentence;
    for (const std::string& line : Lines(HelpText())) {
        if (line.find("扩展区汉字") != std::string::npos) {
            sentence = line;
        }
    }
    const std::size_t open = sentence.find('"');
    const std::size_t close = sentence.find('"', open + 1);
    ASSERT_NE(close, std::string::npos) << sentence;
    EXPECT_NE(sentence.find("方框"), std::string::npos);
    EXPECT_NE(sentence.find("游戏中仍然正确"), std::string::npos);

    testing::FakeView view;
    frmMain form(view, {PELMORA_DATA_DIR, TableReading::PerRecord});
    view.Text(Control::Text1) = sentence.substr(open + 1, close - open - 1);
    form.cmdSwitch_Click();
    ASSERT_TRUE(view.messages.empty());
    const std::u32string code = DecodeUtf8(view.Text(Control::Text2));
    const std::u32string preview = DecodeUtf8(view.Text(Control::Text3));
    ASSERT_EQ(code.size(), 1u);
    EXPECT_GE(code[0], U'\uE000');
    EXPECT_LE(code[0], U'\uF8FF');
    const std::optional<std::string> bytes = EncodeCodePage936(code);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_GE(static_cast<unsigned char>((*bytes)[0]), 0xFA);
    EXPECT_LE(static_cast<unsigned char>((*bytes)[0]), 0xFC);
    EXPECT_EQ(DecodeShiftJis(*bytes), std::optional<std::u32string>(preview));
}

} // namespace
} // namespace pelmora
