#include "child_process.h"
#include "code_page.h"
#include "edit_text.h"
#include "frm_main_window.h"
#include "program_directory.h"
#include "string_text.h"
#include "table_fixture.h"
#include "utf8.h"
#include "wide_text.h"
#include "window_driver.h"
#include "window_texts.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace pelmora {
namespace {

using testing::ClassOf;
using testing::ClientSize;
using testing::PlaceInParent;
using testing::TextOf;

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

LOGFONTW FontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font),
               &font);
    return font;
}

class FrmMainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::WriteTables(m_tables.Path(), testing::SampleRows());
        m_window = std::make_unique<FrmMainWindow>(GetModuleHandleW(nullptr), m_tables.Path());
        m_window->Show(SW_SHOWNORMAL);
        SetForegroundWindow(Window());
        // Keys typed in the tests go to the foreground window.
        ASSERT_TRUE(testing::PumpUntil([this] { return GetForegroundWindow() == Window(); }, 2000));
    }

    HWND Window() const { return m_window->Handle(); }
    HWND Item(Control control) const { return GetDlgItem(Window(), ControlId(control)); }
    std::string Text(Control control) const { return TextOf(Item(control)); }
    void Click(Control button) { SendMessageW(Item(button), BM_CLICK, 0, 0); }
    void Convert(std::string_view input) {
        testing::SetTextOf(Item(Control::Text1), input);
        Click(Control::cmdSwitch);
    }
    // Handles queued messages, keys included, as the program's loop does.
    bool Pump(const std::function<bool()>& done) {
        return testing::PumpUntil(
            done, 3000, [this](MSG& message) { return m_window->TranslateKeys(message); });
    }
    void PumpFor(int milliseconds) {
        testing::PumpUntil([] { return false; }, milliseconds,
                           [this](MSG& message) { return m_window->TranslateKeys(message); });
    }

    testing::TempDirectory m_tables;
    std::unique_ptr<FrmMainWindow> m_window;
};

TEST_F(FrmMainWindowTest, OpensLoadedAtTheLayoutSizeWithFocusInTheInputBox) {
    EXPECT_EQ(TextOf(Window()), WindowTitle());
    EXPECT_EQ(m_window->Dpi(), 96);
    // The manifest gives the controls visual styles (common controls 6) and makes the process
    // lay itself out per monitor rather than be stretched.
    // (The side-by-side assembly's folder names its version; Wine's copy reports 5.81 itself.)
    wchar_t controls[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"comctl32.dll"), controls, MAX_PATH);
    EXPECT_NE(std::wstring(_wcslwr(controls))
                  .find(L"microsoft.windows.common-controls_"
                        L"6595b64144ccf1df_6."),
              std::wstring::npos)
        << Utf8FromWide(controls);
    EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetWindowDpiAwarenessContext(Window())),
              DPI_AWARENESS_PER_MONITOR_AWARE);
    const SIZE client = ClientSize(Window());
    EXPECT_EQ(client.cx, PixelsFromTwips(kClientWidthTwips));
    EXPECT_EQ(client.cy, PixelsFromTwips(kExpandedClientHeightTwips));
    EXPECT_EQ(GetWindowLongW(Window(), GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    for (Control box : {Control::Text1, Control::Text2, Control::Text3}) {
        EXPECT_EQ(Text(box), "");
    }
    EXPECT_EQ(GetFocus(), Item(Control::Text1));
    for (auto [which, size] : {std::pair{GCLP_HICON, 32}, std::pair{GCLP_HICONSM, 16}}) {
        ICONINFO icon{};
        ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(GetClassLongPtrW(Window(), which)), &icon));
        BITMAP mask{};
        GetObjectW(icon.hbmMask, sizeof(mask), &mask);
        EXPECT_EQ(mask.bmWidth, size);
        DeleteObject(icon.hbmMask);
        DeleteObject(icon.hbmColor);
    }

    // The tab order runs through every control but the labels, in the layout's order.
    std::vector<std::string_view> tabOrder;
    HWND at = Item(Control::Text1);
    do {
        tabOrder.push_back(LayoutOf(static_cast<Control>(GetDlgCtrlID(at) - 1001)).name);
        at = GetNextDlgTabItem(Window(), at, FALSE);
    } while (at != Item(Control::Text1) && tabOrder.size() <= kControlCount);
    std::vector<std::string_view> layoutOrder;
    for (int index = 0; index < static_cast<int>(kControlCount); ++index) {
        for (const ControlLayout& layout : FrmMainControls()) {
            if (layout.tabIndex == index && layout.kind != ControlKind::Label) {
                layoutOrder.push_back(layout.name);
            }
        }
    }
    EXPECT_EQ(tabOrder, layoutOrder);
}

// Every control as the layout makes it: kind, text, place, style and font.
TEST_F(FrmMainWindowTest, EveryControlIsMadeFromTheLayout) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, 96);
    for (const ControlLayout& layout : FrmMainControls()) {
        SCOPED_TRACE(layout.name);
        HWND control = Item(layout.id);
        ASSERT_NE(control, nullptr);
        const std::wstring kind = ClassOf(control);
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        EXPECT_TRUE(SameRect(PlaceInParent(control), PixelRect(layout.place, 96)));
        EXPECT_TRUE(style & WS_VISIBLE);
        EXPECT_EQ(Text(layout.id), layout.id == Control::txtHelp ? HelpText() : layout.text);
        const LOGFONTW font = FontOf(control);
        switch (layout.kind) {
        case ControlKind::Label:
            EXPECT_EQ(_wcsicmp(kind.c_str(), L"Static"), 0);
            EXPECT_FALSE(style & WS_TABSTOP);
            break;
        case ControlKind::Button:
            EXPECT_EQ(_wcsicmp(kind.c_str(), L"Button"), 0);
            EXPECT_TRUE(style & WS_TABSTOP);
            break;
        case ControlKind::TextBox:
            EXPECT_EQ(_wcsicmp(kind.c_str(), L"Edit"), 0);
            EXPECT_TRUE(style & WS_TABSTOP);
            EXPECT_TRUE(style & ES_MULTILINE);
            EXPECT_EQ((style & ES_READONLY) != 0, layout.readOnly);
            EXPECT_EQ((style & WS_VSCROLL) != 0, layout.scrollBars == ScrollBars::Vertical);
            EXPECT_EQ(Utf8FromWide(font.lfFaceName), layout.font->face);
            EXPECT_EQ(font.lfCharSet, kGb2312CharSet);
            EXPECT_EQ(font.lfHeight, FontHeight(layout.font->points, 96));
            EXPECT_EQ(font.lfWeight, FW_NORMAL);
            continue;
        }
        EXPECT_STREQ(font.lfFaceName, metrics.lfMessageFont.lfFaceName);
        EXPECT_EQ(font.lfHeight, metrics.lfMessageFont.lfHeight);
    }
    EXPECT_EQ(FontHeight(9.75, 96), -13);
    EXPECT_EQ(FontHeight(10.5, 96), -14);
}

// The layout follows the DPI Windows announces: at each one the client area and every control
// are the twips converted at that DPI, expanded and collapsed, and the fonts grow with it.
TEST_F(FrmMainWindowTest, LaysOutAgainAtEachDpi) {
    for (int dpi : {120, 144, 168, 192, 240, 288, 96}) {
        SCOPED_TRACE(dpi);
        RECT suggested{};
        GetWindowRect(Window(), &suggested);
        SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        for (int collapsed = 0; collapsed < 2; ++collapsed) {
            const int height =
                collapsed != 0 ? kCollapsedClientHeightTwips : kExpandedClientHeightTwips;
            EXPECT_EQ(ClientSize(Window()).cx, PixelsFromTwips(kClientWidthTwips, dpi));
            EXPECT_EQ(ClientSize(Window()).cy, PixelsFromTwips(height, dpi));
            for (const ControlLayout& layout : FrmMainControls()) {
                EXPECT_TRUE(SameRect(PlaceInParent(Item(layout.id)), PixelRect(layout.place, dpi)))
                    << layout.name;
                if (layout.font) {
                    EXPECT_EQ(FontOf(Item(layout.id)).lfHeight,
                              FontHeight(layout.font->points, dpi))
                        << layout.name;
                }
            }
            Click(Control::Command4);
        }
    }
}

TEST_F(FrmMainWindowTest, ConvertFillsBothBoxesAndKeepsLineBreaks) {
    Convert("发东A");
    EXPECT_EQ(Text(Control::Text2), "敪搶A");
    EXPECT_EQ(Text(Control::Text3), "発東A");

    Convert("东\r\n发 一！");
    EXPECT_EQ(Text(Control::Text2), "搶\r\n敪 仩!");
    EXPECT_EQ(Text(Control::Text3), "東\r\n発 □!");
    EXPECT_EQ(m_window->Form().TablePaths().pinfile, m_tables.Path() / "pin.dat");
    EXPECT_EQ(m_window->Form().TablePaths().jjfile, m_tables.Path() / "jj.dat");
}

// A text far beyond an edit control's usual limit, pasted by the user, is taken and converted
// whole.
TEST_F(FrmMainWindowTest, LongPastedTextConvertsWhole) {
    std::wstring pasted;
    std::string expected;
    for (int line = 0; line < 800; ++line) {
        for (int pair = 0; pair < 25; ++pair) {
            pasted += L"\x53D1\x4E1C"; // 发东
            expected += "発東";
        }
        pasted += L"\r\n";
        expected += "\r\n";
    }
    ASSERT_TRUE(OpenClipboard(Window()));
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (pasted.size() + 1) * sizeof(wchar_t));
    std::copy_n(pasted.c_str(), pasted.size() + 1, static_cast<wchar_t*>(GlobalLock(data)));
    GlobalUnlock(data);
    SetClipboardData(CF_UNICODETEXT, data);
    CloseClipboard();

    SendMessageW(Item(Control::Text1), WM_PASTE, 0, 0);
    EXPECT_EQ(GetWindowTextLengthW(Item(Control::Text1)), static_cast<int>(pasted.size()));
    Click(Control::cmdSwitch);
    const std::string preview = Text(Control::Text3);
    EXPECT_EQ(preview.size(), expected.size());
    EXPECT_TRUE(preview == expected); // not printed: 120 KB
}

TEST_F(FrmMainWindowTest, HideShowCollapsesAndRestoresTheWindow) {
    Convert("发");
    Click(Control::Command4);
    EXPECT_FALSE(IsWindowVisible(Item(Control::Text3)));
    EXPECT_EQ(Text(Control::Command4), "显示↓");
    const int collapsed = PixelsFromTwips(kCollapsedClientHeightTwips);
    EXPECT_EQ(ClientSize(Window()).cx, PixelsFromTwips(kClientWidthTwips));
    EXPECT_EQ(ClientSize(Window()).cy, collapsed);
    EXPECT_TRUE(IsWindowVisible(Item(Control::Label3)));
    EXPECT_LT(PlaceInParent(Item(Control::Label3)).bottom, collapsed);
    EXPECT_GE(PlaceInParent(Item(Control::txtHelp)).top, collapsed);

    Convert("东");
    EXPECT_EQ(Text(Control::Text3), "東");
    Click(Control::Command4);
    EXPECT_TRUE(IsWindowVisible(Item(Control::Text3)));
    EXPECT_EQ(Text(Control::Command4), "隐藏↑");
    EXPECT_EQ(ClientSize(Window()).cy, PixelsFromTwips(kExpandedClientHeightTwips));
    EXPECT_EQ(Text(Control::Text3), "東");
}

TEST_F(FrmMainWindowTest, AboutAndErrorsArePlainMessageBoxes) {
    const testing::ShownBox about =
        testing::CaptureMessageBox([this] { Click(Control::cmdAbout); });
    EXPECT_EQ(about.count, 1);
    EXPECT_EQ(about.title, "关于");
    EXPECT_EQ(about.text, AboutText());
    EXPECT_EQ(about.buttons.size(), 1u);
    EXPECT_FALSE(about.icon);

    Convert("发");
    std::filesystem::remove(m_tables.Path() / "pj.dat");
    const testing::ShownBox error = testing::CaptureMessageBox([this] { Convert("东"); });
    EXPECT_EQ(error.count, 1);
    EXPECT_EQ(error.title, "Error in Command1Click");
    EXPECT_EQ(error.text.rfind("ErrorNo:53\r\nErrorInfo:找不到码表文件 pj.dat", 0), 0u)
        << error.text;
    EXPECT_EQ(error.buttons.size(), 1u);
    EXPECT_FALSE(error.icon);
    EXPECT_EQ(Text(Control::Text2), "敪");
    EXPECT_EQ(Text(Control::Text3), "発");
}

TEST_F(FrmMainWindowTest, OutputBoxesAreCopyableButNotEditable) {
    Convert("发东");
    for (Control box : {Control::Text2, Control::Text3}) {
        HWND output = Item(box);
        const std::string before = Text(box);
        SetFocus(output);
        SendMessageW(output, EM_SETSEL, 1, 1);
        testing::PressKey('X');
        testing::PressKey(VK_BACK);
        PumpFor(100);
        EXPECT_EQ(Text(box), before);

        OpenClipboard(Window());
        EmptyClipboard();
        CloseClipboard();
        testing::PressKey('A', {VK_CONTROL});
        testing::PressKey('C', {VK_CONTROL});
        PumpFor(100);
        ASSERT_TRUE(OpenClipboard(Window()));
        HANDLE data = GetClipboardData(CF_UNICODETEXT);
        const std::string copied =
            data != nullptr ? Utf8FromWide(static_cast<const wchar_t*>(GlobalLock(data))) : "";
        if (data != nullptr) {
            GlobalUnlock(data);
        }
        CloseClipboard();
        EXPECT_EQ(copied, before);
    }
}

// Enter and Space press the focused button; Tab moves through the tab order; Enter in the
// input box is a line break, Ctrl+Enter there converts.
TEST_F(FrmMainWindowTest, KeysPressTheFocusedButton) {
    for (WORD key : {VK_RETURN, VK_SPACE}) {
        SCOPED_TRACE(key);
        testing::SetTextOf(Item(Control::Text1), "东");
        SetFocus(Item(Control::Text1));
        for (int tab = 0; tab < 3; ++tab) {
            testing::PressKey(VK_TAB);
        }
        ASSERT_TRUE(Pump([this] { return GetFocus() == Item(Control::cmdSwitch); }));
        testing::PressKey(key);
        EXPECT_TRUE(Pump([this] { return Text(Control::Text3) == "東"; }));

        testing::PressKey(VK_TAB, {VK_SHIFT});
        ASSERT_TRUE(Pump([this] { return GetFocus() == Item(Control::Text3); }));
        SetFocus(Item(Control::Command4));
        testing::PressKey(key);
        EXPECT_TRUE(Pump([this] { return Text(Control::Command4) == "显示↓"; }));
        testing::PressKey(key);
        EXPECT_TRUE(Pump([this] { return Text(Control::Command4) == "隐藏↑"; }));
        testing::SetTextOf(Item(Control::Text3), "");
    }
    // In the input box Enter starts a new line and presses nothing.
    testing::SetTextOf(Item(Control::Text1), "东");
    SetFocus(Item(Control::Text1));
    SendMessageW(Item(Control::Text1), EM_SETSEL, 1, 1);
    testing::PressKey(VK_RETURN);
    testing::PressKey('A');
    EXPECT_TRUE(Pump([this] { return Text(Control::Text1) == "东\r\na"; }));
    EXPECT_EQ(Text(Control::Text3), "");
    // Ctrl+Enter there converts, types no line break and leaves the focus in the box.
    testing::PressKey(VK_RETURN, {VK_CONTROL});
    EXPECT_TRUE(Pump([this] { return Text(Control::Text3) == "東\r\n□"; }));
    testing::PressKey('B');
    EXPECT_TRUE(Pump([this] { return Text(Control::Text1) == "东\r\nab"; }));
    EXPECT_EQ(GetFocus(), Item(Control::Text1));
}

// A right-click on the right half of a character of Text2 opens the window's menu with that
// character's candidates; picking one with the keyboard changes it in both boxes.
TEST_F(FrmMainWindowTest, RightClickOffersCandidatesAndAPickChangesBothBoxes) {
    testing::WriteFile(m_tables.Path() / "candidates.dat",
                       testing::CandidateEntryBytes(testing::Gbk("发"), {"\x94\xAD", "\x94\xAF"},
                                                    {testing::Gbk("発"), testing::Gbk("髪")}));
    Convert("东发\r\n东");
    HWND text2 = Item(Control::Text2);
    const auto start = static_cast<DWORD>(SendMessageW(text2, EM_POSFROMCHAR, 1, 0));
    const auto end = static_cast<DWORD>(SendMessageW(text2, EM_POSFROMCHAR, 2, 0));
    POINT over{static_cast<short>(LOWORD(end)) - 2, static_cast<short>(HIWORD(start)) + 4};
    ClientToScreen(text2, &over);

    const std::vector<std::string> offered = testing::CaptureMenu(
        [&] {
            testing::ClickMouse(over, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
            PumpFor(300);
        },
        2);
    EXPECT_EQ(offered, (std::vector<std::string>{"発", "髪", "按词语选字", "按人名选字",
                                                 "粘贴乱码并还原", "复制", "全选"}));
    EXPECT_EQ(Text(Control::Text3), "東髪\r\n東");
    EXPECT_EQ(Text(Control::Text2),
              "搶" + EncodeUtf8(std::u32string(1, RecordCharacter({0x94, 0xAF}))) + "\r\n搶");

    // The output boxes carry the layout's tooltip, and only they.
    HWND toolTips = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
    while (toolTips != nullptr && GetWindow(toolTips, GW_OWNER) != Window()) {
        toolTips = FindWindowExW(nullptr, toolTips, TOOLTIPS_CLASSW, nullptr);
    }
    ASSERT_NE(toolTips, nullptr);
    for (const ControlLayout& layout : FrmMainControls()) {
        wchar_t text[512] = {};
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = Window();
        tool.uId = reinterpret_cast<UINT_PTR>(Item(layout.id));
        tool.lpszText = text;
        SendMessageW(toolTips, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
        EXPECT_EQ(Utf8FromWide(text), layout.toolTip) << layout.name;
    }
}

// A Japanese program's text, shown through the ANSI API on this desktop (code page 936) and
// copied by a user, pasted with "粘贴乱码并还原": the code box gets it as copied, the preview
// the Japanese text and the input box the Chinese. The file name the program made reads back
// the same way on the command line. Windows shows the bytes as the engine reads code page 936,
// so the toolkit-neutral tests, which make garbled text with the engine, stand for this desktop.
TEST_F(FrmMainWindowTest, GarbledTextCopiedFromAnAnsiProgramReadsBack) {
    ASSERT_EQ(GetACP(), 936u) << "the window tests run with LANG=zh_CN.UTF-8";
    // 発東 and the half-width katakana ｾｰﾌﾞ, whose single bytes code page 936 shows in pairs.
    const std::string shiftJis = "\x94\xAD\x93\x8C\xBE\xB0\xCC\xDE";
    testing::TempDirectory work;
    const testing::ChildOutcome program =
        testing::RunChild((ProgramDirectory() / "pelmora_ansi_text.exe").string(),
                          {"94AD938CBEB0CCDE", work.Path().string()}, work.Path(), std::nullopt);
    ASSERT_EQ(program.exitCode, 0) << program.err;
    const std::string garbled = program.out;
    EXPECT_EQ(garbled, testing::DecodeToUtf8(shiftJis, TextEncoding::Gbk));
    std::string fileName;
    for (const auto& entry : std::filesystem::directory_iterator(work.Path())) {
        if (entry.path().extension() == ".sav") {
            fileName = Utf8FromWide(entry.path().stem().wstring());
        }
    }
    EXPECT_EQ(fileName, garbled);

    POINT inCodeBox{4, 4};
    ClientToScreen(Item(Control::Text2), &inCodeBox);
    const std::vector<std::string> offered = testing::CaptureMenu(
        [&] {
            testing::ClickMouse(inCodeBox, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
            PumpFor(300);
        },
        3);
    EXPECT_EQ(offered, (std::vector<std::string>{"按词语选字", "按人名选字", "粘贴乱码并还原",
                                                 "复制", "全选"}));
    EXPECT_EQ(Text(Control::Text2), garbled);
    EXPECT_EQ(Text(Control::Text3), "発東ｾｰﾌﾞ");
    EXPECT_EQ(Text(Control::Text1), "发东ｾｰﾌﾞ");

    testing::WriteFile(work.Path() / "name.txt", fileName);
    for (const bool preview : {false, true}) {
        std::vector<std::string> arguments{"--tables", m_tables.Path().string(), "--reverse",
                                           (work.Path() / "name.txt").string()};
        if (preview) {
            arguments.push_back("--preview");
        }
        const testing::ChildOutcome read =
            testing::RunChild((ProgramDirectory() / "pelmora-convert.exe").string(), arguments,
                              work.Path(), std::nullopt);
        EXPECT_EQ(read.exitCode, 0) << read.err;
        EXPECT_EQ(read.out, preview ? "発東ｾｰﾌﾞ" : "发东ｾｰﾌﾞ");
    }
}

// The input box's menu: the system's own editing commands, in its language, which act on the
// box, then the window's JIS X 0208 setting; picked, it makes the next conversion give an
// extension kanji without a JIS X 0208 candidate as a miss.
TEST_F(FrmMainWindowTest, InputBoxMenuKeepsTheSystemsCommandsAndTurnsJisX0208OnlyOn) {
    std::vector<testing::TableRow> rows = testing::SampleRows();
    rows.insert(rows.end() - 1, {testing::Gbk("琪"), "\xEE\x4C", testing::Gbk("琪")});
    testing::WriteTables(m_tables.Path(), rows);
    HWND text1 = Item(Control::Text1);
    testing::SetTextOf(text1, "琪发");
    POINT inBox{20, 8};
    ClientToScreen(text1, &inBox);
    const auto rightClick = [&] {
        testing::ClickMouse(inBox, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
        PumpFor(300);
    };
    const std::vector<std::string> offered = testing::CaptureMenu(rightClick, -1);
    ASSERT_EQ(offered.size(), 7u);
    EXPECT_EQ(offered.back(), kJisX0208Item);
    for (std::size_t i = 0; i + 1 < offered.size(); ++i) {
        const std::u32string entry = DecodeUtf8(offered[i]);
        EXPECT_TRUE(std::any_of(entry.begin(), entry.end(),
                                [](char32_t c) { return c >= U'\u4E00' && c <= U'\u9FFF'; }))
            << offered[i] << ": the system's own text, in Chinese under code page 936";
    }
    Click(Control::cmdSwitch);
    EXPECT_EQ(Text(Control::Text3), "□発");

    SendMessageW(text1, EM_SETSEL, 1, 1);
    testing::CaptureMenu(rightClick, -2); // the system's Select All
    DWORD start = 1, end = 0;
    SendMessageW(text1, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 2u);
}

// Over a text longer than the 16 bits the edit control's hit test answers in, with surrogate
// pairs and line breaks: a point in the left and in the right half of a character, wherever it
// is, finds that character's index in characters of the text.
TEST_F(FrmMainWindowTest, PointsFindTheCharacterDrawnUnderThemAcrossALongText) {
    std::wstring text;
    std::vector<std::size_t> characterAt; // the character index of each UTF-16 unit
    std::size_t characters = 0;
    for (int line = 0; text.size() < 70000; ++line) {
        for (int column = 0; column < 20; ++column) {
            const bool pair = (line + column) % 7 == 0;
            text += pair ? L"\xD840\xDC0B" : std::wstring(1, column % 3 ? L'\x4E1C' : L'A');
            characterAt.insert(characterAt.end(), pair ? 2 : 1, characters++);
        }
        text += L"\r\n";
        characterAt.insert(characterAt.end(), {characters, characters + 1});
        characters += 2;
    }
    HWND box = Item(Control::Text2);
    SetWindowTextW(box, text.c_str());
    const auto position = [box](std::size_t unit) {
        const auto packed = static_cast<DWORD>(SendMessageW(box, EM_POSFROMCHAR, unit, 0));
        return POINT{static_cast<short>(LOWORD(packed)), static_cast<short>(HIWORD(packed))};
    };
    for (std::size_t unit = 0; unit < text.size(); unit += 997) {
        while (text[unit] == L'\r' || text[unit] == L'\n' || (text[unit] & 0xFC00) == 0xDC00) {
            ++unit;
        }
        SendMessageW(box, EM_SETSEL, unit, unit);
        SendMessageW(box, EM_SCROLLCARET, 0, 0);
        const POINT left = position(unit);
        const std::size_t after = unit + ((text[unit] & 0xFC00) == 0xD800 ? 2 : 1);
        const LONG right = text[after] == L'\r' ? left.x + 6 : position(after).x;
        for (LONG x : {left.x + 1, right - 2}) {
            EXPECT_EQ(CharacterIndexAt(box, POINT{x, left.y + 3}), characterAt[unit])
                << "unit " << unit << " x " << x;
        }
    }
    // Past the end of a line is no character: the text's length.
    SendMessageW(box, EM_SETSEL, 0, 0);
    SendMessageW(box, EM_SCROLLCARET, 0, 0);
    const POINT lineEnd = position(text.find(L'\r'));
    RECT client{};
    GetClientRect(box, &client);
    ASSERT_LT(lineEnd.x + 4, client.right);
    EXPECT_EQ(CharacterIndexAt(box, POINT{lineEnd.x + 4, lineEnd.y + 3}), characters);
}

// Closing the window or Exit ends the message loop; clicks queued behind it do nothing.
TEST_F(FrmMainWindowTest, CloseAndExitEndTheProgram) {
    for (UINT ending : {UINT{WM_CLOSE}, UINT{BM_CLICK}}) {
        if (m_window->Handle() == nullptr) {
            SetUp();
        }
        HWND window = Window();
        if (ending == WM_CLOSE) {
            PostMessageW(window, WM_CLOSE, 0, 0);
        } else {
            PostMessageW(Item(Control::Command3), BM_CLICK, 0, 0);
        }
        PostMessageW(Item(Control::cmdAbout), BM_CLICK, 0, 0);
        const testing::ShownBox shown =
            testing::CaptureMessageBox([this] { EXPECT_EQ(RunMessageLoop(*m_window), 0); });
        EXPECT_EQ(shown.count, 0);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(m_window->Handle(), nullptr);
        EXPECT_TRUE(m_window->Form().Ended());
    }
}

} // namespace
} // namespace pelmora
