#pragma once

#include <windows.h>

#include <string>
#include <vector>

// An edit control's own editing commands, named as the system names them in the edit control's
// context menu, so a menu the window makes for a box offers them in the system's language.
namespace pelmora {

/// One entry of the system's edit menu: the message that carries it out (its identifier there:
/// EM_UNDO or WM_UNDO, WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR, EM_SETSEL) and its text.
struct EditingCommand {
    UINT message = 0;
    std::wstring text;
    bool separatorBefore = false;
};

/// The entries of the system's edit menu that the window can carry out, in its order; the
/// others (reading order, Unicode control characters, the input method) are left out. Empty when
/// the system has no such menu.
std::vector<EditingCommand> SystemEditingCommands();

/// Whether `edit` can carry out `command` now, as its own menu enables it.
bool CanRunEditingCommand(HWND edit, const EditingCommand& command);

/// Carries out `command` on `edit` as its own menu would.
void RunEditingCommand(HWND edit, const EditingCommand& command);

} // namespace pelmora
