// A stand-in for a Japanese program run on a Chinese desktop: it shows its Shift-JIS text through
// the ANSI API, which reads the bytes in the system's code page (936), so the text shows garbled.
// It puts the text in an edit box and copies it as a user would (select all, copy), creates a
// file of that name with CreateFileA in FOLDER, and prints on standard output, in UTF-8, the
// box's text as the Unicode API reads it back.
// Usage: pelmora_ansi_text.exe HEX FOLDER   (HEX: the Shift-JIS bytes, two digits each)
// Exit status: 0 done, 1 something failed.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

std::string BytesOfHex(const char* hex) {
    std::string bytes;
    for (const char* at = hex; at[0] != '\0' && at[1] != '\0'; at += 2) {
        const char digits[3] = {at[0], at[1], '\0'};
        bytes += static_cast<char>(std::strtoul(digits, nullptr, 16));
    }
    return bytes;
}

bool PrintUtf8(const std::wstring& text) {
    std::string bytes(text.size() * 3 + 1, '\0');
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                            static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(static_cast<std::size_t>(length));
    DWORD written = 0;
    return WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(),
                     static_cast<DWORD>(bytes.size()), &written, nullptr) != 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        return 1;
    }
    const std::string shiftJis = BytesOfHex(argv[1]);
    HWND box = CreateWindowExA(0, "EDIT", "", WS_OVERLAPPED | ES_AUTOHSCROLL, 0, 0, 300, 40,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (box == nullptr || !SetWindowTextA(box, shiftJis.c_str())) {
        return 1;
    }
    SendMessageA(box, EM_SETSEL, 0, -1);
    SendMessageA(box, WM_COPY, 0, 0);

    const std::string file = std::string(argv[2]) + "\\" + shiftJis + ".sav";
    HANDLE created = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE) {
        return 1;
    }
    CloseHandle(created);

    std::wstring shown(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
    shown.resize(static_cast<std::size_t>(
        GetWindowTextW(box, shown.data(), static_cast<int>(shown.size()))));
    DestroyWindow(box);
    return PrintUtf8(shown) ? 0 : 1;
}
