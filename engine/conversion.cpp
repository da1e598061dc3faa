#include "conversion.h"

#include "key_search.h"
#include "utf8.h"

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

// A Japanese code record that holds no character of the code page would put "□" (A1 F5) into
// the code text, which a Japanese program misreads; it gets the code text's placeholder instead.
char32_t JapaneseCodeCharacter(Record record) {
    const char32_t character = RecordCharacter(record);
    return character == kPlaceholder ? kJapaneseCodePlaceholder : character;
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

Pieces PiecesFor(char32_t character, RecordNumber keyCount, TableSet& tables, ErrorReport& report) {
    const std::optional<CharCode> code = CharCodeOf(character);
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
            const Pieces pieces = PiecesFor(NextCodePoint(text, at), keyCount, tables, report);
            japaneseCode.Append(pieces.japaneseCode);
            preview.Append(pieces.preview);
        }
        tables.CloseAll();
    } catch (...) {
        // The table set was destroyed on the way here, so every table is closed already.
        ReportCurrentException(report, kConversionErrorTitle);
    }
}

} // namespace pelmora
