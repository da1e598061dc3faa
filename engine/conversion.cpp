#include "conversion.h"

#include "key_search.h"
#include "utf8.h"
#include "word_tables.h"

#include <algorithm>
#include <array>
#include <vector>

namespace pelmora {

namespace {

struct Pieces {
    char32_t japaneseCode = U' ';
    char32_t preview = U' ';
};

Pieces Same(char32_t character) {
    return {character, character};
}

// A character the tables cannot give: "□" in the preview, and in the code text the character
// that a Japanese program reads as "□".
Pieces Miss() {
    return {kJapaneseCodePlaceholder, kPlaceholder};
}

Pieces PiecesOf(const KanjiChoice& choice) {
    return {choice.japaneseCode, choice.preview};
}

// Passes reports on and counts them, so a lookup knows whether it reported anything.
class CountingReport final : public ErrorReport {
public:
    explicit CountingReport(ErrorReport& report) : m_report(report) {}
    void Show(std::string_view title, std::string_view text) override {
        ++m_shown;
        m_report.Show(title, text);
    }
    std::string Describe(const ErrorInfo& error) const override { return m_report.Describe(error); }
    int Shown() const { return m_shown; }

private:
    ErrorReport& m_report;
    int m_shown = 0;
};

// The three open tables of a run and what it looks characters up with. Tables read into memory
// cannot change during the run, so there each character's pieces are looked up once and then
// remembered (characters of the Basic Multilingual Plane, whose pieces are in it too); a lookup
// that reported a failure is not remembered, so the report shows each time as before.
class Lookup {
public:
    Lookup(TableSet& tables, const TablePaths& paths, ErrorReport& report, TableReading reading)
        : m_tables(tables), m_paths(paths), m_report(report),
          m_keyCount(KeyRecordCount(tables.KeyFileLength())) {
        if (reading == TableReading::InMemory) {
            m_known.resize(kRemembered);
        }
    }

    // `code` is the character's CharCode, nothing when the code page cannot represent it.
    Pieces PiecesFor(char32_t character, std::optional<CharCode> code) {
        const bool remember = character < m_known.size();
        if (remember && m_known[character] != 0) {
            const std::uint32_t known = m_known[character];
            return {known >> 16, known & 0xFFFF};
        }
        const int shownBefore = m_report.Shown();
        const Pieces pieces = FreshPiecesFor(character, code);
        if (remember && m_report.Shown() == shownBefore && pieces.japaneseCode < kRemembered &&
            pieces.preview < kRemembered) {
            m_known[character] = pieces.japaneseCode << 16 | pieces.preview;
        }
        return pieces;
    }

private:
    static constexpr std::size_t kRemembered = 0x10000;

    Pieces FreshPiecesFor(char32_t character, std::optional<CharCode> code) {
        if (!code) {
            return Miss();
        }
        if (const std::optional<char32_t> fixed = FixedPiece(*code)) {
            return Same(*fixed);
        }
        if (*code == 0) {
            return Same(U' ');
        }
        return LookedUpPieces(character);
    }

    // Looks a character up and reads its two records; a space or a miss needs no record.
    Pieces LookedUpPieces(char32_t character) {
        const RecordNumber found = Obtain(character, kKeyTableFile, m_tables, m_report);
        if (static_cast<std::int64_t>(found) == static_cast<std::int64_t>(m_keyCount) + 1) {
            return Same(U' ');
        }
        if (found == 0) {
            return Miss();
        }
        const Record code = m_tables.ReadRecord(kJapaneseCodeTableFile, found);
        const Record preview = m_tables.ReadRecord(kPreviewTableFile, found);
        CheckAgreement(found, code, preview);
        return {JapaneseCodeCharacter(code), RecordCharacter(preview)};
    }

    // A damaged pair ends the run. With the tables in memory a character's pieces are
    // remembered once read, so each pair is checked once; open files are checked at every read.
    void CheckAgreement(RecordNumber found, Record code, Record preview) {
        if (!RecordsAgree(code, preview)) {
            throw DamagedRecord(m_paths.pjfile, found);
        }
    }

    TableSet& m_tables;
    const TablePaths& m_paths;
    CountingReport m_report;
    RecordNumber m_keyCount;
    // Pieces of each character looked up so far, code text << 16 | preview; 0 for not yet.
    std::vector<std::uint32_t> m_known;
};

void AppendPieces(const Pieces& pieces, TextSink& japaneseCode, TextSink& preview) {
    japaneseCode.Append(pieces.japaneseCode);
    preview.Append(pieces.preview);
}

// The per-character walk: every character is decided alone, so nothing is kept across pieces.
void WalkCharacters(TextSource& input, Lookup& lookup, TextSink& japaneseCode, TextSink& preview) {
    for (std::string_view piece = input.NextPiece(); !piece.empty(); piece = input.NextPiece()) {
        for (std::size_t at = 0; at < piece.size();) {
            const char32_t character = NextCodePoint(piece, at);
            AppendPieces(lookup.PiecesFor(character, CharCodeOf(character)), japaneseCode, preview);
        }
    }
}

// What the word and name walks choose from; a table that was not found is empty.
struct Choosers {
    RunKind kind;
    const WordTable& words;
    const NameTable& names;

    // True when some word or surname holds `code`, so characters after it may still matter.
    bool Holds(const std::optional<CharCode>& code) const {
        return code &&
               (words.Holds(*code) || (kind == RunKind::ByNames && names.Surnames().Holds(*code)));
    }
};

// The input as characters with the next few in view. It pulls pieces from the source only while
// the characters in view could still begin a longer word: up to kLongestWord characters, or
// fewer when one that no word holds (a line break, a character no word has) closes the view.
class Lookahead {
public:
    Lookahead(TextSource& input, const Choosers& choosers) : m_input(input), m_choosers(choosers) {
        Fill();
    }

    bool Done() const { return m_start == m_end; }
    char32_t Current() const { return m_characters[m_start]; }
    /// The codes of the current character and those after it in view.
    std::span<const std::optional<CharCode>> Codes() const {
        return std::span(m_codes).subspan(m_start, m_end - m_start);
    }
    void Advance() {
        m_unheld -= m_held[m_start] ? 0 : 1;
        ++m_start;
        Fill();
    }

private:
    bool Closed() const { return m_unheld > 0; }

    bool NextCharacter(char32_t& character) {
        while (m_at == m_piece.size()) {
            if (m_ended) {
                return false;
            }
            m_piece = m_input.NextPiece();
            m_at = 0;
            m_ended = m_piece.empty();
        }
        character = NextCodePoint(m_piece, m_at);
        return true;
    }

    // Fixed buffers of twice the window, moved down once per kLongestWord characters, because
    // this runs for every input character.
    void Fill() {
        if (m_start >= kLongestWord) {
            const auto move = [this](auto& buffer) {
                std::copy(buffer.begin() + m_start, buffer.begin() + m_end, buffer.begin());
            };
            move(m_characters);
            move(m_codes);
            move(m_held);
            m_end -= m_start;
            m_start = 0;
        }
        char32_t character = 0;
        while (m_end - m_start < kLongestWord && !Closed() && NextCharacter(character)) {
            m_characters[m_end] = character;
            m_codes[m_end] = CharCodeOf(character);
            m_held[m_end] = m_choosers.Holds(m_codes[m_end]);
            m_unheld += m_held[m_end] ? 0 : 1;
            ++m_end;
        }
    }

    TextSource& m_input;
    const Choosers& m_choosers;
    std::string_view m_piece;
    std::size_t m_at = 0;
    bool m_ended = false;
    std::array<char32_t, 2 * kLongestWord> m_characters{};
    std::array<std::optional<CharCode>, 2 * kLongestWord> m_codes{};
    std::array<bool, 2 * kLongestWord> m_held{};
    std::size_t m_start = 0;
    std::size_t m_end = 0;
    std::size_t m_unheld = 0; // characters in view that no word holds; one closes the view
};

// Chinese characters make up names; anything else (a line break, a space, "、") ends one.
bool IsChineseCharacter(char32_t character) {
    return (character >= 0x3400 && character <= 0x4DBF) ||
           (character >= 0x4E00 && character <= 0x9FFF) ||
           (character >= 0xF900 && character <= 0xFAFF) ||
           (character >= 0x20000 && character <= 0x3FFFF);
}

// Whether a word could begin with `codes`: every word has at least two characters, all held by
// the table. Checked first because most characters begin no word and the search is slower.
bool CouldBeginWord(const WordTable& words, std::span<const std::optional<CharCode>> codes) {
    return codes.size() >= kShortestWord && codes[0] && codes[1] &&
           words.Holds(*codes[0]) && words.Holds(*codes[1]);
}

// Where the names walk stands: before a name, in its surname, or in its given name.
enum class NamePart { Before, Surname, GivenName };

// The word-aware and names walk: the per-character pieces of every character, replaced by a
// word's or a name's kanji where one covers it.
void WalkWords(TextSource& input, Lookup& lookup, const Choosers& choosers, TextSink& japaneseCode,
               TextSink& preview) {
    const bool byNames = choosers.kind == RunKind::ByNames;
    const Word* word = nullptr;
    std::size_t inWord = 0;
    NamePart part = NamePart::Before;
    for (Lookahead ahead(input, choosers); !ahead.Done(); ahead.Advance()) {
        const char32_t character = ahead.Current();
        if (byNames) {
            const bool chinese = IsChineseCharacter(character);
            if (!chinese) {
                part = NamePart::Before;
            } else if (part == NamePart::Before) {
                word = choosers.names.Surnames().LongestWordAt(ahead.Codes());
                inWord = 0;
                part = word != nullptr ? NamePart::Surname : NamePart::GivenName;
            } else if (part == NamePart::Surname && inWord == word->keys.size()) {
                part = NamePart::GivenName;
                word = nullptr;
            }
        }
        if (word == nullptr || inWord == word->keys.size()) {
            word = CouldBeginWord(choosers.words, ahead.Codes())
                       ? choosers.words.LongestWordAt(ahead.Codes())
                       : nullptr;
            inWord = 0;
        }
        // Looked up as in the per-character run, so reads and failures are the same; a
        // character inside a word or a name then takes its kanji there.
        Pieces pieces = lookup.PiecesFor(character, ahead.Codes().front());
        if (word != nullptr) {
            pieces = PiecesOf(word->kanji[inWord]);
            ++inWord;
        }
        const std::optional<CharCode> code = ahead.Codes().front();
        if (part == NamePart::GivenName && code) {
            if (const KanjiChoice* form = choosers.names.GivenNameForm(*code)) {
                pieces = PiecesOf(*form);
            }
        }
        AppendPieces(pieces, japaneseCode, preview);
    }
}

} // namespace

void Utf8Sink::Append(char32_t character) {
    AppendUtf8(character, m_text);
}

std::optional<char32_t> FixedPiece(CharCode code) {
    switch (code) {
    case 10:
        return U'\n';
    case 13:
        return U'\r';
    case 33:
    case -23647: // ！
        return U'!';
    case 34:
    case -24144: // “
    case -24143: // ”
        return U'"';
    case 44:
    case -23636: // ，
        return U',';
    case 46:
    case -24157: // 。
        return U'.';
    case 58:
    case -23622: // ：
        return U':';
    case 59:
    case -23621: // ；
        return U';';
    default:
        return std::nullopt;
    }
}

void ConvertTextAs(RunKind kind, TextSource& input, TextSink& japaneseCode, TextSink& preview,
                   TablePaths& tablePaths, const TableLocation& location, ErrorReport& report) {
    try {
        tablePaths = FormTablePaths(location.directory);
        TableSet tables(tablePaths, location.reading);
        const WordTable words = kind == RunKind::PerCharacter
                                    ? WordTable()
                                    : WordTable::Load(location.directory / kWordTableName);
        const NameTable names = kind == RunKind::ByNames
                                    ? NameTable::Load(location.directory / kNameTableName)
                                    : NameTable();
        japaneseCode.Clear();
        preview.Clear();
        Lookup lookup(tables, tablePaths, report, location.reading);
        if (kind == RunKind::PerCharacter) {
            WalkCharacters(input, lookup, japaneseCode, preview);
        } else {
            WalkWords(input, lookup, {kind, words, names}, japaneseCode, preview);
        }
        tables.CloseAll();
    } catch (...) {
        // The table set was destroyed on the way here, so every table is closed already.
        ReportCurrentException(report, kConversionErrorTitle);
    }
}

void ConvertText(TextSource& input, TextSink& japaneseCode, TextSink& preview,
                 TablePaths& tablePaths, const TableLocation& location, ErrorReport& report) {
    ConvertTextAs(RunKind::PerCharacter, input, japaneseCode, preview, tablePaths, location,
                  report);
}

void ConvertTextByWords(TextSource& input, TextSink& japaneseCode, TextSink& preview,
                        TablePaths& tablePaths, const TableLocation& location,
                        ErrorReport& report) {
    ConvertTextAs(RunKind::ByWords, input, japaneseCode, preview, tablePaths, location, report);
}

void ConvertTextByNames(TextSource& input, TextSink& japaneseCode, TextSink& preview,
                        TablePaths& tablePaths, const TableLocation& location,
                        ErrorReport& report) {
    ConvertTextAs(RunKind::ByNames, input, japaneseCode, preview, tablePaths, location, report);
}

} // namespace pelmora
