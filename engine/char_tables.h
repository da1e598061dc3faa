#pragma once

#include "code_page.h"
#include "table_files.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

namespace pelmora {

/// Full paths of the three tables, formed anew at the start of every conversion.
struct TablePaths {
    std::filesystem::path pinfile; ///< key table: the Chinese characters the tables know
    std::filesystem::path pjfile;  ///< Japanese code table: Shift-JIS bytes of each kanji
    std::filesystem::path jjfile;  ///< preview table: the kanji's Japanese form
};

/// File numbers under which a conversion opens the tables.
inline constexpr int kKeyTableFile = 1;
inline constexpr int kJapaneseCodeTableFile = 2;
inline constexpr int kPreviewTableFile = 3;

/// The three table paths in `directory`, in the order pin, pj, jj.
TablePaths FormTablePaths(const std::filesystem::path& directory);

/// How a conversion reads the tables. The window reads one record at a time from the open
/// files; a batch run may read each table into memory once when it opens them.
enum class TableReading { PerRecord, InMemory };

/// One open table file, read by record number. Implementations throw RuntimeError.
class TableFile {
public:
    virtual ~TableFile() = default;
    /// Record `number` (1 and above); a record beyond the end is "Input past end of file".
    virtual Record Read(RecordNumber number) = 0;
    /// The length in bytes when the table was read into memory; nothing for an open file.
    virtual std::optional<std::int64_t> LoadedLength() const = 0;
    /// The length in bytes: as read into memory, or of the open file.
    virtual std::int64_t Length() const = 0;
    /// Reads up to `size` bytes from `offset` on; returns how many were read (fewer at the end).
    virtual std::size_t ReadBytes(std::int64_t offset, char* buffer, std::size_t size) const = 0;
};

/// Opens one table read-only. A missing file is reported, never created; anything other than a
/// regular file (a directory, a FIFO, a device) is refused without waiting on it.
std::unique_ptr<TableFile> OpenTableFile(const std::filesystem::path& path, TableReading reading);

/// The three tables of one conversion, open as file numbers 1, 2 and 3 from construction until
/// CloseAll or destruction, whichever comes first: no path out of a conversion leaves one open.
class TableSet {
public:
    /// Opens pin, pj and jj in that order; a failure closes what was opened and throws.
    TableSet(const TablePaths& paths, TableReading reading);
    ~TableSet() = default;
    TableSet(const TableSet&) = delete;
    TableSet& operator=(const TableSet&) = delete;

    /// Checks that the three tables can serve a conversion together, reading the key table
    /// once: none is empty, each is a whole number of records, all three hold the same number,
    /// and the keys rise strictly in signed CharCode order. Otherwise throws "Invalid file
    /// format" naming the table and what is wrong with it. A table that breaks these rules is
    /// damaged (cut short, overwritten, swapped with another): searched anyway, it would turn
    /// characters it holds into misses without a word. So is a key table with an odd last byte
    /// or none at all, which the key search alone reads as fewer keys or none.
    void CheckFormat();

    /// Reads record `number` of the table open under `fileNumber`.
    Record ReadRecord(std::int32_t fileNumber, RecordNumber number);

    /// Length in bytes of the key table, taken by its name each time it is asked (or the
    /// length read into memory, for tables read whole).
    std::int64_t KeyFileLength() const;

    /// Closes all open tables at once.
    void CloseAll();

private:
    TableFile& FileUnder(std::int32_t fileNumber);

    TablePaths m_paths;
    std::array<std::unique_ptr<TableFile>, 3> m_files;
};

/// The number of key records for a key table of `lengthInBytes`: the truncated half. Raises
/// "Overflow" when the count does not fit a record number.
RecordNumber KeyRecordCount(std::int64_t lengthInBytes);

/// The length of the file named `path`, as the runtime's file-length-by-name reports it.
std::int64_t FileLengthByName(const std::filesystem::path& path);

} // namespace pelmora
