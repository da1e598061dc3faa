#pragma once

#include "frm_main_layout.h"

#include <string>
#include <string_view>

namespace pelmora {

/// What the main window's handlers ask of a window toolkit. A toolkit's view makes the controls
/// from FrmMainControls(), forwards their events to frmMain and implements these operations on
/// its controls. Every text is UTF-8. Each operation runs on the event thread.
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

    /// Ends the program: no further event is handled and every window goes.
    virtual void EndProgram() = 0;
};

} // namespace pelmora
