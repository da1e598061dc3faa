#pragma once

#include "char_tables.h"
#include "error_report.h"
#include "kanji_choice.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

/// Where a conversion reads its input text from (the window's input box, a file, a stream).
class TextSource {
public:
    virtual ~TextSource() = default;
    /// The next piece of the text as UTF-8; an empty view once the text has ended. A piece
    /// ends between two characters (a source never splits a UTF-8 sequence); the view stays
    /// valid until the next call. Bytes that are not UTF-8 are walked as one unrepresentable
    /// character each.
    virtual std::string_view NextPiece() = 0;
};

/// Where a conversion writes one of its two output texts. A conversion empties it once and then
/// only appends, one character per input character.
class TextSink {
public:
    virtual ~TextSink() = default;
    virtual void Clear() = 0;
    virtual void Append(char32_t character) = 0;
};

/// A source over UTF-8 text it owns, given as one piece.
class StringSource final : public TextSource {
public:
    explicit StringSource(std::string utf8) : m_text(std::move(utf8)) {}
    std::string_view NextPiece() override {
        if (m_given) {
            return {};
        }
        m_given = true;
        return m_text;
    }

private:
    std::string m_text;
    bool m_given = false;
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

/// Where the tables of a conversion are and how to read them.
struct TableLocation {
    std::filesystem::path directory;
    TableReading reading = TableReading::PerRecord;
};

/// The character both outputs get for a line break or a punctuation mark that the conversion
/// passes through as ASCII without asking the tables; nothing for any other code.
std::optional<char32_t> FixedPiece(CharCode code);

/// How a run picks the kanji of a Chinese character.
enum class RunKind {
    /// Each character alone, from the three tables (the Convert command).
    PerCharacter,
    /// A character inside a word of words.dat takes the kanji it has in that word.
    ByWords,
    /// The text is Chinese personal names, one per line: surnames and given names take the
    /// forms of names.dat, everything else is as in the word-aware run.
    ByNames,
};

/// One conversion run: forms the table paths into `tablePaths`, opens the three tables (and the
/// optional files the run kind reads), empties both outputs, then walks the input as `input`
/// gives it, appending for every input character one character to the Japanese code text and one
/// to the preview text as soon as it is decided, and closes the tables. A character the tables
/// cannot give shows "□" in the preview and kJapaneseCodePlaceholder in the Japanese code text.
/// A failure shows "Error in Command1Click" through `report` and ends the run with the tables
/// closed; what was appended stays, and a failure before the outputs were emptied leaves them
/// untouched. Failures include a record pair that breaks the tables' promise (RecordsAgree),
/// reported as an invalid file format naming pj.dat and the record number.
///
/// Every kind is the same walk: the word and name kinds only choose another kanji for a
/// character inside a word or a name, after reading its records as the per-character run does,
/// so outside words and names every kind gives the same pieces and the same failures. Across
/// pieces of the input the walk keeps at most kLongestWord - 1 characters, and only while they
/// could still begin a word or a name.
void ConvertTextAs(RunKind kind, TextSource& input, TextSink& japaneseCode, TextSink& preview,
                   TablePaths& tablePaths, const TableLocation& location, ErrorReport& report);

/// The per-character run (the Convert command): ConvertTextAs(RunKind::PerCharacter, ...).
void ConvertText(TextSource& input, TextSink& japaneseCode, TextSink& preview,
                 TablePaths& tablePaths, const TableLocation& location, ErrorReport& report);

/// The word-aware run: a Chinese character inside a word of words.dat (found beside the tables;
/// the longest word first, left to right) takes the kanji it has in that word. Without words.dat
/// it gives what ConvertText gives; a words.dat that cannot be read or is malformed is reported
/// like a table that cannot be read.
void ConvertTextByWords(TextSource& input, TextSink& japaneseCode, TextSink& preview,
                        TablePaths& tablePaths, const TableLocation& location, ErrorReport& report);

/// The names run: reads the text as Chinese personal names. A name begins at the start of a line
/// and after any character that is no Chinese character (so names listed with spaces or "、"
/// are names too) and runs to the next such character. Its surname, the longest surname of
/// names.dat at its start, takes the surname's form; the rest, the given name, takes the
/// given-name forms of names.dat and otherwise the word-aware run's kanji. Without names.dat it
/// gives what ConvertTextByWords gives; names.dat is read and reported like words.dat.
void ConvertTextByNames(TextSource& input, TextSink& japaneseCode, TextSink& preview,
                        TablePaths& tablePaths, const TableLocation& location, ErrorReport& report);

} // namespace pelmora
