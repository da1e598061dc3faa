#include "message_box.h"

#include "wide_text.h"

namespace pelmora {

void ShowPlainMessage(HWND owner, std::string_view title, std::string_view text) {
    // MB_OK alone: one button, and no icon flag, so no icon and no alarm sound of its own.
    MessageBoxW(owner, WideFromUtf8(text).c_str(), WideFromUtf8(title).c_str(), MB_OK);
}

} // namespace pelmora
