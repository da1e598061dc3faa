#include "window_driver.h"

#include "wide_text.h"

#include <chrono>
#include <cstdlib>
#include <utility>

namespace pelmora::testing {

std::string TextOf(HWND window) {
    const auto length = static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied = static_cast<int>(
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(static_cast<std::size_t>(copied));
    return Utf8FromWide(text);
}

void SetTextOf(HWND window, std::string_view text) {
    const std::wstring wide = WideFromUtf8(text);
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

RECT PlaceInParent(HWND child) {
    RECT place{};
    GetWindowRect(child, &place);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

bool PumpUntil(const std::function<bool()>& done, int milliseconds,
               const std::function<bool(MSG&)>& translate) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (translate && translate(message)) {
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

namespace {

// The window a modal loop on this thread shows, found on a timer the loop dispatches.
struct ModalWatch {
    const wchar_t* windowClass;
    std::function<void(HWND)> act;
};

ModalWatch* g_watch = nullptr;

BOOL CALLBACK FindWatched(HWND window, LPARAM found) {
    if (IsWindowVisible(window) && ClassOf(window) == g_watch->windowClass) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK ActOnWatched(HWND, UINT, UINT_PTR, DWORD) {
    HWND window = nullptr;
    if (g_watch != nullptr) {
        EnumThreadWindows(GetCurrentThreadId(), FindWatched, reinterpret_cast<LPARAM>(&window));
    }
    if (window != nullptr) {
        g_watch->act(window);
    }
}

// Runs `open`; while it has a window of `windowClass` up, `act` is given that window.
void WhileModal(const std::function<void()>& open, const wchar_t* windowClass,
                std::function<void(HWND)> act) {
    ModalWatch watch{windowClass, std::move(act)};
    g_watch = &watch;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, ActOnWatched);
    open();
    KillTimer(nullptr, timer);
    g_watch = nullptr;
}

BOOL CALLBACK ReadBoxChild(HWND child, LPARAM shownBox) {
    auto& shown = *reinterpret_cast<ShownBox*>(shownBox);
    if (!IsWindowVisible(child)) {
        return TRUE;
    }
    const std::wstring kind = ClassOf(child);
    if (_wcsicmp(kind.c_str(), L"Button") == 0) {
        shown.buttons.push_back(TextOf(child));
    } else if (_wcsicmp(kind.c_str(), L"Static") == 0) {
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            shown.icon = shown.icon || SendMessageW(child, STM_GETICON, 0, 0) != 0;
        } else if (const std::string text = TextOf(child); !text.empty()) {
            shown.text = text;
        }
    }
    return TRUE;
}

} // namespace

ShownBox CaptureMessageBox(const std::function<void()>& open) {
    ShownBox shown;
    WhileModal(open, L"#32770", [&shown](HWND box) {
        ++shown.count;
        shown.title = TextOf(box);
        shown.buttons.clear();
        EnumChildWindows(box, ReadBoxChild, reinterpret_cast<LPARAM>(&shown));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    return shown;
}

std::vector<std::string> CaptureMenu(const std::function<void()>& open, int pick) {
    std::vector<std::string> entries;
    bool picked = false;
    WhileModal(open, L"#32768", [&](HWND window) {
        if (std::exchange(picked, true)) {
            return;
        }
        auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
        for (int at = 0; at < GetMenuItemCount(menu); ++at) {
            wchar_t text[256] = {};
            if ((GetMenuState(menu, at, MF_BYPOSITION) & MF_SEPARATOR) == 0 &&
                GetMenuStringW(menu, at, text, 256, MF_BYPOSITION) > 0) {
                entries.push_back(Utf8FromWide(text));
            }
        }
        for (int step = 0; step < std::abs(pick); ++step) {
            PressKey(pick > 0 ? VK_DOWN : VK_UP);
        }
        PressKey(pick != 0 ? VK_RETURN : VK_ESCAPE);
    });
    return entries;
}

void ClickMouse(POINT screen, DWORD down, DWORD up) {
    SetCursorPos(screen.x, screen.y);
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = down;
    inputs[1].mi.dwFlags = up;
    SendInput(2, inputs, sizeof(INPUT));
}

void PressKey(WORD key, std::initializer_list<WORD> modifiers) {
    std::vector<INPUT> inputs;
    const auto add = [&inputs](WORD virtualKey, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    for (WORD modifier : modifiers) {
        add(modifier, false);
    }
    add(key, false);
    add(key, true);
    for (auto modifier = std::rbegin(modifiers); modifier != std::rend(modifiers); ++modifier) {
        add(*modifier, true);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

} // namespace pelmora::testing
