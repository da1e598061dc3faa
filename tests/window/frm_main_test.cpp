#include "frm_main.h"

#include "fake_view.h"
#include "string_text.h"
#include "table_fixture.h"
#include "window_texts.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace pelmora {
namespace {

using testing::FakeView;
using testing::Gbk;
using testing::RecordBytes;
using testing::RecordingReport;
using testing::SampleRows;
using testing::StringSource;
using testing::TempDirectory;
using testing::Utf8Sink;
using testing::WriteFile;
using testing::WriteTables;

class FrmMainTest : public ::testing::Test {
protected:
    FrmMainTest() { WriteTables(m_tables.Path(), SampleRows()); }

    void Convert(const std::string& input) {
        m_view.Text(Control::Text1) = input;
        m_form.cmdSwitch_Click();
    }
    std::string Shown(Control control) { return m_view.Text(control); }
    std::filesystem::path Table(const char* name) const { return m_tables.Path() / name; }

    TempDirectory m_tables;
    FakeView m_view;
    frmMain m_form{m_view, {m_tables.Path(), TableReading::PerRecord}};
};

TEST_F(FrmMainTest, FormLoadEmptiesTheThreeBoxesInOrder) {
    for (const Control box : {Control::Text1, Control::Text2, Control::Text3}) {
        m_view.Text(box) = "old";
    }
    m_form.Form_Load();
    EXPECT_EQ(m_view.boxWrites,
              (std::vector<Control>{Control::Text1, Control::Text2, Control::Text3}));
    for (const Control box : {Control::Text1, Control::Text2, Control::Text3}) {
        EXPECT_EQ(Shown(box), "");
    }
    EXPECT_EQ(Shown(Control::txtHelp), HelpText());
    EXPECT_TRUE(m_view.messages.empty());
}

// The file the program was started with: its text goes into Text1 as pelmora-convert reads
// it, line breaks as CR LF; a file that cannot be read or decoded is said in a message box
// with its path, and Text1 stays empty.
TEST_F(FrmMainTest, AFileGivenAtStartIsReadIntoTheInputBox) {
    const TempDirectory files;
    const std::string utf16le("\xFF\xFE\xD1\x53\x0A\x00\x1C\x4E", 8);
    const std::string utf16be("\xFE\xFF\x53\xD1\x00\x0D\x00\x0A\x4E\x1C", 10);
    const std::string gbk = Gbk("刘德华在广东发展");
    const std::pair<std::string, std::string> read[] = {
        {"发\n东\r\n中\r", "发\r\n东\r\n中\r\n"},
        {"\xEF\xBB\xBF发东", "发东"},
        {utf16le, "发\r\n东"},
        {utf16be, "发\r\n东"},
        {"", ""},
    };
    for (const auto& [bytes, text] : read) {
        WriteFile(files.Path() / "名字.txt", bytes);
        m_form.Form_Load();
        m_form.OpenInputFile(files.Path() / "名字.txt");
        EXPECT_EQ(Shown(Control::Text1), text);
        EXPECT_TRUE(m_view.messages.empty()) << m_view.messages[0].text;
    }
    const std::pair<std::string, std::string> refused[] = {
        {gbk, "它不是有效的 UTF-8 文本（字节偏移 0：C1）。"},
        {"发\xFF", "它不是有效的 UTF-8 文本（字节偏移 3：FF）。"},
        {utf16le + std::string("\x00\xD8", 2), "它不是有效的 UTF-16LE 文本（字节偏移 8：00 D8）。"},
    };
    for (const auto& [bytes, said] : refused) {
        WriteFile(files.Path() / "名字.txt", bytes);
        m_view.messages.clear();
        m_form.Form_Load();
        m_form.OpenInputFile(files.Path() / "名字.txt");
        EXPECT_EQ(Shown(Control::Text1), "");
        ASSERT_EQ(m_view.messages.size(), 1u);
        EXPECT_EQ(m_view.messages[0].title, "Pelmora");
        const std::string& text = m_view.messages[0].text;
        EXPECT_EQ(text.rfind("无法打开要转换的文件：" + said + "\r\n" +
                                 PathText(files.Path() / "名字.txt"),
                             0),
                  0u)
            << text;
        EXPECT_EQ(text.find("它看起来是 GBK 编码的文本") != std::string::npos, bytes == gbk)
            << text;
    }
    for (const std::filesystem::path& unreadable : {files.Path() / "没有.txt", files.Path()}) {
        m_view.messages.clear();
        m_form.OpenInputFile(unreadable);
        ASSERT_EQ(m_view.messages.size(), 1u);
        EXPECT_EQ(m_view.messages[0].text.rfind("无法打开要转换的文件。\r\n", 0), 0u);
        EXPECT_TRUE(m_view.messages[0].text.ends_with(PathText(unreadable)))
            << m_view.messages[0].text;
    }
}

TEST_F(FrmMainTest, FormLoadFailureIsReportedAndEndsOnlyTheHandler) {
    m_view.Text(Control::Text3) = "old";
    m_view.failingBoxWrite = Control::Text2;
    m_form.Form_Load();
    ASSERT_EQ(m_view.messages.size(), 1u);
    EXPECT_EQ(m_view.messages[0].title, "Error in FormLoad");
    EXPECT_EQ(m_view.messages[0].text, "ErrorNo:7\r\nErrorInfo:内存不足");
    EXPECT_EQ(Shown(Control::Text3), "old");
    m_view.failingBoxWrite.reset();
    Convert("发");
    EXPECT_EQ(Shown(Control::Text2), "敪");
}

// Whatever is typed, the boxes show exactly what the conversion gives for the box's text with
// the tables the window was given, and a run replaces the previous result.
TEST_F(FrmMainTest, ConvertShowsTheRunOfTheInputBoxWithTheTablesGiven) {
    const std::string alphabet[] = {"发", "东", "A",  " ",  "！", "“",  "”",  "，", "。", "：",
                                    "；", "\n", "\r", "中", "😀",  "\t", "　", "?",  "."};
    std::mt19937 random(99);
    for (int round = 0; round < 300; ++round) {
        std::string input;
        const int length = static_cast<int>(random() % 30);
        for (int at = 0; at < length; ++at) {
            input += alphabet[random() % std::size(alphabet)];
        }
        Convert(input);

        StringSource source(input);
        Utf8Sink japaneseCode;
        Utf8Sink preview;
        TablePaths paths;
        RecordingReport report;
        ConvertText(RunKind::PerCharacter, source, japaneseCode, preview, paths,
                    {m_tables.Path(), TableReading::PerRecord}, report);
        ASSERT_TRUE(report.Entries().empty());
        ASSERT_EQ(Shown(Control::Text2), japaneseCode.Text()) << input;
        ASSERT_EQ(Shown(Control::Text3), preview.Text()) << input;
        ASSERT_EQ(Shown(Control::Text1), input);
    }
    EXPECT_TRUE(m_view.messages.empty());
    EXPECT_EQ(m_form.TablePaths().pinfile, Table("pin.dat"));
    EXPECT_EQ(m_form.TablePaths().pjfile, Table("pj.dat"));
    EXPECT_EQ(m_form.TablePaths().jjfile, Table("jj.dat"));
}

// Each table missing, replaced by a folder, or cut short: one report, in Chinese, naming the
// table and the folder the tables belong in, and leaving the previous result in the boxes. The
// next run with sound tables works again.
TEST_F(FrmMainTest, EveryTableFaultIsReportedInChineseWithTheRemedy) {
    struct Fault {
        const char* what;
        std::function<void(const std::filesystem::path&)> apply;
        int number;
    };
    const Fault faults[] = {
        {"missing", [](const std::filesystem::path& table) { std::filesystem::remove(table); }, 53},
        {"a folder",
         [](const std::filesystem::path& table) {
             std::filesystem::remove(table);
             std::filesystem::create_directory(table);
         },
         75},
        {"cut short",
         [](const std::filesystem::path& table) { WriteFile(table, RecordBytes(Gbk("　"))); }, 321},
    };
    for (const char* table : {kKeyTableName, kJapaneseCodeTableName, kPreviewTableName}) {
        for (const Fault& fault : faults) {
            SCOPED_TRACE(std::string(table) + " " + fault.what);
            m_view.messages.clear();
            Convert("东");
            fault.apply(Table(table));
            Convert("发");
            ASSERT_EQ(m_view.messages.size(), 1u);
            const std::string& text = m_view.messages[0].text;
            EXPECT_EQ(m_view.messages[0].title, "Error in Command1Click");
            EXPECT_EQ(text.rfind("ErrorNo:" + std::to_string(fault.number) + "\r\nErrorInfo:", 0),
                      0u)
                << text;
            EXPECT_NE(text.find(std::string("码表文件 ") + table), std::string::npos) << text;
            EXPECT_TRUE(text.ends_with("本程序所在的文件夹中：\r\n" + m_tables.Path().string()))
                << text;
            EXPECT_EQ(Shown(Control::Text2), "搶");
            EXPECT_EQ(Shown(Control::Text3), "東");

            std::filesystem::remove_all(Table(table));
            WriteTables(m_tables.Path(), SampleRows());
            Convert("发");
            EXPECT_EQ(m_view.messages.size(), 1u);
            EXPECT_EQ(Shown(Control::Text2), "敪");
        }
    }
}

TEST_F(FrmMainTest, ADamagedRecordPairIsReportedNamingTheTablesAndTheRecord) {
    // 发 (record 3) carries 东's Shift-JIS code: a Japanese program would read 東 where the
    // preview shows 発.
    WriteTables(m_tables.Path(), {{Gbk("　"), "\x81\x40", Gbk("　")},
                                  {Gbk("东"), "\x93\x8C", Gbk("東")},
                                  {Gbk("发"), "\x93\x8C", Gbk("発")}});
    Convert("东发东");
    ASSERT_EQ(m_view.messages.size(), 1u);
    EXPECT_EQ(m_view.messages[0].title, "Error in Command1Click");
    const std::string& text = m_view.messages[0].text;
    EXPECT_EQ(text.rfind("ErrorNo:321\r\nErrorInfo:", 0), 0u) << text;
    EXPECT_NE(text.find("码表文件 pj.dat 和 jj.dat 的第 3 条记录"), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with(m_tables.Path().string())) << text;
    EXPECT_EQ(Shown(Control::Text2), "搶") << "what was converted before stays";
    EXPECT_EQ(Shown(Control::Text3), "東");
}

TEST_F(FrmMainTest, BoxesThatCannotBeReadOrSetAreTheRunsReport) {
    for (const bool reading : {true, false}) {
        m_view.messages.clear();
        m_view.failingBoxRead.reset();
        m_view.failingBoxWrite.reset();
        (reading ? m_view.failingBoxRead : m_view.failingBoxWrite) =
            reading ? Control::Text1 : Control::Text2;
        Convert("发");
        ASSERT_EQ(m_view.messages.size(), 1u) << reading;
        EXPECT_EQ(m_view.messages[0].title, "Error in Command1Click");
        EXPECT_EQ(m_view.messages[0].text, "ErrorNo:7\r\nErrorInfo:内存不足");
    }
}

// Every click swaps the state; only the preview box changes visibility, its text stays and a
// conversion fills it in either state.
TEST_F(FrmMainTest, HideShowAlternatesAndTouchesOnlyThePreview) {
    Convert("发");
    for (int click = 1; click <= 6; ++click) {
        m_form.Command4_Click();
        const bool hidden = click % 2 == 1;
        EXPECT_EQ(m_view.Visible(Control::Text3), !hidden);
        EXPECT_EQ(m_view.clientHeight,
                  hidden ? kCollapsedClientHeightTwips : kExpandedClientHeightTwips);
        EXPECT_EQ(Shown(Control::Command4), hidden ? kShowCaption : kHideCaption);
        for (const ControlLayout& control : FrmMainControls()) {
            if (control.id != Control::Text3) {
                EXPECT_TRUE(m_view.Visible(control.id)) << control.name;
            }
        }
        EXPECT_EQ(Shown(Control::Text3), click <= 3 ? "発" : "東");
        if (click == 3) {
            Convert("东");
        }
    }
    EXPECT_TRUE(m_view.messages.empty());
}

TEST_F(FrmMainTest, ClicksReachTheirHandlersAndNothingElseHandlesOne) {
    for (const ControlLayout& control : FrmMainControls()) {
        if (control.kind != ControlKind::Button) {
            m_form.Click(control.id);
        }
    }
    EXPECT_TRUE(m_view.messages.empty());
    EXPECT_TRUE(m_view.boxWrites.empty());
    EXPECT_EQ(m_view.endings, 0);

    m_form.Click(Control::cmdAbout);
    ASSERT_EQ(m_view.messages.size(), 1u);
    EXPECT_EQ(m_view.messages[0].title, "关于");
    EXPECT_EQ(m_view.messages[0].text, AboutText());
    m_view.Text(Control::Text1) = "东";
    m_form.Click(Control::cmdSwitch);
    EXPECT_EQ(Shown(Control::Text2), "搶");
    m_form.Click(Control::Command4);
    EXPECT_FALSE(m_view.Visible(Control::Text3));
    m_form.Click(Control::Command3);
    EXPECT_EQ(m_view.endings, 1);
}

// Of every Enter key in every box, with every set of modifiers, only Ctrl+Enter in the input
// box is used: it converts as the Convert button does. Every other one is left to the box.
TEST_F(FrmMainTest, CtrlEnterInTheInputBoxConvertsAndNoOtherEnterIsTaken) {
    for (const ControlLayout& control : FrmMainControls()) {
        for (int held = 0; held < 8; ++held) {
            const KeyModifiers modifiers{(held & 1) != 0, (held & 2) != 0, (held & 4) != 0};
            SCOPED_TRACE(std::string(control.name) + " modifiers " + std::to_string(held));
            const bool wanted = control.id == Control::Text1 && held == 1;
            m_view.Text(Control::Text1) = "发东";
            m_view.Text(Control::Text2) = "";
            m_view.Text(Control::Text3) = "";
            EXPECT_EQ(m_form.KeyDown(control.id, BoxKey::Enter, modifiers), wanted);
            EXPECT_EQ(Shown(Control::Text2), wanted ? "敪搶" : "");
            EXPECT_EQ(Shown(Control::Text3), wanted ? "発東" : "");
            EXPECT_EQ(Shown(Control::Text1), "发东");
        }
    }
    EXPECT_TRUE(m_view.messages.empty());
    // A run started from the key reports its failures as the button's does.
    std::filesystem::remove(Table("pin.dat"));
    EXPECT_TRUE(m_form.KeyDown(Control::Text1, BoxKey::Enter, {true, false, false}));
    ASSERT_EQ(m_view.messages.size(), 1u);
    EXPECT_EQ(m_view.messages[0].title, "Error in Command1Click");
}

// Exit, the close of the window, or a close while a box is up: the program ends once and no
// later event, however it was queued, does anything.
TEST_F(FrmMainTest, OnceEndedNoEventDoesAnything) {
    const std::function<void(frmMain&, FakeView&)> endings[] = {
        [](frmMain& form, FakeView&) { form.Command3_Click(); },
        [](frmMain& form, FakeView&) { form.Form_Unload(); },
        [](frmMain& form, FakeView& view) {
            view.whileMessageShows = [&form] { form.Form_Unload(); };
            form.cmdAbout_Click();
            view.whileMessageShows = nullptr;
        },
    };
    for (const auto& end : endings) {
        FakeView view;
        frmMain form(view, {m_tables.Path(), TableReading::PerRecord});
        end(form, view);
        EXPECT_TRUE(form.Ended());
        EXPECT_EQ(view.endings, 1);
        const std::size_t messages = view.messages.size();
        std::filesystem::remove(Table("pj.dat")); // a run would report this
        view.Text(Control::Text1) = "发";
        form.Form_Load();
        form.cmdSwitch_Click();
        form.cmdAbout_Click();
        form.Command4_Click();
        form.Command3_Click();
        form.Form_Unload();
        EXPECT_FALSE(form.KeyDown(Control::Text1, BoxKey::Enter, {true, false, false}));
        EXPECT_EQ(view.messages.size(), messages);
        EXPECT_TRUE(view.boxWrites.empty());
        EXPECT_TRUE(view.Visible(Control::Text3));
        EXPECT_EQ(view.endings, 1);
        WriteTables(m_tables.Path(), SampleRows());
    }
}

} // namespace
} // namespace pelmora
