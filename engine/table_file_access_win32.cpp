#include "table_file_access.h"

#include "char_tables.h"
#include "runtime_error.h"

#include <algorithm>

#include <windows.h>

namespace pelmora {

namespace {

// The same numbers the POSIX build gives for the same situations.
ErrorNumber ErrorForSystemError(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return ErrorNumber::FileNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return ErrorNumber::PermissionDenied;
    case ERROR_TOO_MANY_OPEN_FILES:
        return ErrorNumber::TooManyFiles;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ErrorNumber::OutOfMemory;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
        return ErrorNumber::DeviceIOError;
    case ERROR_FILENAME_EXCED_RANGE:
        return ErrorNumber::BadFileNameOrNumber;
    default:
        return ErrorNumber::PathFileAccessError;
    }
}

bool IsDirectory(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// No file system takes a name longer than this (POSIX reports ENAMETOOLONG for it).
constexpr std::size_t kLongestName = 255;

bool HasOverlongName(const std::filesystem::path& path) {
    for (const std::filesystem::path& part : path) {
        if (part.native().size() > kLongestName) {
            return true;
        }
    }
    return false;
}

// Windows refuses to open a directory as a file ("access denied"); POSIX opens it and the
// length check refuses it. Both report a directory in a table's place as an access error, and
// a name too long for any file system as a bad file name, whatever error Windows gives for it.
ErrorNumber ErrorForFailedOpen(const std::filesystem::path& path, DWORD error) {
    if (error == ERROR_ACCESS_DENIED && IsDirectory(path)) {
        return ErrorNumber::PathFileAccessError;
    }
    if (HasOverlongName(path)) {
        return ErrorNumber::BadFileNameOrNumber;
    }
    return ErrorForSystemError(error);
}

HANDLE Handle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

ReadOnlyFile::ReadOnlyFile(const std::filesystem::path& path) : m_path(path) {
    // Full sharing: while a conversion reads a table the user may still rename, replace or
    // delete it, as on POSIX systems. The handle is not inherited by child processes.
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        throw RuntimeError(ErrorForFailedOpen(path, GetLastError()), path);
    }
    m_handle = reinterpret_cast<std::intptr_t>(handle);
}

ReadOnlyFile::~ReadOnlyFile() {
    CloseHandle(Handle(m_handle));
}

std::int64_t ReadOnlyFile::RegularFileLength() const {
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileType(Handle(m_handle)) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(Handle(m_handle), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw RuntimeError(ErrorNumber::PathFileAccessError, m_path);
    }
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) |
                                     information.nFileSizeLow);
}

// Reads go through the file pointer rather than an OVERLAPPED offset: with an OVERLAPPED,
// Wine also reports every read as a completion, a round trip through its server that costs far
// more than the read itself, and the window reads one 2-byte record at a time. The handle is
// used by one conversion on one thread, so its file pointer is the reader's own.
std::size_t ReadOnlyFile::ReadAt(std::int64_t offset, char* buffer, std::size_t size) const {
    const auto failure = [this] {
        const ErrorNumber number = ErrorForSystemError(GetLastError());
        return RuntimeError(number == ErrorNumber::PathFileAccessError ? ErrorNumber::DeviceIOError
                                                                       : number,
                            m_path);
    };
    LARGE_INTEGER position{};
    position.QuadPart = offset;
    if (!SetFilePointerEx(Handle(m_handle), position, nullptr, FILE_BEGIN)) {
        throw failure();
    }
    constexpr std::size_t kLargestRead = 1u << 30;
    std::size_t done = 0;
    while (done < size) {
        DWORD read = 0;
        const auto wanted = static_cast<DWORD>(std::min(size - done, kLargestRead));
        if (!ReadFile(Handle(m_handle), buffer + done, wanted, &read, nullptr)) {
            if (GetLastError() == ERROR_HANDLE_EOF) {
                break;
            }
            throw failure();
        }
        if (read == 0) {
            break;
        }
        done += read;
    }
    return done;
}

std::int64_t FileLengthByName(const std::filesystem::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        throw RuntimeError(ErrorForFailedOpen(path, GetLastError()), path);
    }
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw RuntimeError(ErrorNumber::PathFileAccessError, path);
    }
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) |
                                     data.nFileSizeLow);
}

} // namespace pelmora
