#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora::testing {

/// A window's text as UTF-8, however long; works across processes too.
std::string TextOf(HWND window);

/// Replaces a window's text with UTF-8 `text`.
void SetTextOf(HWND window, std::string_view text);

/// The window's class name ("Edit", "Button", "#32770"...).
std::wstring ClassOf(HWND window);

/// A child window's rectangle in its parent's client area.
RECT PlaceInParent(HWND child);

/// The size of a window's client area.
SIZE ClientSize(HWND window);

/// Handles the thread's messages until `done` holds or `milliseconds` pass; whether it held.
/// `translate`, when given, sees each message first and returns true when it handled it, as a
/// window's keyboard handling does in its message loop.
bool PumpUntil(const std::function<bool()>& done, int milliseconds = 5000,
               const std::function<bool(MSG&)>& translate = {});

/// What a message box showed.
struct ShownBox {
    int count = 0;
    std::string title;
    std::string text;
    std::vector<std::string> buttons;
    bool icon = false;
};

/// Runs `open`, which should show a modal message box on this thread; a timer finds the box,
/// reads it and presses its first button, so the test goes on instead of waiting for a user.
ShownBox CaptureMessageBox(const std::function<void()>& open);

/// Runs `open`, which should open a popup menu on this thread; a timer reads the menu's
/// entries (separators left out) and picks the `pick`th entry by keyboard, or the `-pick`th
/// from the end for a negative `pick` (0: dismisses it).
std::vector<std::string> CaptureMenu(const std::function<void()>& open, int pick);

/// Moves the mouse to `screen` and presses and releases a button there.
void ClickMouse(POINT screen, DWORD down, DWORD up);

/// Presses and releases keys as a user at the keyboard would: `modifiers` held around `key`.
void PressKey(WORD key, std::initializer_list<WORD> modifiers = {});

} // namespace pelmora::testing
