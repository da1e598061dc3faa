#include "runtime_error.h"

#include <utility>

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

std::string EnglishDescription(const ErrorInfo& error) {
    std::string text = StandardDescription(static_cast<ErrorNumber>(error.number));
    if (!error.file.empty()) {
        text += ": " + PathText(error.file);
        if (!error.pairedFile.empty()) {
            text += " and " + PathText(error.pairedFile);
        }
        if (error.record) {
            text += ", record " + std::to_string(*error.record);
        }
    }
    if (!error.detail.empty()) {
        text += ": " + error.detail;
    }
    return text;
}

RuntimeError::RuntimeError(ErrorNumber number)
    : RuntimeError(ErrorInfo(static_cast<int>(number))) {}

RuntimeError::RuntimeError(ErrorNumber number, const std::filesystem::path& file)
    : RuntimeError(ErrorInfo(static_cast<int>(number), file)) {}

RuntimeError::RuntimeError(ErrorInfo facts)
    : std::runtime_error(EnglishDescription(facts)), m_facts(std::move(facts)) {}

} // namespace pelmora
