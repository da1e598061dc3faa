#pragma once

#include <unicode/ucnv.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace pelmora::table_tests {

// The three shipped tables as raw bytes.
struct Tables {
    std::string pin;
    std::string pj;
    std::string jj;

    std::size_t RecordCount() const { return pin.size() / 2; }
    // Record r (from 0) of one table: its two bytes.
    static std::string Record(const std::string& table, std::size_t r) {
        return table.substr(2 * r, 2);
    }
};

std::string ReadFile(const std::string& path);
Tables ReadTables(const std::string& directory);

// The meaningful bytes of a record: both for a double-byte character (first byte 0x81..0xFE),
// else the first byte alone.
std::string MeaningfulBytes(const std::string& record);

// An ICU converter that neither substitutes nor uses fallbacks in either direction.
class StrictConverter {
public:
    explicit StrictConverter(const char* name);
    ~StrictConverter();
    StrictConverter(const StrictConverter&) = delete;
    StrictConverter& operator=(const StrictConverter&) = delete;

    std::optional<std::u16string> Decode(const std::string& bytes) const;
    std::optional<std::string> Encode(const std::u16string& text) const;

private:
    UConverter* m_converter;
};

std::u16string FromUtf8(const std::string& text);
std::string ToUtf8(const std::u16string& text);

// True for the Shift-JIS code of a kanji of JIS X 0208's kanji rows.
bool IsJisX0208Kanji(const std::string& sjis);

// Checks that a Japanese-code record's bytes (the code text) survive the clipboard and read in
// Shift-JIS as the preview record's character, an ideograph.
void ExpectPairReadsAsPreview(const std::string& sjis, const std::string& preview);

// Japanese preview (jj.dat, as UTF-8) for each key (pin.dat bytes).
std::map<std::string, std::string> PreviewsByKey(const Tables& tables);

} // namespace pelmora::table_tests
