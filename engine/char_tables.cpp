#include "char_tables.h"

#include "runtime_error.h"

#include <cerrno>
#include <limits>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pelmora {

namespace {

constexpr std::int64_t kRecordSize = 2;
// Sound tables are a few hundred kilobytes at most; a table larger than this is read record by
// record even in a batch run, so a huge or sparse file never fills the memory.
constexpr std::int64_t kMaxLoadedTableBytes = std::int64_t{16} * 1024 * 1024;

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

// An operating-system file descriptor, open for reading only, closed with its owner.
class ReadOnlyDescriptor {
public:
    explicit ReadOnlyDescriptor(const std::filesystem::path& path) : m_path(path) {
#ifdef _WIN32
        m_fd = _wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
#else
        // Non-blocking so that a FIFO in place of a table cannot stall the open.
        m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
#endif
        if (m_fd < 0) {
            throw RuntimeError(ErrorForErrno(errno), path.string());
        }
    }
    ~ReadOnlyDescriptor() {
#ifdef _WIN32
        _close(m_fd);
#else
        ::close(m_fd);
#endif
    }
    ReadOnlyDescriptor(const ReadOnlyDescriptor&) = delete;
    ReadOnlyDescriptor& operator=(const ReadOnlyDescriptor&) = delete;

    // Length of a regular file; anything else cannot hold a table.
    std::int64_t RegularFileLength() const {
#ifdef _WIN32
        struct _stat64 info {};
        const int result = _fstat64(m_fd, &info);
        const bool regular = result == 0 && (info.st_mode & _S_IFMT) == _S_IFREG;
#else
        struct stat info {};
        const int result = ::fstat(m_fd, &info);
        const bool regular = result == 0 && S_ISREG(info.st_mode);
#endif
        if (result != 0) {
            throw RuntimeError(ErrorForErrno(errno), m_path.string());
        }
        if (!regular) {
            throw RuntimeError(ErrorNumber::PathFileAccessError, m_path.string());
        }
        return static_cast<std::int64_t>(info.st_size);
    }

    // Reads up to `size` bytes at `offset`; returns how many were read (fewer at the end).
    std::size_t ReadAt(std::int64_t offset, char* buffer, std::size_t size) const {
        std::size_t done = 0;
        while (done < size) {
            const std::int64_t at = offset + static_cast<std::int64_t>(done);
#ifdef _WIN32
            const long long read =
                _lseeki64(m_fd, at, SEEK_SET) < 0
                    ? -1
                    : _read(m_fd, buffer + done, static_cast<unsigned>(size - done));
#else
            const ssize_t read = ::pread(m_fd, buffer + done, size - done, at);
            if (read < 0 && errno == EINTR) {
                continue;
            }
#endif
            if (read < 0) {
                throw RuntimeError(ErrorForErrno(errno) == ErrorNumber::PathFileAccessError
                                       ? ErrorNumber::DeviceIOError
                                       : ErrorForErrno(errno),
                                   m_path.string());
            }
            if (read == 0) {
                break;
            }
            done += static_cast<std::size_t>(read);
        }
        return done;
    }

    const std::filesystem::path& Path() const {
        return m_path;
    }

private:
    std::filesystem::path m_path;
    int m_fd = -1;
};

std::int64_t RecordOffset(RecordNumber number, const std::filesystem::path& path) {
    if (number < 1) {
        throw RuntimeError(ErrorNumber::BadRecordNumber, path.string());
    }
    return (static_cast<std::int64_t>(number) - 1) * kRecordSize;
}

// A table read straight from its open file, one record per read.
class PerRecordTableFile final : public TableFile {
public:
    explicit PerRecordTableFile(std::unique_ptr<ReadOnlyDescriptor> file)
        : m_file(std::move(file)) {}

    Record Read(RecordNumber number) override {
        char bytes[kRecordSize];
        const std::int64_t offset = RecordOffset(number, m_file->Path());
        if (m_file->ReadAt(offset, bytes, kRecordSize) != kRecordSize) {
            throw RuntimeError(ErrorNumber::InputPastEndOfFile, m_file->Path().string());
        }
        return {static_cast<std::uint8_t>(bytes[0]), static_cast<std::uint8_t>(bytes[1])};
    }

    std::optional<std::int64_t> LoadedLength() const override { return std::nullopt; }

private:
    std::unique_ptr<ReadOnlyDescriptor> m_file;
};

// A table read whole when it is opened; its file is closed at once.
class InMemoryTableFile final : public TableFile {
public:
    InMemoryTableFile(std::vector<char> bytes, std::filesystem::path path)
        : m_bytes(std::move(bytes)), m_path(std::move(path)) {}

    Record Read(RecordNumber number) override {
        const std::int64_t offset = RecordOffset(number, m_path);
        if (offset + kRecordSize > static_cast<std::int64_t>(m_bytes.size())) {
            throw RuntimeError(ErrorNumber::InputPastEndOfFile, m_path.string());
        }
        const auto at = static_cast<std::size_t>(offset);
        return {static_cast<std::uint8_t>(m_bytes[at]), static_cast<std::uint8_t>(m_bytes[at + 1])};
    }

    std::optional<std::int64_t> LoadedLength() const override {
        return static_cast<std::int64_t>(m_bytes.size());
    }

private:
    std::vector<char> m_bytes;
    std::filesystem::path m_path;
};

std::unique_ptr<TableFile> LoadWhole(const ReadOnlyDescriptor& file, std::int64_t length) {
    std::vector<char> bytes(static_cast<std::size_t>(length));
    bytes.resize(file.ReadAt(0, bytes.data(), bytes.size()));
    return std::make_unique<InMemoryTableFile>(std::move(bytes), file.Path());
}

} // namespace

TablePaths FormTablePaths(const std::filesystem::path& directory) {
    return {directory / kKeyTableName, directory / kJapaneseCodeTableName,
            directory / kPreviewTableName};
}

std::unique_ptr<TableFile> OpenTableFile(const std::filesystem::path& path, TableReading reading) {
    auto file = std::make_unique<ReadOnlyDescriptor>(path);
    const std::int64_t length = file->RegularFileLength();
    if (reading == TableReading::InMemory && length <= kMaxLoadedTableBytes) {
        return LoadWhole(*file, length);
    }
    return std::make_unique<PerRecordTableFile>(std::move(file));
}

TableSet::TableSet(const TablePaths& paths, TableReading reading) : m_paths(paths) {
    m_files[0] = OpenTableFile(paths.pinfile, reading);
    m_files[1] = OpenTableFile(paths.pjfile, reading);
    m_files[2] = OpenTableFile(paths.jjfile, reading);
}

TableFile& TableSet::FileUnder(std::int32_t fileNumber) {
    if (fileNumber < std::numeric_limits<std::int16_t>::min() ||
        fileNumber > std::numeric_limits<std::int16_t>::max()) {
        throw RuntimeError(ErrorNumber::Overflow);
    }
    if (fileNumber < kKeyTableFile || fileNumber > kPreviewTableFile ||
        !m_files[static_cast<std::size_t>(fileNumber - 1)]) {
        throw RuntimeError(ErrorNumber::BadFileNameOrNumber);
    }
    return *m_files[static_cast<std::size_t>(fileNumber - 1)];
}

Record TableSet::ReadRecord(std::int32_t fileNumber, RecordNumber number) {
    return FileUnder(fileNumber).Read(number);
}

std::int64_t TableSet::KeyFileLength() const {
    if (m_files[0]) {
        if (const std::optional<std::int64_t> loaded = m_files[0]->LoadedLength()) {
            return *loaded;
        }
    }
    return FileLengthByName(m_paths.pinfile);
}

void TableSet::CloseAll() {
    for (std::unique_ptr<TableFile>& file : m_files) {
        file.reset();
    }
    m_keySearches.clear();
}

std::optional<RecordNumber> TableSet::RememberedKeySearch(CharCode code) const {
    if (m_keySearches.empty()) {
        return std::nullopt;
    }
    const RecordNumber found = m_keySearches[static_cast<std::size_t>(code + 32768)];
    return found < 0 ? std::nullopt : std::optional<RecordNumber>(found);
}

void TableSet::RememberKeySearch(CharCode code, RecordNumber found) {
    if (!m_files[0] || !m_files[0]->LoadedLength()) {
        return;
    }
    if (m_keySearches.empty()) {
        m_keySearches.assign(65536, -1);
    }
    m_keySearches[static_cast<std::size_t>(code + 32768)] = found;
}

RecordNumber KeyRecordCount(std::int64_t lengthInBytes) {
    const std::int64_t count = lengthInBytes / kRecordSize;
    if (count > std::numeric_limits<RecordNumber>::max()) {
        throw RuntimeError(ErrorNumber::Overflow);
    }
    return static_cast<RecordNumber>(count);
}

std::int64_t FileLengthByName(const std::filesystem::path& path) {
    std::error_code error;
    const std::uintmax_t length = std::filesystem::file_size(path, error);
    if (error) {
        const ErrorNumber number =
            error == std::errc::no_such_file_or_directory ? ErrorNumber::FileNotFound
            : error == std::errc::permission_denied       ? ErrorNumber::PermissionDenied
                                                          : ErrorNumber::PathFileAccessError;
        throw RuntimeError(number, path.string());
    }
    return static_cast<std::int64_t>(length);
}

} // namespace pelmora
