#pragma once

class QCoreApplication;

namespace pelmora {

/// Exit status of the window program when no display can show its window.
inline constexpr int kNoDisplayStatus = 1;
/// Exit status of `pelmora --help` or `--version` when standard output cannot be written.
inline constexpr int kOutputFailedStatus = 1;

/// Loads Qt's own texts (message box buttons, the text boxes' context menus) in Simplified
/// Chinese, whatever the system's language, since every caption of the window is Chinese.
/// False when Qt's Chinese translations are not installed; Qt then keeps English.
bool InstallChineseQtTranslations(QCoreApplication& application);

/// The window program: starts Qt, shows the window with the tables beside the program and runs
/// until the window ends. Without a usable display it says so in one message on standard error
/// and returns kNoDisplayStatus instead of letting Qt abort. Asked for --help or --version, it
/// prints the usage or the version to standard output and returns 0, with no window. Given a
/// file (`pelmora FILE`), it opens the window with the file's text in the input box.
int RunWindowProgram(int argc, char** argv);

} // namespace pelmora
