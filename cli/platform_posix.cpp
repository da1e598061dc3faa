#include "platform.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace pelmora {

std::filesystem::path PathFromArgument(std::string_view argument) {
    return std::filesystem::path(std::string(argument));
}

std::FILE* OpenForReading(const std::filesystem::path& path) {
    return std::fopen(path.c_str(), "rb");
}

std::FILE* OpenStandardInput() {
    return stdin;
}

bool StandardInputIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

std::string_view EndOfInputKeys() {
    return "Ctrl-D";
}

std::optional<std::size_t> ReadAvailable(std::FILE* file, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t read = ::read(::fileno(file), buffer, size);
        if (read >= 0) {
            return static_cast<std::size_t>(read);
        }
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
}

std::optional<TextEncoding> StandardInputTextEncoding() {
    return std::nullopt;
}

bool StandardOutputIsOpen() {
    return ::fcntl(STDOUT_FILENO, F_GETFD) != -1;
}

void UseBinaryStandardOutput(TextEncoding) {}

bool WriteStandardOutput(std::string_view bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
}

bool FlushStandardOutput() {
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

void WriteStandardError(std::string_view utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
}

} // namespace pelmora
