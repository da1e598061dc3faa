#pragma once

#include <windows.h>

namespace pelmora {

/// Exit status of the window program when Windows cannot make its window.
inline constexpr int kNoWindowStatus = 1;

/// The window program: shows the window with the tables beside the program and runs until the
/// window ends. Anything that stops it from starting is shown in a message box, never a crash.
/// Asked for --help or --version, it shows the usage or the version in a message box and
/// returns 0 once the box is closed, with no window. Given a file (`pelmora.exe FILE`), it opens
/// the window with the file's text in the input box.
int RunWindowProgram(HINSTANCE instance, int showCommand);

} // namespace pelmora
