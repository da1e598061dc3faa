#include "table_file_access.h"

#include "char_tables.h"
#include "runtime_error.h"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora {

namespace {

ErrorNumber ErrorForErrno(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return ErrorNumber::FileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return ErrorNumber::PermissionDenied;
    case EMFILE:
    case ENFILE:
        return ErrorNumber::TooManyFiles;
    case ENOMEM:
        return ErrorNumber::OutOfMemory;
    case EIO:
        return ErrorNumber::DeviceIOError;
    case ENAMETOOLONG:
        return ErrorNumber::BadFileNameOrNumber;
    default:
        return ErrorNumber::PathFileAccessError;
    }
}

int Descriptor(std::intptr_t handle) {
    return static_cast<int>(handle);
}

} // namespace

ReadOnlyFile::ReadOnlyFile(const std::filesystem::path& path) : m_path(path) {
    // Non-blocking so that a FIFO in place of a table cannot stall the open.
    m_handle = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (m_handle < 0) {
        throw RuntimeError(ErrorForErrno(errno), path);
    }
}

ReadOnlyFile::~ReadOnlyFile() {
    ::close(Descriptor(m_handle));
}

std::int64_t ReadOnlyFile::RegularFileLength() const {
    struct stat info {};
    if (::fstat(Descriptor(m_handle), &info) != 0) {
        throw RuntimeError(ErrorForErrno(errno), m_path);
    }
    if (!S_ISREG(info.st_mode)) {
        throw RuntimeError(ErrorNumber::PathFileAccessError, m_path);
    }
    return static_cast<std::int64_t>(info.st_size);
}

std::size_t ReadOnlyFile::ReadAt(std::int64_t offset, char* buffer, std::size_t size) const {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t read = ::pread(Descriptor(m_handle), buffer + done, size - done,
                                     offset + static_cast<std::int64_t>(done));
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read < 0) {
            const ErrorNumber number = ErrorForErrno(errno);
            throw RuntimeError(
                number == ErrorNumber::PathFileAccessError ? ErrorNumber::DeviceIOError : number,
                m_path);
        }
        if (read == 0) {
            break;
        }
        done += static_cast<std::size_t>(read);
    }
    return done;
}

std::int64_t FileLengthByName(const std::filesystem::path& path) {
    std::error_code error;
    const std::uintmax_t length = std::filesystem::file_size(path, error);
    if (error) {
        const ErrorNumber number =
            error == std::errc::no_such_file_or_directory ? ErrorNumber::FileNotFound
            : error == std::errc::permission_denied       ? ErrorNumber::PermissionDenied
                                                          : ErrorNumber::PathFileAccessError;
        throw RuntimeError(number, path);
    }
    return static_cast<std::int64_t>(length);
}

} // namespace pelmora
