#include "runtime_error.h"

namespace pelmora {

std::string PathText(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

std::string StandardDescription(ErrorNumber number) {
    switch (number) {
    case ErrorNumber::Overflow:
        return "Overflow";
    case ErrorNumber::OutOfMemory:
        return "Out of memory";
    case ErrorNumber::InternalError:
        return "Internal error";
    case ErrorNumber::BadFileNameOrNumber:
        return "Bad file name or number";
    case ErrorNumber::FileNotFound:
        return "File not found";
    case ErrorNumber::DeviceIOError:
        return "Device I/O error";
    case ErrorNumber::InputPastEndOfFile:
        return "Input past end of file";
    case ErrorNumber::BadRecordNumber:
        return "Bad record number";
    case ErrorNumber::TooManyFiles:
        return "Too many files";
    case ErrorNumber::PermissionDenied:
        return "Permission denied";
    case ErrorNumber::PathFileAccessError:
        return "Path/File access error";
    case ErrorNumber::InvalidFileFormat:
        return "Invalid file format";
    }
    return "Application-defined or object-defined error";
}

RuntimeError::RuntimeError(ErrorNumber number)
    : std::runtime_error(StandardDescription(number)), m_number(number) {}

RuntimeError::RuntimeError(ErrorNumber number, const std::string& fileName)
    : std::runtime_error(StandardDescription(number) + ": " + fileName), m_number(number),
      m_fileName(fileName) {}

RuntimeError RuntimeError::WithDetail(ErrorNumber number, const std::string& detail) {
    RuntimeError error(number);
    static_cast<std::runtime_error&>(error) =
        std::runtime_error(StandardDescription(number) + ": " + detail);
    return error;
}

} // namespace pelmora
