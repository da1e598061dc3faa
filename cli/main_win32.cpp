#include "convert_command.h"
#include "utf16.h"

#include <string>
#include <vector>

#include <windows.h>

// The arguments come wide, as Windows keeps them, and go on as UTF-8: a narrow main() would get
// them in the ANSI code page, which cannot spell a Chinese folder on a Western system.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        const std::wstring_view argument(argv[i]);
        arguments.push_back(
            pelmora::Utf8FromUtf16(std::u16string(argument.begin(), argument.end())));
    }
    return pelmora::RunConvertCommand(arguments);
}
