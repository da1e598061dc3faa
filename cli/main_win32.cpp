#include "convert_command.h"

#include <string>
#include <vector>

#include <windows.h>

// The arguments come wide, as Windows keeps them, and go on as UTF-8: a narrow main() would get
// them in the ANSI code page, which cannot spell a Chinese folder on a Western system.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string argument(size > 0 ? static_cast<std::size_t>(size) : 1u, '\0');
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, argument.data(), size, nullptr, nullptr);
        argument.resize(argument.size() - 1); // the terminating NUL
        arguments.push_back(std::move(argument));
    }
    return pelmora::RunConvertCommand(arguments);
}
