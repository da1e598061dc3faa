#include "editing_menu.h"

#include <iterator>
#include <memory>
#include <type_traits>

namespace pelmora {

namespace {

using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, decltype(&DestroyMenu)>;

// Windows keeps the edit control's menu in user32.dll as menu 1, Wine as "EDITMENU"; both hold
// one pop-up with the commands.
MenuHandle LoadSystemEditMenu() {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) {
        return {nullptr, &DestroyMenu};
    }
    HMENU menu = LoadMenuW(user32, MAKEINTRESOURCEW(1));
    if (menu == nullptr) {
        menu = LoadMenuW(user32, L"EDITMENU");
    }
    return {menu, &DestroyMenu};
}

bool IsKnownCommand(UINT message) {
    switch (message) {
    case EM_UNDO:
    case WM_UNDO:
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR:
    case EM_SETSEL:
        return true;
    default:
        return false;
    }
}

bool IsReadOnly(HWND edit) {
    return (GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY) != 0;
}

} // namespace

std::vector<EditingCommand> SystemEditingCommands() {
    std::vector<EditingCommand> commands;
    const MenuHandle menu = LoadSystemEditMenu();
    HMENU popup = menu != nullptr ? GetSubMenu(menu.get(), 0) : nullptr;
    const int count = popup != nullptr ? GetMenuItemCount(popup) : 0;
    bool separatorPending = false;
    for (int at = 0; at < count; ++at) {
        wchar_t text[128] = {};
        MENUITEMINFOW item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
        item.dwTypeData = text;
        item.cch = static_cast<UINT>(std::size(text) - 1);
        if (!GetMenuItemInfoW(popup, static_cast<UINT>(at), TRUE, &item)) {
            continue;
        }
        if ((item.fType & MFT_SEPARATOR) != 0) {
            separatorPending = !commands.empty();
        } else if (item.hSubMenu == nullptr && IsKnownCommand(item.wID)) {
            commands.push_back({item.wID, text, separatorPending});
            separatorPending = false;
        }
    }
    return commands;
}

bool CanRunEditingCommand(HWND edit, const EditingCommand& command) {
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const bool selection = start != end;
    const bool writable = !IsReadOnly(edit);
    switch (command.message) {
    case EM_UNDO:
    case WM_UNDO:
        return writable && SendMessageW(edit, EM_CANUNDO, 0, 0) != 0;
    case WM_CUT:
    case WM_CLEAR:
        return writable && selection;
    case WM_COPY:
        return selection;
    case WM_PASTE:
        return writable && IsClipboardFormatAvailable(CF_UNICODETEXT);
    case EM_SETSEL: {
        const auto length = static_cast<DWORD>(GetWindowTextLengthW(edit));
        return length > 0 && (start != 0 || end != length);
    }
    default:
        return false;
    }
}

void RunEditingCommand(HWND edit, const EditingCommand& command) {
    if (command.message == EM_SETSEL) {
        SendMessageW(edit, EM_SETSEL, 0, -1);
    } else if (IsKnownCommand(command.message)) {
        SendMessageW(edit, command.message, 0, 0);
    }
}

} // namespace pelmora
