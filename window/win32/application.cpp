#include "application.h"

#include "frm_main_window.h"
#include "message_box.h"
#include "program_arguments.h"
#include "program_directory.h"
#include "wide_text.h"
#include "window_texts.h"

#include <commctrl.h>
#include <shellapi.h>

#include <exception>
#include <string>
#include <vector>

namespace pelmora {

namespace {

void ShowStartFailure(const char* reason) {
    ShowPlainMessage(nullptr, "Pelmora",
                     std::string("Pelmora 无法启动：") + reason +
                         "\r\nPelmora could not start: " + reason);
}

// The program's arguments as UTF-8, its own name left out, split as Windows splits them.
std::vector<std::string> ProgramArguments() {
    int count = 0;
    LPWSTR* split = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int at = 1; split != nullptr && at < count; ++at) {
        arguments.push_back(Utf8FromWide(split[at]));
    }
    LocalFree(split);
    return arguments;
}

} // namespace

int RunWindowProgram(HINSTANCE instance, int showCommand) {
    // A windowed program has no console: started from Explorer or a shortcut there is none to
    // write to, and cmd.exe does not wait for it, so its output would land after the next
    // prompt. The usage and the version show in a message box instead, seen wherever the
    // program was started; pelmora-convert is the console program for scripts.
    const std::vector<std::string> arguments = ProgramArguments();
    const ProgramRequest request = ReadProgramArguments(arguments);
    if (request != ProgramRequest::OpenWindow) {
        ShowPlainMessage(nullptr, "Pelmora",
                         request == ProgramRequest::ShowHelp ? ProgramUsageText()
                                                             : ProgramVersionLine());
        return 0;
    }
    // The manifest selects common controls 6; loading them here registers their classes.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    try {
        FrmMainWindow window(instance, ProgramDirectory());
        window.Show(showCommand);
        if (const std::optional<std::string> file = FileArgument(arguments)) {
            window.OpenInputFile(std::filesystem::path(WideFromUtf8(*file)));
        }
        return RunMessageLoop(window);
    } catch (const std::exception& error) {
        ShowStartFailure(error.what());
    } catch (...) {
        ShowStartFailure("unknown error");
    }
    return kNoWindowStatus;
}

} // namespace pelmora
