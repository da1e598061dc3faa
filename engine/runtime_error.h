#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

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

/// What is wrong with a table whose format is invalid, for a front end to word in its own
/// language.
enum class TableDamage {
    Unknown,        ///< nothing more is known, or the failure is no damaged table
    Empty,          ///< the table holds no record
    PartRecord,     ///< its length is no whole number of 2-byte records
    LengthsDiffer,  ///< it holds another number of records than the other tables
    KeysOutOfOrder, ///< the key of `record` is not above the key before it
    RecordPair,     ///< the record pair at `record` breaks the tables' promise
};

/// One failure as facts, which each front end words in its own language: the error number, the
/// file or the two files it involves, the record in them and what else is known.
struct ErrorInfo {
    /// A failure numbered `number`, of `file` when one is given.
    explicit ErrorInfo(int number = 0, std::filesystem::path file = {})
        : number(number), file(std::move(file)) {}

    int number;
    /// The file that failed; empty when the failure involves none.
    std::filesystem::path file;
    /// The other file of a record pair that breaks the tables' promise, when its two records
    /// lie in two files (pj.dat beside jj.dat); empty otherwise.
    std::filesystem::path pairedFile;
    /// The record of `file` (and `pairedFile`) that failed, counted from 1; nothing when none.
    std::optional<std::int32_t> record;
    /// What else is known, in English (why a record is damaged, what failed inside); empty
    /// when nothing.
    std::string detail;
    /// What is wrong with a damaged table, which `detail` says in English.
    TableDamage damage = TableDamage::Unknown;
};

/// The facts in the runtime's English wording: the standard description, then the files and
/// the record, then the detail: "File not found: /t/pin.dat", "Invalid file format: /t/pj.dat
/// and /t/jj.dat, record 3: its Shift-JIS code is not its preview's kanji".
std::string EnglishDescription(const ErrorInfo& error);

/// A failure inside a routine, thrown where it happens and caught only by the trap of the
/// routine that owns it (the key search, the conversion run, the window's load handler). It
/// carries its facts; what() is their English description.
class RuntimeError : public std::runtime_error {
public:
    /// A failure with the runtime's standard description.
    explicit RuntimeError(ErrorNumber number);
    /// A failure of the file `file`.
    RuntimeError(ErrorNumber number, const std::filesystem::path& file);
    /// A failure with all its facts; `facts.number` is its number.
    explicit RuntimeError(ErrorInfo facts);

    int Number() const { return m_facts.number; }
    ErrorNumber Kind() const { return static_cast<ErrorNumber>(m_facts.number); }
    const ErrorInfo& Facts() const { return m_facts; }

private:
    ErrorInfo m_facts;
};

} // namespace pelmora
