#pragma once

#include <windows.h>

#include <string_view>

namespace pelmora {

/// Shows UTF-8 `text` under `title` in a modal message box over `owner` with one OK button and
/// no icon, and returns when the user closes it.
void ShowPlainMessage(HWND owner, std::string_view title, std::string_view text);

} // namespace pelmora
