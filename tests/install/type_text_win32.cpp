// Types a text into the control that has the keyboard focus in the foreground window, one
// WM_CHAR per UTF-16 unit, as a keyboard with an input method would. The installer test uses it
// for the Chinese folder names that X key events cannot carry reliably into Wine.
// Usage: pelmora_type_text.exe TEXT     Exit status: 0 typed, 1 no focused control.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        return 2;
    }
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(0, &info) || info.hwndFocus == nullptr) {
        return 1;
    }
    for (const wchar_t* unit = argv[1]; *unit != L'\0'; ++unit) {
        SendMessageW(info.hwndFocus, WM_CHAR, static_cast<WPARAM>(*unit), 1);
    }
    return 0;
}
