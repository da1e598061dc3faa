#include "conversion.h"

#include "key_search.h"
#include "utf8.h"
#include "word_tables.h"

#include <algorithm>
#include <array>

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

// Looks a character up and reads its two records; a space or a miss needs no record.
Pieces LookedUpPieces(char32_t character, RecordNumber keyCount, TableSet& tables,
                      ErrorReport& report) {
    const RecordNumber found = Obtain(character, kKeyTableFile, tables, report);
    if (static_cast<std::int64_t>(found) == static_cast<std::int64_t>(keyCount) + 1) {
        return Same(U' ');
    }
    if (found == 0) {
        return Miss();
    }
    return {JapaneseCodeCharacter(tables.ReadRecord(kJapaneseCodeTableFile, found)),
            RecordCharacter(tables.ReadRecord(kPreviewTableFile, found))};
}

// `code` is the character's CharCode, nothing when the code page cannot represent it.
Pieces PiecesFor(char32_t character, std::optional<CharCode> code, RecordNumber keyCount,
                 TableSet& tables, ErrorReport& report) {
    if (!code) {
        return Miss();
    }
    if (const std::optional<char32_t> fixed = FixedPiece(*code)) {
        return Same(*fixed);
    }
    if (*code == 0) {
        return Same(U' ');
    }
    return LookedUpPieces(character, keyCount, tables, report);
}

// The input walked character by character with the next few characters' codes in view, so the
// word-aware run can match words without decoding the whole input at once.
class Lookahead {
public:
    explicit Lookahead(std::string_view text) : m_text(text) { Fill(); }

    bool Done() const { return m_start == m_end; }
    char32_t Current() const { return m_characters[m_start]; }
    /// The codes of the current character and up to kLongestWord - 1 after it.
    std::span<const std::optional<CharCode>> Codes() const {
        return std::span(m_codes).subspan(m_start, m_end - m_start);
    }
    void Advance() {
        ++m_start;
        Fill();
    }

private:
    // Fixed buffers of twice the window, moved down once per kLongestWord characters, because
    // this runs for every input character.
    void Fill() {
        if (m_start >= kLongestWord) {
            std::copy(m_characters.begin() + m_start, m_characters.begin() + m_end,
                      m_characters.begin());
            std::copy(m_codes.begin() + m_start, m_codes.begin() + m_end, m_codes.begin());
            m_end -= m_start;
            m_start = 0;
        }
        while (m_end - m_start < kLongestWord && m_at < m_text.size()) {
            const char32_t character = NextCodePoint(m_text, m_at);
            m_characters[m_end] = character;
            m_codes[m_end] = CharCodeOf(character);
            ++m_end;
        }
    }

    std::string_view m_text;
    std::size_t m_at = 0;
    std::array<char32_t, 2 * kLongestWord> m_characters{};
    std::array<std::optional<CharCode>, 2 * kLongestWord> m_codes{};
    std::size_t m_start = 0;
    std::size_t m_end = 0;
};

} // namespace

char32_t JapaneseCodeCharacter(Record record) {
    const char32_t character = RecordCharacter(record);
    return character == kPlaceholder ? kJapaneseCodePlaceholder : character;
}

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

void ConvertText(TextSource& input, TextSink& japaneseCode, TextSink& preview,
                 TablePaths& tablePaths, const TableLocation& location, ErrorReport& report) {
    try {
        tablePaths = FormTablePaths(location.directory);
        TableSet tables(tablePaths, location.reading);
        japaneseCode.Clear();
        preview.Clear();
        const RecordNumber keyCount = KeyRecordCount(tables.KeyFileLength());
        const std::string_view text = input.Text();
        for (std::size_t at = 0; at < text.size();) {
            const char32_t character = NextCodePoint(text, at);
            const Pieces pieces =
                PiecesFor(character, CharCodeOf(character), keyCount, tables, report);
            japaneseCode.Append(pieces.japaneseCode);
            preview.Append(pieces.preview);
        }
        tables.CloseAll();
    } catch (...) {
        // The table set was destroyed on the way here, so every table is closed already.
        ReportCurrentException(report, kConversionErrorTitle);
    }
}

void ConvertTextByWords(TextSource& input, TextSink& japaneseCode, TextSink& preview,
                        TablePaths& tablePaths, const TableLocation& location,
                        ErrorReport& report) {
    try {
        tablePaths = FormTablePaths(location.directory);
        TableSet tables(tablePaths, location.reading);
        const WordTable words = WordTable::Load(location.directory / kWordTableName);
        japaneseCode.Clear();
        preview.Clear();
        const RecordNumber keyCount = KeyRecordCount(tables.KeyFileLength());
        const Word* word = nullptr;
        std::size_t inWord = 0;
        for (Lookahead ahead(input.Text()); !ahead.Done(); ahead.Advance()) {
            if (word == nullptr || inWord == word->keys.size()) {
                word = words.LongestWordAt(ahead.Codes());
                inWord = 0;
            }
            // Looked up as in the per-character run, so reads and failures are the same; a
            // character inside a word then takes the word's kanji.
            Pieces pieces =
                PiecesFor(ahead.Current(), ahead.Codes().front(), keyCount, tables, report);
            if (word != nullptr) {
                pieces = {word->kanji[inWord].japaneseCode, word->kanji[inWord].preview};
                ++inWord;
            }
            japaneseCode.Append(pieces.japaneseCode);
            preview.Append(pieces.preview);
        }
        tables.CloseAll();
    } catch (...) {
        ReportCurrentException(report, kConversionErrorTitle);
    }
}

} // namespace pelmora
