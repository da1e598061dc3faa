#include "platform.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <string>

namespace pelmora {

std::filesystem::path PathFromArgument(std::string_view argument) {
    // A narrow path would be read in the ANSI code page; the arguments are UTF-8.
    return std::filesystem::path(std::u8string(argument.begin(), argument.end()));
}

std::string DisplayPath(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

std::FILE* OpenForReading(const std::filesystem::path& path) {
    return _wfopen(path.c_str(), L"rb");
}

std::FILE* OpenStandardInput() {
    _setmode(_fileno(stdin), _O_BINARY);
    return stdin;
}

bool StandardInputIsTerminal() {
    return _isatty(_fileno(stdin)) != 0;
}

std::string_view EndOfInputKeys() {
    return "Ctrl-Z and Enter";
}

std::optional<std::size_t> RegularFileSize(std::FILE* file) {
    struct _stat64 info {};
    if (_fstat64(_fileno(file), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(info.st_size);
}

bool StandardOutputIsOpen() {
    return _get_osfhandle(_fileno(stdout)) >= 0;
}

void UseBinaryStandardOutput() {
    _setmode(_fileno(stdout), _O_BINARY);
}

void WriteStandardError(std::string_view utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
}

} // namespace pelmora
