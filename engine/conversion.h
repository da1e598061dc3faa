#pragma once

#include "char_tables.h"
#include "error_report.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

/// Where a conversion reads the input text from (the window's input box, a file, a string).
class TextSource {
public:
    virtual ~TextSource() = default;
    /// The whole text as UTF-8, read once per conversion; the view stays valid as long as the
    /// source. Bytes that are not UTF-8 are walked as one unrepresentable character each.
    virtual std::string_view Text() = 0;
};

/// Where a conversion writes one of its two output texts. A conversion empties it once and then
/// only appends, one character per input character.
class TextSink {
public:
    virtual ~TextSink() = default;
    virtual void Clear() = 0;
    virtual void Append(char32_t character) = 0;
};

/// A source over UTF-8 text it owns.
class StringSource final : public TextSource {
public:
    explicit StringSource(std::string utf8) : m_text(std::move(utf8)) {}
    std::string_view Text() override { return m_text; }

private:
    std::string m_text;
};

/// A sink that keeps its text as code points.
class StringSink final : public TextSink {
public:
    void Clear() override { m_text.clear(); }
    void Append(char32_t character) override { m_text.push_back(character); }
    const std::u32string& Text() const { return m_text; }

private:
    std::u32string m_text;
};

/// A sink that keeps its text as UTF-8.
class Utf8Sink final : public TextSink {
public:
    void Clear() override { m_text.clear(); }
    void Append(char32_t character) override;
    std::string& Text() { return m_text; }

private:
    std::string m_text;
};

/// What the Japanese code text shows where the preview shows the placeholder "□": the code page
/// 936 character whose bytes, 81 A0, are the Shift-JIS code of "□". Pasted into a Japanese
/// program it reads as "□", exactly where the preview shows one; the code page 936 bytes of "□"
/// itself (A1 F5) would read as a half-width katakana and a lead byte that swallows the next
/// character.
inline constexpr char32_t kJapaneseCodePlaceholder = U'\u4EE9'; // 仩, code page 936 81 A0

/// The Japanese code text character of a Japanese code record: the record's character, or the
/// code text's placeholder for a record that holds no character of the code page (whose "□"
/// a Japanese program would misread).
char32_t JapaneseCodeCharacter(Record record);

/// Where the tables of a conversion are and how to read them.
struct TableLocation {
    std::filesystem::path directory;
    TableReading reading = TableReading::PerRecord;
};

/// The character both outputs get for a line break or a punctuation mark that the conversion
/// passes through as ASCII without asking the tables; nothing for any other code.
std::optional<char32_t> FixedPiece(CharCode code);

/// One conversion run: forms the table paths into `tablePaths`, opens the three tables, empties
/// both outputs, then for every input character appends one character to the Japanese code
/// text and one to the preview text, and closes the tables. A character the tables cannot give
/// shows "□" in the preview and kJapaneseCodePlaceholder in the Japanese code text. A failure shows
/// "Error in Command1Click" through `report` and ends the run with the tables closed; what was
/// appended stays, and a failure before the outputs were emptied leaves them untouched.
void ConvertText(TextSource& input, TextSink& japaneseCode, TextSink& preview,
                 TablePaths& tablePaths, const TableLocation& location, ErrorReport& report);

/// The word-aware run: the same walk, pieces, misses, reads and failure handling as ConvertText,
/// except that a Chinese character inside a word of words.dat (found beside the tables; the
/// longest word first, left to right) takes the kanji it has in that word. Without words.dat
/// it gives what ConvertText gives; a words.dat that cannot be read or is malformed is reported
/// like a table that cannot be read.
void ConvertTextByWords(TextSource& input, TextSink& japaneseCode, TextSink& preview,
                        TablePaths& tablePaths, const TableLocation& location, ErrorReport& report);

} // namespace pelmora
