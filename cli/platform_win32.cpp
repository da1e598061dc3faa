#include "platform.h"

#include "shift_jis.h"
#include "utf8.h"

#include <cerrno>
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

    void SetBytes(OutputBytes bytes) { m_bytes = bytes; }

    bool Write(std::string_view bytes) {
        return m_console ? WriteToConsole(bytes) : WriteToFile(bytes);
    }

    // The console gets what was held back for a character cut at the end of a write.
    bool Finish() {
        if (!m_console || m_pending.empty()) {
            return true;
        }
        const std::string rest = std::move(m_pending);
        m_pending.clear();
        return WriteText(DecodeAll(rest));
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
        m_pending.append(bytes);
        const std::size_t complete = CompletePrefix(m_pending);
        const std::u32string text = DecodeAll(std::string_view(m_pending).substr(0, complete));
        m_pending.erase(0, complete);
        return WriteText(text);
    }

    bool WriteText(const std::u32string& text) {
        std::wstring units;
        for (const char32_t character : text) {
            if (character >= 0x10000) {
                units += static_cast<wchar_t>(0xD800 + ((character - 0x10000) >> 10));
                units += static_cast<wchar_t>(0xDC00 + ((character - 0x10000) & 0x3FF));
            } else {
                units += static_cast<wchar_t>(character);
            }
        }
        std::size_t done = 0;
        while (done < units.size()) {
            DWORD written = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(units.size() - done, 8192));
            if (!WriteConsoleW(m_handle, units.data() + done, chunk, &written, nullptr) ||
                written == 0) {
                errno = EIO;
                return false;
            }
            done += written;
        }
        return true;
    }

    // How many leading bytes hold whole characters; the rest waits for the next write.
    std::size_t CompletePrefix(std::string_view bytes) const {
        if (m_bytes == OutputBytes::ShiftJis) {
            std::size_t at = 0;
            while (at < bytes.size()) {
                const auto byte = static_cast<unsigned char>(bytes[at]);
                const bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
                if (lead && at + 1 == bytes.size()) {
                    return at;
                }
                at += lead ? 2 : 1;
            }
            return bytes.size();
        }
        // UTF-8: back up over a sequence that the end cuts short.
        std::size_t start = bytes.size();
        for (int back = 0; back < 4 && start > 0; ++back) {
            const auto byte = static_cast<unsigned char>(bytes[start - 1]);
            if ((byte & 0xC0) != 0x80) {
                const std::size_t length = byte >= 0xF0   ? 4
                                           : byte >= 0xE0 ? 3
                                           : byte >= 0xC0 ? 2
                                                          : 1;
                return bytes.size() - (start - 1) < length ? start - 1 : bytes.size();
            }
            --start;
        }
        return bytes.size();
    }

    // The text the bytes stand for; a byte that is no character shows as U+FFFD.
    std::u32string DecodeAll(std::string_view bytes) const {
        if (m_bytes == OutputBytes::Utf8) {
            return DecodeUtf8(bytes);
        }
        std::u32string text;
        for (std::size_t at = 0; at < bytes.size();) {
            const auto byte = static_cast<unsigned char>(bytes[at]);
            const bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
            const std::size_t length = lead && at + 1 < bytes.size() ? 2 : 1;
            const std::optional<std::u32string> one = DecodeShiftJis(bytes.substr(at, length));
            text += one ? *one : std::u32string(1, U'\uFFFD');
            at += one ? length : 1;
        }
        return text;
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
    std::string m_pending;
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
