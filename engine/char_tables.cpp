#include "char_tables.h"

#include "runtime_error.h"
#include "table_file_access.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace pelmora {

namespace {

constexpr auto kRecordSize = static_cast<std::int64_t>(kRecordBytes);

std::int64_t RecordOffset(RecordNumber number, const std::filesystem::path& path) {
    if (number < 1) {
        throw RuntimeError(ErrorNumber::BadRecordNumber, path);
    }
    return (static_cast<std::int64_t>(number) - 1) * kRecordSize;
}

// A table read straight from its open file, one record per read.
class PerRecordTableFile final : public TableFile {
public:
    explicit PerRecordTableFile(std::unique_ptr<ReadOnlyFile> file) : m_file(std::move(file)) {}

    Record Read(RecordNumber number) override {
        char bytes[kRecordSize];
        const std::int64_t offset = RecordOffset(number, m_file->Path());
        if (m_file->ReadAt(offset, bytes, kRecordSize) != kRecordSize) {
            throw RuntimeError(ErrorNumber::InputPastEndOfFile, m_file->Path());
        }
        return {static_cast<std::uint8_t>(bytes[0]), static_cast<std::uint8_t>(bytes[1])};
    }

    std::optional<std::int64_t> LoadedLength() const override { return std::nullopt; }

    std::int64_t Length() const override { return m_file->RegularFileLength(); }

    std::size_t ReadBytes(std::int64_t offset, char* buffer, std::size_t size) const override {
        return m_file->ReadAt(offset, buffer, size);
    }

private:
    std::unique_ptr<ReadOnlyFile> m_file;
};

// A table read whole when it is opened; its file is closed at once.
class InMemoryTableFile final : public TableFile {
public:
    InMemoryTableFile(std::vector<char> bytes, std::filesystem::path path)
        : m_bytes(std::move(bytes)), m_path(std::move(path)) {}

    Record Read(RecordNumber number) override {
        const std::int64_t offset = RecordOffset(number, m_path);
        if (offset + kRecordSize > static_cast<std::int64_t>(m_bytes.size())) {
            throw RuntimeError(ErrorNumber::InputPastEndOfFile, m_path);
        }
        const auto at = static_cast<std::size_t>(offset);
        return {static_cast<std::uint8_t>(m_bytes[at]), static_cast<std::uint8_t>(m_bytes[at + 1])};
    }

    std::optional<std::int64_t> LoadedLength() const override { return Length(); }

    std::int64_t Length() const override { return static_cast<std::int64_t>(m_bytes.size()); }

    std::size_t ReadBytes(std::int64_t offset, char* buffer, std::size_t size) const override {
        const auto at = static_cast<std::size_t>(std::min(offset, Length()));
        const std::size_t count = std::min(size, m_bytes.size() - at);
        std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(at), count, buffer);
        return count;
    }

private:
    std::vector<char> m_bytes;
    std::filesystem::path m_path;
};

// The most keys that can rise strictly, one for each 16-bit code: a longer key table repeats a
// key or falls back within its first kMostKeys + 1 records, so no more are read to find it.
constexpr std::int64_t kMostKeys = std::int64_t{1} << 16;

RuntimeError DamagedTable(const std::filesystem::path& table, TableDamage damage,
                          std::string detail, std::optional<RecordNumber> record = std::nullopt) {
    ErrorInfo facts(static_cast<int>(ErrorNumber::InvalidFileFormat), table);
    facts.damage = damage;
    facts.detail = std::move(detail);
    facts.record = record;
    return RuntimeError(std::move(facts));
}

std::string NameOf(const std::filesystem::path& table) {
    return PathText(table.filename());
}

std::string Records(std::int64_t count) {
    return std::to_string(count) + (count == 1 ? " record" : " records");
}

// The three tables describe the same characters record by record, so they hold as many records
// each. The one whose count differs from the other two is named; when all three differ, the
// key table, whose count the others must match.
void CheckRecordCountsAgree(const std::array<std::filesystem::path, 3>& tables,
                            const std::array<std::int64_t, 3>& records) {
    if (records[0] == records[1] && records[1] == records[2]) {
        return;
    }
    const std::size_t odd = records[0] == records[2] ? 1 : records[0] == records[1] ? 2 : 0;
    const std::size_t first = odd == 0 ? 1 : 0;
    const std::size_t second = odd == 2 ? 1 : 2;
    throw DamagedTable(tables[odd], TableDamage::LengthsDiffer,
                       "it holds " + Records(records[odd]) + ", where " + NameOf(tables[first]) +
                           " holds " + Records(records[first]) + " and " + NameOf(tables[second]) +
                           " " + Records(records[second]));
}

// The key search halves the key table by comparing codes, which finds every key only when each
// key lies above the one before it.
void CheckKeysRise(const TableFile& keys, std::int64_t records, const std::filesystem::path& path) {
    const std::int64_t checked = std::min(records, kMostKeys + 1);
    std::string bytes(static_cast<std::size_t>(checked) * kRecordBytes, '\0');
    if (keys.ReadBytes(0, bytes.data(), bytes.size()) != bytes.size()) {
        throw RuntimeError(ErrorNumber::InputPastEndOfFile, path); // it shrank since it was opened
    }
    const auto codeAt = [&bytes](std::int64_t record) {
        const auto at = static_cast<std::size_t>(record - 1) * kRecordBytes;
        return RecordCode(
            {static_cast<std::uint8_t>(bytes[at]), static_cast<std::uint8_t>(bytes[at + 1])});
    };
    CharCode before = codeAt(1);
    for (std::int64_t record = 2; record <= checked; ++record) {
        const CharCode code = codeAt(record);
        if (code <= before) {
            throw DamagedTable(path, TableDamage::KeysOutOfOrder,
                               code == before ? "its key repeats the key before it"
                                              : "its key is below the key before it",
                               static_cast<RecordNumber>(record));
        }
        before = code;
    }
}

std::unique_ptr<TableFile> LoadWhole(const ReadOnlyFile& file, std::int64_t length) {
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
    auto file = std::make_unique<ReadOnlyFile>(path);
    const std::int64_t length = file->RegularFileLength();
    if (reading == TableReading::InMemory && length <= kLargestTableReadWhole) {
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

void TableSet::CheckFormat() {
    const std::array<std::filesystem::path, 3> tables = {m_paths.pinfile, m_paths.pjfile,
                                                         m_paths.jjfile};
    std::array<std::int64_t, 3> records{};
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const std::int64_t length = FileUnder(static_cast<std::int32_t>(i + 1)).Length();
        if (length == 0) {
            throw DamagedTable(tables[i], TableDamage::Empty, "it is empty");
        }
        if (length % kRecordSize != 0) {
            throw DamagedTable(tables[i], TableDamage::PartRecord,
                               "its " + std::to_string(length) +
                                   " bytes are no whole number of 2-byte records");
        }
        records[i] = length / kRecordSize;
    }
    CheckRecordCountsAgree(tables, records);
    CheckKeysRise(FileUnder(kKeyTableFile), records[0], m_paths.pinfile);
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
}

RecordNumber KeyRecordCount(std::int64_t lengthInBytes) {
    const std::int64_t count = lengthInBytes / kRecordSize;
    if (count > std::numeric_limits<RecordNumber>::max()) {
        throw RuntimeError(ErrorNumber::Overflow);
    }
    return static_cast<RecordNumber>(count);
}

} // namespace pelmora
