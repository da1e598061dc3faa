#include "platform.h"

#include "stream_decoder.h"
#include "utf16.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace pelmora {

namespace {

// Bytes for standard output or standard error: written as they are to a file or a pipe, shown
// as text with WriteConsoleW on a console, whatever the console's code page, so that Chinese
// and kanji read right on any Windows.
class StandardStream {
public:
    explicit StandardStream(DWORD which) : m_handle(GetStdHandle(which)) {
        DWORD mode = 0;
        m_console = m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE &&
                    GetConsoleMode(m_handle, &mode);
    }

    // A console shows the text the bytes stand for; a character cut at the end of one write is
    // kept for the next.
    void SetBytes(TextEncoding shownAs) {
        m_shownAs = shownAs;
        m_text.emplace(shownAs, BadBytes::Replace);
    }

    bool Write(std::string_view bytes) {
        return m_console ? WriteToConsole(bytes) : WriteToFile(bytes);
    }

    // The console gets what was held back for a character cut at the end of a write.
    bool Finish() {
        if (!m_console) {
            return true;
        }
        std::string utf8;
        Text().Finish(utf8);
        SetBytes(m_shownAs);
        return WriteText(utf8);
    }

private:
    bool WriteToFile(std::string_view bytes) {
        while (!bytes.empty()) {
            DWORD written = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
            if (m_handle == nullptr || m_handle == INVALID_HANDLE_VALUE ||
                !WriteFile(m_handle, bytes.data(), chunk, &written, nullptr)) {
                errno = ErrnoFor(GetLastError());
                return false;
            }
            bytes.remove_prefix(written);
        }
        return true;
    }

    bool WriteToConsole(std::string_view bytes) {
        std::string utf8;
        Text().Decode(bytes, utf8);
        return WriteText(utf8);
    }

    StreamDecoder& Text() {
        if (!m_text) {
            SetBytes(m_shownAs);
        }
        return *m_text;
    }

    bool WriteText(std::string_view utf8) {
        const std::u16string units = Utf16FromUtf8(utf8);
        std::size_t done = 0;
        while (done < units.size()) {
            DWORD written = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(units.size() - done, 8192));
            if (!WriteConsoleW(m_handle, reinterpret_cast<const wchar_t*>(units.data()) + done,
                               chunk, &written, nullptr) ||
                written == 0) {
                errno = EIO;
                return false;
            }
            done += written;
        }
        return true;
    }

    static int ErrnoFor(DWORD error) {
        switch (error) {
        case ERROR_BROKEN_PIPE:
        case ERROR_NO_DATA:
            return EPIPE;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_INVALID_HANDLE:
            return EBADF;
        default:
            return EIO;
        }
    }

    HANDLE m_handle;
    bool m_console = false;
    TextEncoding m_shownAs = TextEncoding::Utf8;
    std::optional<StreamDecoder> m_text;
};

// Standard input on a console: the console's own UTF-16 text, as typed in any language. As in
// other Windows console programs, Ctrl+Z at the start of a line ends the input.
class ConsoleInput {
public:
    ConsoleInput() : m_handle(GetStdHandle(STD_INPUT_HANDLE)) {
        DWORD mode = 0;
        m_console = m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE &&
                    GetConsoleMode(m_handle, &mode);
    }

    bool IsConsole() const { return m_console; }

    // UTF-16LE bytes of what was typed, up to `size` bytes; 0 once the input has ended.
    std::optional<std::size_t> Read(char* buffer, std::size_t size) {
        if (m_ended) {
            return 0;
        }
        std::wstring units(std::max<std::size_t>(size / 2, 1), L'\0');
        DWORD read = 0;
        if (!ReadConsoleW(m_handle, units.data(), static_cast<DWORD>(units.size()), &read,
                          nullptr)) {
            errno = EIO;
            return std::nullopt;
        }
        std::size_t bytes = 0;
        for (DWORD at = 0; at < read; ++at) {
            const wchar_t unit = units[at];
            if (unit == L'\x1A' && m_lineStart) {
                m_ended = true;
                break;
            }
            m_lineStart = unit == L'\n';
            buffer[bytes++] = static_cast<char>(unit & 0xFF);
            buffer[bytes++] = static_cast<char>(unit >> 8);
        }
        m_ended = m_ended || read == 0;
        return bytes;
    }

private:
    HANDLE m_handle;
    bool m_console = false;
    bool m_lineStart = true;
    bool m_ended = false;
};

ConsoleInput& Console() {
    static ConsoleInput console;
    return console;
}

StandardStream& Output() {
    static StandardStream stream(STD_OUTPUT_HANDLE);
    return stream;
}

StandardStream& Error() {
    static StandardStream stream(STD_ERROR_HANDLE);
    return stream;
}

} // namespace

std::filesystem::path PathFromArgument(std::string_view argument) {
    // A narrow path would be read in the ANSI code page; the arguments are UTF-8.
    return std::filesystem::path(std::u8string(argument.begin(), argument.end()));
}

std::FILE* OpenForReading(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        errno = EISDIR;
        return nullptr;
    }
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

std::optional<std::size_t> ReadAvailable(std::FILE* file, char* buffer, std::size_t size) {
    if (file == stdin && Console().IsConsole()) {
        return Console().Read(buffer, size);
    }
    const int read =
        _read(_fileno(file), buffer, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
    if (read < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(read);
}

std::optional<TextEncoding> StandardInputTextEncoding() {
    if (Console().IsConsole()) {
        return TextEncoding::Utf16Le;
    }
    return std::nullopt;
}

bool StandardOutputIsOpen() {
    const HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

void UseBinaryStandardOutput(TextEncoding shownAs) {
    Output().SetBytes(shownAs);
}

bool WriteStandardOutput(std::string_view bytes) {
    return Output().Write(bytes);
}

bool FlushStandardOutput() {
    return Output().Finish();
}

void WriteStandardError(std::string_view utf8) {
    Error().Write(utf8);
}

} // namespace pelmora
