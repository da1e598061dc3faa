// Times the Win32 window where a user waits on it: pasting a long text into the input box, and
// the Convert click (the conversion run over tables read record by record, then both results
// into their boxes). To show where the time goes it also times the run alone, into plain
// strings, and one of each file call the run makes. Prints figures; asserts nothing.
//
// Usage: window_convert_bench [LENGTH...]   (default: 100 10000 100000 characters)
//        window_convert_bench --text FILE     (the UTF-8 text of FILE, its line breaks as CR LF)

#include "char_tables.h"
#include "code_page.h"
#include "conversion.h"
#include "edit_text.h"
#include "error_report.h"
#include "frm_main_window.h"
#include "program_directory.h"
#include "string_text.h"
#include "table_file_access.h"
#include "table_files.h"
#include "wide_text.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace pelmora {
namespace {

constexpr int kLineLength = 40;
constexpr std::size_t kLongestSingleLine = 20'000;

// Every character of the GB2312 hanzi rows (lead bytes B0 to F7) as a key, ascending by code,
// each mapped to 東 (Shift-JIS 93 8C): a key table the size of a real one, and record pairs
// that keep the tables' promise, as the run checks.
std::vector<char32_t> WriteBenchTables(const std::filesystem::path& directory) {
    std::string records;
    std::vector<char32_t> keys;
    for (int lead = 0xB0; lead <= 0xF7; ++lead) {
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            const Record record{static_cast<std::uint8_t>(lead), static_cast<std::uint8_t>(trail)};
            const char32_t character = RecordCharacter(record);
            if (character != kPlaceholder) {
                records += static_cast<char>(lead);
                records += static_cast<char>(trail);
                keys.push_back(character);
            }
        }
    }
    std::string eastInCodePage936;
    AppendCodePage936(U'東', eastInCodePage936);
    std::string japaneseCodes;
    std::string previews;
    for (std::size_t key = 0; key < keys.size(); ++key) {
        japaneseCodes += "\x93\x8C";
        previews += eastInCodePage936;
    }
    std::ofstream(directory / kKeyTableName, std::ios::binary) << records;
    std::ofstream(directory / kJapaneseCodeTableName, std::ios::binary) << japaneseCodes;
    std::ofstream(directory / kPreviewTableName, std::ios::binary) << previews;
    return keys;
}

// `length` characters cycling through the keys; with line breaks (CR LF, one character each
// as the conversion counts them) after every kLineLength characters, or as one line.
std::wstring BenchInput(const std::vector<char32_t>& keys, std::size_t length, bool lines) {
    std::wstring input;
    std::size_t next = 0;
    for (std::size_t count = 0; count < length; ++count) {
        if (lines && count % (kLineLength + 2) == kLineLength) {
            input += L'\r';
        } else if (lines && count % (kLineLength + 2) == kLineLength + 1) {
            input += L'\n';
        } else {
            input += static_cast<wchar_t>(keys[next++ % keys.size()]);
        }
    }
    return input;
}

// Wall time, and the processor time this process spent (user and system): on a machine busy
// with other work the second is close to what the first would be on an idle one, as long as
// the work waits on no other process (Wine's server, the X server).
struct Timing {
    double wall = 0;
    double processor = 0;
};

double ProcessorMilliseconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& time) {
        return static_cast<double>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                   time.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / 10'000.0; // 100 ns ticks
}

Timing MillisecondsOf(const std::function<void()>& work) {
    const double processorBefore = ProcessorMilliseconds();
    const auto start = std::chrono::steady_clock::now();
    work();
    const double wall =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return {wall, ProcessorMilliseconds() - processorBefore};
}

// Best of `runs` (fewer for long inputs, which take long enough to measure once).
Timing BestOf(int runs, const std::function<void()>& work) {
    Timing best = MillisecondsOf(work);
    for (int run = 1; run < runs; ++run) {
        const Timing next = MillisecondsOf(work);
        best = next.wall < best.wall ? next : best;
    }
    return best;
}

void PrintFigure(const char* what, const char* shape, std::size_t length, const Timing& timing) {
    std::printf("%-22s %-8s %7zu chars %9.1f ms %7.1f us/char   processor %9.1f ms\n", what, shape,
                length, timing.wall, timing.wall * 1000.0 / static_cast<double>(length),
                timing.processor);
    std::fflush(stdout);
}

class PrintedReport final : public ErrorReport {
public:
    void Show(std::string_view title, std::string_view text) override {
        std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(title.size()), title.data(),
                     static_cast<int>(text.size()), text.data());
    }
};

// Hands every message still queued (painting the boxes, among them) to the window.
void HandleQueuedMessages(FrmMainWindow& window) {
    UpdateWindow(window.Handle());
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!window.TranslateKeys(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void PutOnClipboard(HWND owner, const std::wstring& text) {
    OpenClipboard(owner);
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(GlobalLock(data)));
    GlobalUnlock(data);
    SetClipboardData(CF_UNICODETEXT, data);
    CloseClipboard();
}

// The cost of one of each file call the run makes for a character, against the key table.
void TimeFileCalls(const std::filesystem::path& directory) {
    const std::filesystem::path keyTable = FormTablePaths(directory).pinfile;
    constexpr int kCalls = 20'000;
    ReadOnlyFile file(keyTable);
    char record[2];
    const Timing read = MillisecondsOf([&] {
        for (int call = 0; call < kCalls; ++call) {
            file.ReadAt((call * 7919 % 6000) * 2, record, 2);
        }
    });
    const Timing length = MillisecondsOf([&] {
        for (int call = 0; call < kCalls; ++call) {
            FileLengthByName(keyTable);
        }
    });
    std::printf("one record read (ReadFile)      %7.2f us   processor %7.2f us\n",
                read.wall * 1000.0 / kCalls, read.processor * 1000.0 / kCalls);
    std::printf("one key table length by name    %7.2f us   processor %7.2f us\n",
                length.wall * 1000.0 / kCalls, length.processor * 1000.0 / kCalls);
}

void TimeRunAlone(const std::wstring& input, const char* shape, const TableLocation& tables) {
    PrintedReport report;
    const int runs = input.size() > 20'000 ? 1 : 3;
    const Timing best = BestOf(runs, [&] {
        testing::StringSource source(Utf8FromWide(input));
        testing::StringSink japaneseCode;
        testing::StringSink preview;
        TablePaths paths;
        ConvertText(RunKind::PerCharacter, source, japaneseCode, preview, paths, tables, report);
    });
    PrintFigure("conversion run alone", shape, input.size(), best);
}

void TimeWindow(FrmMainWindow& window, const std::wstring& input, const char* shape) {
    HWND text1 = GetDlgItem(window.Handle(), ControlId(Control::Text1));
    HWND text3 = GetDlgItem(window.Handle(), ControlId(Control::Text3));
    HWND convert = GetDlgItem(window.Handle(), ControlId(Control::cmdSwitch));
    const int runs = input.size() > 20'000 ? 1 : 3;

    PutOnClipboard(window.Handle(), input);
    Timing paste;
    for (int run = 0; run < runs; ++run) {
        SetWindowTextW(text1, L"");
        HandleQueuedMessages(window);
        SetFocus(text1);
        const Timing took = MillisecondsOf([&] {
            SendMessageW(text1, WM_PASTE, 0, 0);
            HandleQueuedMessages(window);
        });
        paste = run == 0 || took.wall < paste.wall ? took : paste;
    }
    PrintFigure("paste into Text1", shape, input.size(), paste);
    if (static_cast<std::size_t>(GetWindowTextLengthW(text1)) != input.size()) {
        std::printf("  the paste gave %d characters\n", GetWindowTextLengthW(text1));
    }

    const Timing click = BestOf(runs, [&] {
        SendMessageW(convert, BM_CLICK, 0, 0);
        HandleQueuedMessages(window);
    });
    PrintFigure("Convert click", shape, input.size(), click);
    if (static_cast<std::size_t>(GetWindowTextLengthW(text3)) != input.size()) {
        std::printf("  Text3 holds %d characters\n", GetWindowTextLengthW(text3));
    }

    // The boxes' share of the click: both results put into their boxes once more.
    HWND text2 = GetDlgItem(window.Handle(), ControlId(Control::Text2));
    const std::wstring japaneseCode = WideTextOf(text2);
    const std::wstring preview = WideTextOf(text3);
    const Timing boxes = BestOf(runs, [&] {
        SetWindowTextW(text2, L"");
        SetWindowTextW(text3, L"");
        HandleQueuedMessages(window);
        SetWindowTextW(text2, japaneseCode.c_str());
        SetWindowTextW(text3, preview.c_str());
        HandleQueuedMessages(window);
    });
    PrintFigure("both boxes' text set", shape, input.size(), boxes);
}

// The text of a UTF-8 file as a user would paste it: every line break CR LF.
std::wstring FileText(const char* name) {
    std::ifstream file(name, std::ios::binary);
    const std::string utf8((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    std::wstring text;
    for (const wchar_t unit : WideFromUtf8(utf8)) {
        if (unit == L'\n' && (text.empty() || text.back() != L'\r')) {
            text += L'\r';
        }
        text += unit;
    }
    return text;
}

} // namespace
} // namespace pelmora

int main(int argc, char** argv) {
    using namespace pelmora;
    const bool fromFile = argc == 3 && std::string(argv[1]) == "--text";
    std::vector<std::size_t> lengths;
    for (int at = 1; at < argc && !fromFile; ++at) {
        lengths.push_back(static_cast<std::size_t>(std::strtoul(argv[at], nullptr, 10)));
    }
    if (lengths.empty()) {
        lengths = {100, 10'000, 100'000};
    }
    const std::filesystem::path directory = ProgramDirectory();
    const std::vector<char32_t> keys = WriteBenchTables(directory);
    std::printf("key table: %zu records, read record by record\n", keys.size());
    TimeFileCalls(directory);
    FrmMainWindow window(GetModuleHandleW(nullptr), directory);
    window.Show(SW_SHOWNORMAL);
    HandleQueuedMessages(window);
    const TableLocation tables{directory, TableReading::PerRecord};
    if (fromFile) {
        const std::wstring input = FileText(argv[2]);
        TimeRunAlone(input, "file", tables);
        TimeWindow(window, input, "file");
        return 0;
    }
    for (const std::size_t length : lengths) {
        for (const bool lines : {true, false}) {
            if (!lines && length > kLongestSingleLine) {
                std::printf("one line of %zu characters left out: Wine's edit control wraps a "
                            "line in time that grows with its length squared\n",
                            length);
                continue;
            }
            const std::wstring input = BenchInput(keys, length, lines);
            const char* shape = lines ? "lines" : "one line";
            TimeRunAlone(input, shape, tables);
            TimeWindow(window, input, shape);
        }
    }
    return 0;
}
