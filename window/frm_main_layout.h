#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

/// The controls of the main window, in the order of the layout table.
enum class Control {
    Label1,
    Label2,
    Text1,
    Text2,
    Text3,
    Label3,
    cmdSwitch,
    cmdAbout,
    Command3,
    Command4,
    txtHelp,
};

inline constexpr std::size_t kControlCount = 11;

enum class ControlKind { Label, TextBox, Button };

enum class ScrollBars { None, Vertical };

/// A control's place in the window's client area, in twips (1/1440 inch).
struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

/// A text box's font as the window asks for it; a toolkit without the face picks the closest.
struct BoxFont {
    std::string_view face;
    int charSet = 0; ///< Windows character set number
    double points = 0;
};

/// Windows' number for the GB2312 character set, which "宋体" is asked for in.
inline constexpr int kGb2312CharSet = 134;

/// One control of the main window: what a toolkit needs to make it.
struct ControlLayout {
    Control id;
    std::string_view name; ///< also the toolkit's object name
    ControlKind kind;
    std::string text; ///< caption of a label or button, text of a box at start
    TwipRect place;
    int tabIndex = 0;            ///< labels have one too but never take the focus
    std::optional<BoxFont> font; ///< text boxes only; labels and buttons use the window's font
    bool readOnly = false;       ///< selectable and copyable, but not typed into
    bool multiLine = false;
    ScrollBars scrollBars = ScrollBars::None;
    std::string_view toolTip; ///< shown when the pointer rests on the control; empty for none
    /// The window makes the box's context menu (frmMain::ContextMenu): in place of the
    /// toolkit's in a read-only box, around the box's own editing commands in the input box.
    bool ownContextMenu = false;
};

/// Every control of the main window, in the order of `Control`.
const std::array<ControlLayout, kControlCount>& FrmMainControls();

/// The layout of one control.
const ControlLayout& LayoutOf(Control control);

/// The window's client area in twips: its width never changes; its height depends on whether
/// the preview is shown. The collapsed height ends just below the row of buttons.
inline constexpr int kClientWidthTwips = 9165;
inline constexpr int kExpandedClientHeightTwips = 6300;
inline constexpr int kCollapsedClientHeightTwips = 3725;

/// The control that has the keyboard focus when the window opens.
inline constexpr Control kInitialFocus = Control::Text1;

/// Twips per inch; at 96 dots per inch, 15 twips make a pixel.
inline constexpr int kTwipsPerInch = 1440;

/// `twips` in pixels at `dotsPerInch`, rounded to the nearest pixel.
constexpr int PixelsFromTwips(int twips, int dotsPerInch = 96) {
    const long long scaled = static_cast<long long>(twips) * dotsPerInch;
    const long long half = kTwipsPerInch / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch
                                        : -((-scaled + half) / kTwipsPerInch));
}

} // namespace pelmora
