#pragma once

#include "frm_main_layout.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

/// One entry of a context menu as the window asks for it.
struct MenuItem {
    std::string text; ///< UTF-8
    bool enabled = true;
    bool checked = false;         ///< shown with a check mark
    bool separatorBefore = false; ///< a separator line above the entry
    bool checkable = false;       ///< a setting turned on or off: a check box, filled when checked
};

/// The editing commands of a text box that its context menu offers.
enum class BoxCommand { Copy, SelectAll };

/// The keys of a text box that a view forwards to frmMain::KeyDown: either Enter key (the main
/// one or the keypad's).
enum class BoxKey { Enter };

/// The modifier keys held down with a key. Ctrl+Alt is also what AltGr sends on many keyboards.
struct KeyModifiers {
    bool control = false;
    bool shift = false;
    bool alt = false;
};

/// What the main window's handlers ask of a window toolkit. A toolkit's view makes the controls
/// from FrmMainControls(), forwards their events to frmMain (button clicks to Click, a context
/// menu asked for in a box with the window's own menu (ownContextMenu) to ContextMenu, with the
/// index of the character under the pointer, the Enter key in a text box to KeyDown) and
/// implements these operations on its controls. Every text is UTF-8; an index into a box's text
/// counts characters (code points) of BoxText. Each operation runs on the event thread.
class FrmMainView {
public:
    virtual ~FrmMainView() = default;

    /// The text of a text box, with line breaks as the box keeps them.
    virtual std::string BoxText(Control box) = 0;
    /// Replaces the text of a text box.
    virtual void SetBoxText(Control box, std::string_view text) = 0;
    /// Replaces the caption of a label or button.
    virtual void SetCaption(Control control, std::string_view caption) = 0;

    /// Whether the control itself is set to be shown, whatever the state of the window.
    virtual bool IsControlVisible(Control control) = 0;
    virtual void SetControlVisible(Control control, bool visible) = 0;

    /// Sets the height of the window's client area; the width stays as the layout made it.
    virtual void SetClientHeight(int twips) = 0;

    /// A modal message box over the window with one OK button and no icon; returns when the
    /// user has closed it.
    virtual void ShowMessage(std::string_view title, std::string_view text) = 0;

    /// Shows `items` as a context menu of `box` at the mouse pointer (or, when the menu was asked
    /// for from the keyboard, at the text cursor) and returns when it closes: the index of the
    /// entry picked, or nothing when the menu was dismissed.
    virtual std::optional<std::size_t> ShowContextMenu(Control box,
                                                       const std::vector<MenuItem>& items) = 0;
    /// Shows the context menu of `box`, a box the user types into, at the mouse pointer (or at
    /// the text cursor): first the box's own editing commands (undo, cut, copy, paste, delete,
    /// select all) in the system's language, which the box carries out itself as from its own
    /// menu, then `items`. Returns when it closes: the index in `items` of the entry picked, or
    /// nothing when the menu was dismissed or one of the box's own commands was picked.
    virtual std::optional<std::size_t> ShowEditingMenu(Control box,
                                                       const std::vector<MenuItem>& items) = 0;
    /// Whether some text of `box` is selected.
    virtual bool BoxHasSelection(Control box) = 0;
    /// Carries out an editing command on `box` as its own keys would (Ctrl+C, Ctrl+A).
    virtual void RunBoxCommand(Control box, BoxCommand command) = 0;

    /// The text on the system clipboard, empty when it holds none.
    virtual std::string ClipboardText() = 0;

    /// Ends the program: no further event is handled and every window goes.
    virtual void EndProgram() = 0;
};

} // namespace pelmora
