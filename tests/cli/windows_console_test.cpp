// Windows: pelmora-convert writing to a console shows the text itself, Chinese and kanji alike,
// whatever the console's code page; redirected, it writes the bytes. Reading from a console, it
// takes the text as typed and ends at Ctrl+Z at the start of a line.
#include "child_process.h"
#include "table_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <windows.h>

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using testing::Gbk;
using testing::TempDirectory;
using testing::WideFromUtf8;
using testing::WriteFile;
using testing::WriteTables;

bool UnderWineWithoutDisplay() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const bool wine = ntdll && GetProcAddress(ntdll, "wine_get_version");
    return wine && std::getenv("DISPLAY") == nullptr;
}

// A console of this test's own, which pelmora-convert writes into and the test reads back.
class WindowsConsoleTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (UnderWineWithoutDisplay()) {
            GTEST_SKIP() << "Wine makes a console only on a display";
        }
        FreeConsole();
        ASSERT_TRUE(AllocConsole());
        SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
        m_console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0,
                                nullptr);
        DWORD mode = 0;
        ASSERT_TRUE(GetConsoleMode(m_console, &mode));
        fs::create_directories(Tables());
        WriteTables(Tables(),
                    {{Gbk("东"), "\x93\x8C", Gbk("東")}, {Gbk("发"), "\x94\xAD", Gbk("発")}});
        WriteFile(Tables() / "input.txt", "发东");
    }
    void TearDown() override {
        if (m_console != INVALID_HANDLE_VALUE) {
            CloseHandle(m_console);
        }
        FreeConsole();
    }

    // Runs pelmora-convert on the input file with both output streams on the console, after
    // emptying it; returns the exit code.
    DWORD Run(const std::string& arguments) {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        GetConsoleScreenBufferInfo(m_console, &info);
        DWORD written = 0;
        FillConsoleOutputCharacterW(m_console, L' ', info.dwSize.X * info.dwSize.Y, {0, 0},
                                    &written);
        SetConsoleCursorPosition(m_console, {0, 0});
        std::wstring line = L"\"" + fs::path(PELMORA_CONVERT).wstring() + L"\" --tables \"" +
                            Tables().wstring() + L"\" " + WideFromUtf8(arguments) + L" \"" +
                            (Tables() / "input.txt").wstring() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = m_console;
        startup.hStdError = m_console;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                            &startup, &process)) {
            return 255;
        }
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD exitCode = 255;
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return exitCode;
    }

    // Types `text` into the console's input, one key press per character ("\r" is Enter).
    void Type(HANDLE input, std::wstring_view text) {
        std::vector<INPUT_RECORD> keys;
        for (const wchar_t character : text) {
            for (const BOOL down : {TRUE, FALSE}) {
                INPUT_RECORD key{};
                key.EventType = KEY_EVENT;
                key.Event.KeyEvent.bKeyDown = down;
                key.Event.KeyEvent.wRepeatCount = 1;
                key.Event.KeyEvent.wVirtualKeyCode =
                    character == L'\r' ? VK_RETURN : (character == L'\x1A' ? 'Z' : 0);
                key.Event.KeyEvent.dwControlKeyState = character == L'\x1A' ? LEFT_CTRL_PRESSED : 0;
                key.Event.KeyEvent.uChar.UnicodeChar = character;
                keys.push_back(key);
            }
        }
        DWORD written = 0;
        WriteConsoleInputW(input, keys.data(), static_cast<DWORD>(keys.size()), &written);
    }

    // Console line `row`, without the blanks after its text.
    std::wstring Line(short row) const {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        GetConsoleScreenBufferInfo(m_console, &info);
        const auto width = static_cast<DWORD>(info.dwSize.X);
        std::wstring text(width, L'\0');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(m_console, text.data(), width, {0, row}, &read);
        text.resize(read);
        return text.substr(0, text.find_last_not_of(L' ') + 1);
    }
    // A table folder with a Chinese name.
    fs::path Tables() const { return m_root.Path() / u8"码表"; }

    HANDLE m_console = INVALID_HANDLE_VALUE;
    TempDirectory m_root;
};

TEST_F(WindowsConsoleTest, ShowsEachFormAsTextWhateverTheCodePage) {
    for (const UINT codePage : {936u, 932u, 437u, 65001u}) {
        SCOPED_TRACE(codePage);
        SetConsoleOutputCP(codePage);
        EXPECT_EQ(Run(""), 0u);
        EXPECT_EQ(Line(0), L"敪搶") << "the code text";
        EXPECT_EQ(Run("--preview"), 0u);
        EXPECT_EQ(Line(0), L"発東");
        EXPECT_EQ(Run("--sjis"), 0u);
        EXPECT_EQ(Line(0), L"発東") << "Shift-JIS bytes show as the kanji they stand for";
    }
}

TEST_F(WindowsConsoleTest, ReportsShowTheirChinesePaths) {
    SetConsoleOutputCP(437);
    fs::remove(Tables() / "pj.dat");
    EXPECT_EQ(Run("--preview"), 1u);
    EXPECT_EQ(Line(0), L"Error in Command1Click");
    EXPECT_EQ(Line(1), L"ErrorNo:53");
    EXPECT_EQ(Line(2), L"ErrorInfo:File not found: " + (Tables() / "pj.dat").wstring());
    EXPECT_EQ(Line(3).rfind(L"码表文件 pin.dat、pj.dat、jj.dat 应放在 pelmora-convert", 0), 0u)
        << "where the tables belong, in Chinese on any console";
}

TEST_F(WindowsConsoleTest, ReadsTypedChineseUntilCtrlZAtTheStartOfALine) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const HANDLE input =
        CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inheritable, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(input, INVALID_HANDLE_VALUE);
    SetConsoleMode(input, ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT);
    FlushConsoleInputBuffer(input);
    // Ctrl+Z inside a line is a character like any other; at the start of one it ends the input,
    // and what follows is never read.
    Type(input, L"发东\r东\x1A\r\x1A\r发\r");
    const fs::path out = m_root.Path() / "typed.out";
    const HANDLE output = CreateFileW(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                                      CREATE_ALWAYS, 0, nullptr);
    std::wstring line = L"\"" + fs::path(PELMORA_CONVERT).wstring() + L"\" --preview --tables \"" +
                        Tables().wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = m_console;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                               &startup, &process));
    CloseHandle(output);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD exitCode = 255;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(input);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(testing::ReadWholeFile(out), "発東\r\n東□\r\n");
}

} // namespace
} // namespace pelmora
