#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

// How the tables are read from the file system. One implementation per platform
// (table_file_access_posix.cpp, table_file_access_win32.cpp), chosen by the build; both throw
// RuntimeError with the same error numbers for the same situations. FileLengthByName
// (char_tables.h) is the third operation each platform provides.
namespace pelmora {

/// A table file open for reading only, closed with its owner. Opening never creates the file,
/// never waits on it, and leaves it free for others to rename, replace or delete.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::filesystem::path& path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    /// Length of the open file when it is a regular file; anything else (a directory, a device,
    /// a pipe) cannot hold a table and is "Path/File access error".
    std::int64_t RegularFileLength() const;

    /// Reads up to `size` bytes at `offset`; returns how many were read (fewer at the end).
    std::size_t ReadAt(std::int64_t offset, char* buffer, std::size_t size) const;

    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
    std::intptr_t m_handle; // a file descriptor or a HANDLE, by platform
};

} // namespace pelmora
