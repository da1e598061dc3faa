#pragma once

#include "char_tables.h"
#include "conversion.h"
#include "error_report.h"
#include "table_files.h"
#include "utf8.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace pelmora {

/// Names the reading mode in test output.
inline void PrintTo(TableReading reading, std::ostream* out) {
    *out << (reading == TableReading::PerRecord ? "PerRecord" : "InMemory");
}

} // namespace pelmora

namespace pelmora::testing {

/// A temporary directory, removed with everything in it when the object goes.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

/// One row of a small test table: the key, the Japanese code and the preview, each given as
/// the character's code page 936 bytes ("\xB7\xA2" for 发, "A" for an ASCII letter).
struct TableRow {
    std::string key;
    std::string japaneseCode;
    std::string preview;
};

/// Four rows in key order: the full-width space to Shift-JIS 81 40 (shown through code page 936
/// as 丂) with the preview "　", ASCII "A" to itself, 发 to
/// Shift-JIS 発 (0x94AD, shown through code page 936 as 敪) with the preview 発, and 东 to 東
/// (0x938C, shown as 搶).
std::vector<TableRow> SampleRows();

/// The bytes of one 2-byte record for `bytes` (a single byte is padded with 0x00).
std::string RecordBytes(const std::string& bytes);

/// Writes `contents` to `path`, replacing what was there.
void WriteFile(const std::filesystem::path& path, const std::string& contents);

/// Writes pin.dat, pj.dat and jj.dat for `rows` into `directory`.
void WriteTables(const std::filesystem::path& directory, const std::vector<TableRow>& rows);

/// The bytes of one names.dat entry of kind `tag`: the header, then the name's key, Japanese
/// code and preview records, each given by its bytes as in TableRow.
std::string NameEntryBytes(const std::vector<std::string>& keys,
                           const std::vector<std::string>& japaneseCodes,
                           const std::vector<std::string>& previews, std::uint8_t tag);

/// One spelled character of a word model entry: its position in the word, its Shift-JIS code
/// and its preview, each code given by its bytes as in TableRow.
struct ModelSpelling {
    std::size_t position = 0;
    std::string japaneseCode;
    std::string preview;
};

/// The bytes of one entry of the word model (words.dat): the record `n s`, the cost, the keys
/// (given by their bytes as in TableRow), then the spellings.
std::string WordModelEntryBytes(const std::vector<std::string>& keys, std::uint16_t cost,
                                const std::vector<ModelSpelling>& spellings = {});

/// The bytes of one candidates.dat entry for `key`, its candidates given as in TableRow.
std::string CandidateEntryBytes(const std::string& key,
                                const std::vector<std::string>& japaneseCodes,
                                const std::vector<std::string>& previews);

/// Code page 936 bytes of UTF-8 `text`, for building rows from readable characters.
std::string Gbk(const std::string& utf8);

/// A sink that keeps its text as code points and counts how often it was emptied, so a test can
/// tell "left untouched" from "emptied and refilled".
class KeepingSink final : public TextSink {
public:
    explicit KeepingSink(std::u32string initial = U"") : m_text(std::move(initial)) {}
    void Clear() override {
        m_text.clear();
        ++m_clears;
    }
    void Append(char32_t character) override { m_text.push_back(character); }
    std::string Utf8() const { return EncodeUtf8(m_text); }
    int Clears() const { return m_clears; }
    std::size_t Length() const { return m_text.size(); }

private:
    std::u32string m_text;
    int m_clears = 0;
};

/// Records every report instead of showing it.
class RecordingReport final : public ErrorReport {
public:
    struct Entry {
        std::string title;
        std::string text;
    };
    void Show(std::string_view title, std::string_view text) override {
        m_entries.push_back({std::string(title), std::string(text)});
    }
    const std::vector<Entry>& Entries() const { return m_entries; }
    void Clear() { m_entries.clear(); }

private:
    std::vector<Entry> m_entries;
};

/// The number of files this process has open: its file descriptors, or on Windows its kernel
/// handles (open_files_posix.cpp, open_files_win32.cpp). Compared before and after a run.
int OpenFileCount();

} // namespace pelmora::testing
