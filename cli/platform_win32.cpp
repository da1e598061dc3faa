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
    void SetBytes(OutputBytes bytes) {
        m_bytes = bytes;
        m_text.emplace(bytes == OutputBytes::ShiftJis ? TextEncoding::ShiftJis : TextEncoding::Utf8,
                       BadBytes::Replace);
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
        SetBytes(m_bytes);
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
            SetBytes(m_bytes);
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
    OutputBytes m_bytes = OutputBytes::Utf8;
    std::optional<StreamDecoder> m_text;
};

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

std::string DisplayPath(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
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

std::optional<std::size_t> RegularFileSize(std::FILE* file) {
    struct _stat64 info {};
    if (_fstat64(_fileno(file), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(info.st_size);
}

bool StandardOutputIsOpen() {
    const HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

void UseBinaryStandardOutput(OutputBytes bytes) {
    Output().SetBytes(bytes);
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
