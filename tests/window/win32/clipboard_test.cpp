// The copy a user makes from the Japanese code box, end to end through the real window and the
// system clipboard: what a Japanese program reads from it must be the kanji the preview shows.

#include "code_page.h"
#include "frm_main_window.h"
#include "table_fixture.h"
#include "wide_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace pelmora {
namespace {

constexpr UINT kChineseCodePage = 936;
constexpr UINT kShiftJisCodePage = 932;

// `character` in `codePage` as one double-byte pair, by the system's own tables; nothing when
// the code page has no exact pair for it.
std::optional<std::string> Pair(UINT codePage, wchar_t character) {
    char bytes[4];
    BOOL substituted = FALSE;
    const int length = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, &character, 1, bytes,
                                           sizeof(bytes), nullptr, &substituted);
    if (length != 2 || substituted) {
        return std::nullopt;
    }
    return std::string(bytes, 2);
}

std::optional<std::wstring> Decode(UINT codePage, const std::string& bytes) {
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                           static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                        static_cast<int>(bytes.size()), wide.data(), length);
    return wide;
}

CharCode SignedCode(const std::string& pair) {
    return static_cast<CharCode>(static_cast<std::uint8_t>(pair[0]) << 8 |
                                 static_cast<std::uint8_t>(pair[1]));
}

// Tables in which each ideograph that both code pages hold maps to its own Shift-JIS code,
// shown through code page 936, with itself as the preview; worked out through the system's code
// pages, not the engine's.
std::vector<testing::TableRow> IdeographRows() {
    std::vector<testing::TableRow> rows;
    for (wchar_t ideograph = 0x4E00; ideograph <= 0x9FA5; ++ideograph) {
        const auto chinese = Pair(kChineseCodePage, ideograph);
        const auto shiftJis = Pair(kShiftJisCodePage, ideograph);
        if (!chinese || !shiftJis) {
            continue;
        }
        // The code text shows the Shift-JIS bytes as a code page 936 character; pairs that are
        // no such character could not be shown in the box at all.
        const auto shown = Decode(kChineseCodePage, *shiftJis);
        if (shown && shown->size() == 1 && Pair(kChineseCodePage, (*shown)[0]) == shiftJis) {
            rows.push_back({*chinese, *shiftJis, *chinese});
        }
    }
    std::sort(rows.begin(), rows.end(),
              [](const auto& a, const auto& b) { return SignedCode(a.key) < SignedCode(b.key); });
    return rows;
}

std::string ClipboardBytes(HWND owner) {
    std::string bytes;
    if (!OpenClipboard(owner)) {
        return bytes;
    }
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        bytes = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return bytes;
}

// Every ideograph both code pages hold, every other ideograph of the block (misses), line breaks,
// punctuation and spaces, in one text: the copied code text, read as Shift-JIS, is exactly the
// preview.
TEST(ClipboardTest, CopiedCodeTextReadsAsShiftJisToThePreview) {
    ASSERT_EQ(GetACP(), kChineseCodePage) << "the window tests run with LANG=zh_CN.UTF-8";
    testing::TempDirectory tables;
    const std::vector<testing::TableRow> rows = IdeographRows();
    ASSERT_GT(rows.size(), 5000u);
    testing::WriteTables(tables.Path(), rows);

    std::wstring input;
    for (wchar_t ideograph = 0x4E00; ideograph <= 0x9FFF; ++ideograph) {
        input += ideograph;
        if (ideograph % 64 == 0) {
            input += L"\r\n\xFF0C ";
        }
    }
    FrmMainWindow window(GetModuleHandleW(nullptr), tables.Path());
    HWND codeText = GetDlgItem(window.Handle(), ControlId(Control::Text2));
    HWND preview = GetDlgItem(window.Handle(), ControlId(Control::Text3));
    SetWindowTextW(GetDlgItem(window.Handle(), ControlId(Control::Text1)), input.c_str());
    SendMessageW(GetDlgItem(window.Handle(), ControlId(Control::cmdSwitch)), BM_CLICK, 0, 0);

    SendMessageW(codeText, EM_SETSEL, 0, -1);
    SendMessageW(codeText, WM_COPY, 0, 0);
    const std::optional<std::wstring> readAsShiftJis =
        Decode(kShiftJisCodePage, ClipboardBytes(window.Handle()));
    ASSERT_TRUE(readAsShiftJis.has_value());

    std::wstring shown(static_cast<std::size_t>(GetWindowTextLengthW(preview)) + 1, L'\0');
    shown.resize(static_cast<std::size_t>(
        GetWindowTextW(preview, shown.data(), static_cast<int>(shown.size()))));
    ASSERT_EQ(readAsShiftJis->size(), shown.size());
    std::size_t misses = 0;
    for (std::size_t at = 0; at < shown.size(); ++at) {
        ASSERT_EQ((*readAsShiftJis)[at], shown[at]) << "at " << at;
        misses += shown[at] == kPlaceholder;
    }
    EXPECT_EQ(misses, 0x9FFF - 0x4E00 + 1 - rows.size());
}

} // namespace
} // namespace pelmora
