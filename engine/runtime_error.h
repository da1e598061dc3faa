#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace pelmora {

// Error numbers as the classic desktop runtime numbers the same failures, so that a report
// reads the same on every platform Pelmora runs on.
enum class ErrorNumber : int {
    Overflow = 6,
    OutOfMemory = 7,
    InternalError = 51,
    BadFileNameOrNumber = 52,
    FileNotFound = 53,
    DeviceIOError = 57,
    InputPastEndOfFile = 62,
    BadRecordNumber = 63,
    TooManyFiles = 67,
    PermissionDenied = 70,
    PathFileAccessError = 75,
    InvalidFileFormat = 321,
};

/// A path as UTF-8, for messages and error reports.
std::string PathText(const std::filesystem::path& path);

/// The runtime's own wording for an error number ("File not found", ...).
std::string StandardDescription(ErrorNumber number);

/// A failure inside a routine, thrown where it happens and caught only by the trap of the
/// routine that owns it (the key search, the conversion run, the window's load handler).
class RuntimeError : public std::runtime_error {
public:
    /// A failure with the runtime's standard description.
    explicit RuntimeError(ErrorNumber number);
    /// A failure that involves a file: the description names it.
    RuntimeError(ErrorNumber number, const std::string& fileName);
    /// A failure whose description adds `detail` to the standard wording (which may name files
    /// and places in them); FileName() stays empty.
    static RuntimeError WithDetail(ErrorNumber number, const std::string& detail);

    int Number() const { return static_cast<int>(m_number); }
    ErrorNumber Kind() const { return m_number; }
    /// The file the failure involves, as given; empty when none.
    const std::string& FileName() const { return m_fileName; }

private:
    ErrorNumber m_number;
    std::string m_fileName;
};

} // namespace pelmora
