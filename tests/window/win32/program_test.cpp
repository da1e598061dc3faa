// The real pelmora.exe: what it carries (no console, version, manifest, icon) and how it runs
// from a folder a Chinese user would unpack it into.

#include "frm_main_window.h"
#include "program_directory.h"
#include "table_fixture.h"
#include "window_driver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <utility>

namespace {
// The Linux desktop's icons, as drawn: the Windows icon must have the same pixels.
#include "pelmora_16.xpm"
#include "pelmora_32.xpm"
} // namespace

namespace pelmora {
namespace {

std::filesystem::path Program() {
    return ProgramDirectory() / "pelmora.exe";
}

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

template <typename T> T At(const std::string& bytes, std::size_t offset) {
    T value{};
    std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

// The program's resources, read without running it.
class ProgramResources {
public:
    ProgramResources()
        : m_module(LoadLibraryExW(Program().c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~ProgramResources() {
        if (m_module != nullptr) {
            FreeLibrary(m_module);
        }
    }
    bool Loaded() const { return m_module != nullptr; }
    std::string Bytes(const wchar_t* type, const wchar_t* name) const {
        HRSRC found = FindResourceW(m_module, name, type);
        if (found == nullptr) {
            return {};
        }
        const auto* data = static_cast<const char*>(LockResource(LoadResource(m_module, found)));
        return std::string(data, SizeofResource(m_module, found));
    }

private:
    HMODULE m_module;
};

// An XPM image as one character per pixel, ' ' where it is transparent, and its colours.
struct Picture {
    int size = 0;
    std::vector<std::string> rows;
    std::map<char, COLORREF> colours;
};

Picture FromXpm(const char* const* xpm) {
    Picture picture;
    int height = 0, colours = 0, perPixel = 0;
    std::istringstream(xpm[0]) >> picture.size >> height >> colours >> perPixel;
    for (int at = 1; at <= colours; ++at) {
        const std::string line = xpm[at];
        const std::size_t hash = line.find('#');
        if (hash != std::string::npos) {
            const unsigned long rgb = std::stoul(line.substr(hash + 1), nullptr, 16);
            picture.colours[line[0]] = RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
        }
    }
    for (int row = 0; row < height; ++row) {
        picture.rows.push_back(xpm[1 + colours + row]);
    }
    return picture;
}

// Each image of a 4-bit icon checked against the XPM, pixel by pixel: the colour of every
// opaque pixel and the mask of every transparent one.
void ExpectIconImage(const std::string& image, const Picture& expected) {
    const auto header = At<BITMAPINFOHEADER>(image, 0);
    ASSERT_EQ(header.biWidth, expected.size);
    ASSERT_EQ(header.biHeight, 2 * expected.size); // colour bits, then the mask
    ASSERT_EQ(header.biBitCount, 4);
    const std::size_t palette = header.biSize;
    const std::size_t colourStride = ((expected.size * 4 + 31) / 32) * 4;
    const std::size_t maskStride = ((expected.size + 31) / 32) * 4;
    const std::size_t colourBits = palette + 16 * sizeof(RGBQUAD);
    const std::size_t maskBits = colourBits + colourStride * expected.size;
    ASSERT_EQ(image.size(), maskBits + maskStride * expected.size);
    for (int y = 0; y < expected.size; ++y) {
        const std::size_t row = static_cast<std::size_t>(expected.size - 1 - y); // bottom up
        for (int x = 0; x < expected.size; ++x) {
            const char pixel = expected.rows[y][x];
            const auto maskByte = At<std::uint8_t>(image, maskBits + row * maskStride + x / 8);
            const bool transparent = (maskByte >> (7 - x % 8)) & 1;
            ASSERT_EQ(transparent, pixel == ' ') << x << "," << y;
            if (!transparent) {
                const auto pair = At<std::uint8_t>(image, colourBits + row * colourStride + x / 2);
                const int index = x % 2 == 0 ? pair >> 4 : pair & 0x0F;
                const auto quad = At<RGBQUAD>(image, palette + index * sizeof(RGBQUAD));
                ASSERT_EQ(RGB(quad.rgbRed, quad.rgbGreen, quad.rgbBlue), expected.colours.at(pixel))
                    << x << "," << y;
            }
        }
    }
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(ProgramTest, IsAWindowedProgramWithVersionManifestAndIcon) {
    const std::string image = FileBytes(Program());
    ASSERT_GT(image.size(), 0x200u) << Program();
    const auto peHeader = At<std::uint32_t>(image, 0x3C);
    const auto optionalHeader = peHeader + 4 + sizeof(IMAGE_FILE_HEADER);
    EXPECT_EQ(At<IMAGE_OPTIONAL_HEADER64>(image, optionalHeader).Subsystem,
              IMAGE_SUBSYSTEM_WINDOWS_GUI);

    const ProgramResources resources;
    ASSERT_TRUE(resources.Loaded());
    const std::string manifest = resources.Bytes(RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID);
    EXPECT_NE(manifest.find(">PerMonitorV2"), std::string::npos);
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);

    const std::string version = resources.Bytes(RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO));
    const std::size_t fixed = version.find("\xBD\x04\xEF\xFE"); // VS_FIXEDFILEINFO's signature
    ASSERT_NE(fixed, std::string::npos);
    const auto info = At<VS_FIXEDFILEINFO>(version, fixed);
    EXPECT_EQ(info.dwFileVersionMS,
              static_cast<DWORD>(PELMORA_VERSION_MAJOR << 16 | PELMORA_VERSION_MINOR));
    EXPECT_EQ(info.dwFileVersionLS, static_cast<DWORD>(PELMORA_VERSION_PATCH << 16));

    const std::string group = resources.Bytes(RT_GROUP_ICON, MAKEINTRESOURCEW(1));
    ASSERT_GE(group.size(), 6u);
    const auto count = At<WORD>(group, 4);
    ASSERT_EQ(count, 2);
    std::map<int, std::string> images;
    for (WORD at = 0; at < count; ++at) {
        const auto entry = At<GroupIconEntry>(group, 6 + at * sizeof(GroupIconEntry));
        EXPECT_EQ(entry.bitCount, 4);
        EXPECT_EQ(entry.colourCount, 16);
        images[entry.width] = resources.Bytes(RT_ICON, MAKEINTRESOURCEW(entry.id));
    }
    ExpectIconImage(images[32], FromXpm(pelmora_32));
    ExpectIconImage(images[16], FromXpm(pelmora_16));
}

struct RunningProgram {
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
};

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindProgramWindow(HWND window, LPARAM search) {
    auto* wanted = reinterpret_cast<WindowSearch*>(search);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == wanted->processId && testing::ClassOf(window) == wanted->className &&
        IsWindowVisible(window)) {
        wanted->found = window;
        return FALSE;
    }
    return TRUE;
}

// The visible top-level window of class `className` that `processId` shows; null when it shows
// none within `milliseconds`.
HWND WaitForWindow(DWORD processId, const wchar_t* className, int milliseconds) {
    WindowSearch search{processId, className, nullptr};
    testing::PumpUntil(
        [&search] {
            EnumWindows(FindProgramWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        milliseconds);
    return search.found;
}

// Starts `program` with `arguments` (each already quoted as needed) and waits for its window.
RunningProgram Start(const std::filesystem::path& program, const std::wstring& arguments = {},
                     const wchar_t* windowClass = kFrmMainClassName) {
    RunningProgram running;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring commandLine = L"\"" + program.wstring() + L"\"" + arguments;
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &running.process)) {
        return running;
    }
    running.window = WaitForWindow(running.process.dwProcessId, windowClass, 30000);
    return running;
}

// Waits for the program to end; its exit status, or -1 when it is still running.
int Finish(RunningProgram& running) {
    DWORD status = static_cast<DWORD>(-1);
    if (WaitForSingleObject(running.process.hProcess, 15000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(running.process.hProcess, &status);
    } else {
        TerminateProcess(running.process.hProcess, 99);
    }
    CloseHandle(running.process.hThread);
    CloseHandle(running.process.hProcess);
    return static_cast<int>(status);
}

// Unpacked into a folder with Chinese characters and a space in its name, the program finds
// its tables beside itself, converts, and ends on Exit and on closing its window.
TEST(ProgramTest, RunsFromAChineseFolderAndEndsOnExitAndClose) {
    testing::TempDirectory temporary;
    const std::filesystem::path folder = temporary.Path() / L"张三的下载" / L"pelmora 0.3";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(Program(), folder / "pelmora.exe");
    testing::WriteTables(folder, testing::SampleRows());

    for (UINT ending : {UINT{BM_CLICK}, UINT{WM_CLOSE}}) {
        RunningProgram running = Start(folder / "pelmora.exe");
        ASSERT_NE(running.window, nullptr);
        const auto item = [&running](Control control) {
            return GetDlgItem(running.window, ControlId(control));
        };
        testing::SetTextOf(item(Control::Text1), "发东");
        SendMessageW(item(Control::cmdSwitch), BM_CLICK, 0, 0);
        EXPECT_EQ(testing::TextOf(item(Control::Text2)), "敪搶");
        EXPECT_EQ(testing::TextOf(item(Control::Text3)), "発東");
        if (ending == BM_CLICK) {
            PostMessageW(item(Control::Command3), BM_CLICK, 0, 0);
        } else {
            PostMessageW(running.window, WM_CLOSE, 0, 0);
        }
        EXPECT_EQ(Finish(running), 0);
    }
}

// A windowed program has no console to print to: --help and --version show in a message box,
// and the program ends with 0 once it is closed, without opening its window.
TEST(ProgramTest, HelpAndVersionShowInAMessageBoxInsteadOfTheWindow) {
    const std::string version = "pelmora " + std::to_string(PELMORA_VERSION_MAJOR) + "." +
                                std::to_string(PELMORA_VERSION_MINOR) + "." +
                                std::to_string(PELMORA_VERSION_PATCH);
    const std::pair<const wchar_t*, std::string> requests[] = {
        {L" --help", "Usage: pelmora [--help | --version] [FILE]"},
        {L" --version", version},
    };
    for (const auto& [arguments, shown] : requests) {
        SCOPED_TRACE(shown);
        RunningProgram running = Start(Program(), arguments, L"#32770");
        ASSERT_NE(running.window, nullptr);
        // The message box's text is its static control 0xFFFF.
        EXPECT_EQ(testing::TextOf(GetDlgItem(running.window, 0xFFFF)).rfind(shown, 0), 0u)
            << testing::TextOf(GetDlgItem(running.window, 0xFFFF));
        EXPECT_EQ(WaitForWindow(running.process.dwProcessId, kFrmMainClassName, 0), nullptr);
        PostMessageW(running.window, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(Finish(running), 0);
    }
}

// `pelmora.exe FILE`, as "Open with" starts it: the window opens with the file's text in the
// input box. (What the window says of a file it cannot read is frmMain's, tested without Win32.)
TEST(ProgramTest, AFileGivenOpensInTheInputBox) {
    testing::TempDirectory temporary;
    const std::filesystem::path file = temporary.Path() / L"名字 一.txt";
    testing::WriteFile(file, "\xEF\xBB\xBF刘德华\n张学友");
    RunningProgram running = Start(Program(), L" \"" + file.wstring() + L"\"");
    ASSERT_NE(running.window, nullptr);
    EXPECT_EQ(testing::TextOf(GetDlgItem(running.window, ControlId(Control::Text1))),
              "刘德华\r\n张学友");
    PostMessageW(running.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(Finish(running), 0);
}

} // namespace
} // namespace pelmora
