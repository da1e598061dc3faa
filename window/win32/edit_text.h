#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

// Reading an edit control's text and where its characters are drawn, in the terms of the
// window's behaviour: characters are code points, while the control counts UTF-16 units.
namespace pelmora {

/// The whole text of a window, however long.
std::wstring WideTextOf(HWND window);

/// Characters (code points) in the first `units` UTF-16 units of `text`.
std::size_t CharacterCount(std::wstring_view text, std::size_t units);

/// The index, in characters of the multi-line box's text, of the character drawn under `point`
/// (client coordinates); the text's length when no character is, as past the end of a line.
std::size_t CharacterIndexAt(HWND box, POINT point);

/// Where the text cursor of the box is, as a character index and as a point on the screen at
/// which a menu for it can open.
struct CaretPlace {
    std::size_t index = 0;
    POINT screen{};
};
CaretPlace CaretOf(HWND box);

} // namespace pelmora
