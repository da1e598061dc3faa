#include "edit_text.h"

#include "utf16.h"

#include <algorithm>

namespace pelmora {

namespace {

POINT PositionOfUnit(HWND box, std::size_t unit) {
    const auto position = static_cast<DWORD>(SendMessageW(box, EM_POSFROMCHAR, unit, 0));
    return {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
}

// The gap nearest `point` in a multi-line box, in UTF-16 units. The box answers with the low
// 16 bits of the index only; the start of the line it names puts back the rest.
std::size_t NearestGap(HWND box, POINT point) {
    const auto found =
        static_cast<DWORD>(SendMessageW(box, EM_CHARFROMPOS, 0, MAKELPARAM(point.x, point.y)));
    const auto lineStart =
        static_cast<std::size_t>(SendMessageW(box, EM_LINEINDEX, HIWORD(found), 0));
    return lineStart + ((LOWORD(found) - lineStart) & 0xFFFF);
}

SIZE DrawnSize(HWND box, std::wstring_view characters) {
    HDC context = GetDC(box);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = SelectObject(context, font);
    SIZE extent{};
    GetTextExtentPoint32W(context, characters.data(), static_cast<int>(characters.size()), &extent);
    SelectObject(context, previous);
    ReleaseDC(box, context);
    return extent;
}

// Where the character starting at `unit` is drawn, in the box's client coordinates: from its
// position to the next character's on the same line, or its own width at the end of a line.
RECT DrawnCharacter(HWND box, std::wstring_view text, std::size_t unit) {
    const std::size_t units = IsHighSurrogate(text[unit]) && unit + 1 < text.size() ? 2 : 1;
    const POINT start = PositionOfUnit(box, unit);
    const SIZE extent = DrawnSize(box, text.substr(unit, units));
    LONG right = start.x + extent.cx;
    if (unit + units < text.size()) {
        const POINT next = PositionOfUnit(box, unit + units);
        right = next.y == start.y ? next.x : right;
    }
    return {start.x, start.y, right, start.y + extent.cy};
}

} // namespace

std::wstring WideTextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

std::size_t CharacterCount(std::wstring_view text, std::size_t units) {
    return CharacterCountOfUtf16(text, units);
}

std::size_t CharacterIndexAt(HWND box, POINT point) {
    const std::wstring text = WideTextOf(box);
    const std::size_t gap = NearestGap(box, point);
    // The nearest gap lies after the character under the point when the point is in that
    // character's right half.
    for (const std::size_t unit : {gap - 1, gap}) {
        if (unit >= text.size() || text[unit] == L'\r' || text[unit] == L'\n' ||
            IsLowSurrogate(text[unit])) {
            continue;
        }
        const RECT drawn = DrawnCharacter(box, text, unit);
        if (PtInRect(&drawn, point)) {
            return CharacterCount(text, unit);
        }
    }
    return CharacterCount(text, text.size());
}

CaretPlace CaretOf(HWND box) {
    DWORD start = 0, end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::wstring text = WideTextOf(box);
    // Past the last character the box gives no position; the menu then opens at its corner.
    CaretPlace caret{CharacterCount(text, end),
                     end < text.size() ? PositionOfUnit(box, end) : POINT{0, 0}};
    ClientToScreen(box, &caret.screen);
    return caret;
}

} // namespace pelmora
