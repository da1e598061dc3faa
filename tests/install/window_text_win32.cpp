// Prints what the installer shows: for each visible top-level window whose title contains TEXT,
// its title, then the text of each visible control in it, one a line, in UTF-8. The installer
// test reads the wizard's pages and its message boxes with it: X sees none of their texts.
// Usage: pelmora_window_text.exe TEXT     Exit status: 0 printed, 1 no such window.
#include <windows.h>

#include <string>

namespace {

// WM_GETTEXT, not GetWindowTextW: only the message reads a control of another process.
std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length) == 0 ||
        length == 0) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 2000, &copied);
    text.resize(copied);
    return text;
}

void PrintLine(const std::wstring& text) {
    std::string bytes(text.size() * 3 + 1, '\0');
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                            static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(length);
    bytes += '\n';
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
              &written, nullptr);
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    if (IsWindowVisible(control)) {
        const std::wstring text = TextOf(control);
        if (!text.empty()) {
            PrintLine(text);
        }
    }
    return TRUE;
}

struct Search {
    const wchar_t* titlePart;
    bool found;
};

BOOL CALLBACK PrintWindowIfTitled(HWND window, LPARAM searchAddress) {
    auto& search = *reinterpret_cast<Search*>(searchAddress);
    const std::wstring title = TextOf(window);
    if (IsWindowVisible(window) && title.find(search.titlePart) != std::wstring::npos) {
        search.found = true;
        PrintLine(title);
        EnumChildWindows(window, PrintControl, 0);
    }
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        return 2;
    }
    Search search{argv[1], false};
    EnumWindows(PrintWindowIfTitled, reinterpret_cast<LPARAM>(&search));
    return search.found ? 0 : 1;
}
