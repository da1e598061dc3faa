#include "application.h"

#include "frm_main_window.h"
#include "message_box.h"
#include "program_directory.h"

#include <commctrl.h>

#include <exception>

namespace pelmora {

namespace {

void ShowStartFailure(const char* reason) {
    ShowPlainMessage(nullptr, "Pelmora",
                     std::string("Pelmora 无法启动：") + reason +
                         "\r\nPelmora could not start: " + reason);
}

} // namespace

int RunWindowProgram(HINSTANCE instance, int showCommand) {
    // The manifest selects common controls 6; loading them here registers their classes.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    try {
        FrmMainWindow window(instance, ProgramDirectory());
        window.Show(showCommand);
        return RunMessageLoop(window);
    } catch (const std::exception& error) {
        ShowStartFailure(error.what());
    } catch (...) {
        ShowStartFailure("unknown error");
    }
    return kNoWindowStatus;
}

} // namespace pelmora
