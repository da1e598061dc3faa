#include "char_tables.h"

#include "runtime_error.h"
#include "table_file_access.h"

#include <limits>
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

    std::optional<std::int64_t> LoadedLength() const override {
        return static_cast<std::int64_t>(m_bytes.size());
    }

private:
    std::vector<char> m_bytes;
    std::filesystem::path m_path;
};

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
