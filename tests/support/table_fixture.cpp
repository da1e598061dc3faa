#include "table_fixture.h"

#include "code_page.h"
#include "string_text.h"
#include "utf8.h"

#include <atomic>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace pelmora::testing {

TempDirectory::TempDirectory() {
    static std::atomic<int> counter{0};
    m_path = std::filesystem::temp_directory_path() /
             ("pelmora-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

TempDirectory::~TempDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::vector<TableRow> SampleRows() {
    return {
        {Gbk("　"), "\x81\x40", Gbk("　")},
        {Gbk("东"), "\x93\x8C", Gbk("東")},
        {Gbk("发"), "\x94\xAD", Gbk("発")},
        {"A", "A", "A"},
    };
}

std::string RecordBytes(const std::string& bytes) {
    if (bytes.size() == 1) {
        return bytes + '\0';
    }
    if (bytes.size() != 2) {
        throw std::invalid_argument("a record holds one or two bytes");
    }
    return bytes;
}

void WriteFile(const std::filesystem::path& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

void WriteTables(const std::filesystem::path& directory, const std::vector<TableRow>& rows) {
    std::string pin, pj, jj;
    for (const TableRow& row : rows) {
        pin += RecordBytes(row.key);
        pj += RecordBytes(row.japaneseCode);
        jj += RecordBytes(row.preview);
    }
    WriteFile(directory / kKeyTableName, pin);
    WriteFile(directory / kJapaneseCodeTableName, pj);
    WriteFile(directory / kPreviewTableName, jj);
}

std::string NameEntryBytes(const std::vector<std::string>& keys,
                           const std::vector<std::string>& japaneseCodes,
                           const std::vector<std::string>& previews, std::uint8_t tag) {
    std::string entry = {static_cast<char>(tag), static_cast<char>(keys.size())};
    for (const auto* part : {&keys, &japaneseCodes, &previews}) {
        for (const std::string& record : *part) {
            entry += RecordBytes(record);
        }
    }
    return entry;
}

std::string WordModelEntryBytes(const std::vector<std::string>& keys, std::uint16_t cost,
                                const std::vector<ModelSpelling>& spellings) {
    std::string entry = {static_cast<char>(keys.size()), static_cast<char>(spellings.size()),
                         static_cast<char>(cost >> 8), static_cast<char>(cost & 0xFF)};
    for (const std::string& key : keys) {
        entry += RecordBytes(key);
    }
    for (const ModelSpelling& spelling : spellings) {
        entry += {'\0', static_cast<char>(spelling.position)};
        entry += RecordBytes(spelling.japaneseCode) + RecordBytes(spelling.preview);
    }
    return entry;
}

std::string CandidateEntryBytes(const std::string& key,
                                const std::vector<std::string>& japaneseCodes,
                                const std::vector<std::string>& previews) {
    std::string entry = {static_cast<char>(kCandidateHeaderTag),
                         static_cast<char>(japaneseCodes.size())};
    entry += RecordBytes(key);
    for (const auto* part : {&japaneseCodes, &previews}) {
        for (const std::string& record : *part) {
            entry += RecordBytes(record);
        }
    }
    return entry;
}

std::string Gbk(const std::string& utf8) {
    const std::optional<std::string> bytes = EncodeCodePage936(DecodeUtf8(utf8));
    if (!bytes) {
        throw std::invalid_argument("not in code page 936: " + utf8);
    }
    return *bytes;
}

} // namespace pelmora::testing
