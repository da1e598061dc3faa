#include "character_lookup.h"

#include "kanji_choice.h"
#include "key_search.h"

namespace pelmora {

namespace {

Pieces Same(char32_t character) {
    return {character, character};
}

// A character the tables cannot give: "□" in the preview, and in the code text the character
// that a Japanese program reads as "□".
Pieces Miss() {
    return {kJapaneseCodePlaceholder, kPlaceholder};
}

} // namespace

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

CharacterLookup::CharacterLookup(TableSet& tables, const TablePaths& paths, ErrorReport& report,
                                 TableReading reading)
    : m_tables(tables), m_paths(paths), m_report(report),
      m_keyCount(KeyRecordCount(tables.KeyFileLength())) {
    if (reading == TableReading::InMemory) {
        m_known.resize(kRemembered);
    }
}

Pieces CharacterLookup::FreshPiecesFor(char32_t character, std::optional<CharCode> code) {
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

// Looks a character up and reads its two records; a space or a miss needs no record. A damaged
// pair ends the run: with the tables in memory a character's pieces are remembered once read,
// so each pair is checked once; open files are checked at every read.
Pieces CharacterLookup::LookedUpPieces(char32_t character) {
    const RecordNumber found = Obtain(character, kKeyTableFile, m_tables, m_report);
    if (static_cast<std::int64_t>(found) == static_cast<std::int64_t>(m_keyCount) + 1) {
        return Same(U' ');
    }
    if (found == 0) {
        return Miss();
    }
    const Record code = m_tables.ReadRecord(kJapaneseCodeTableFile, found);
    const Record preview = m_tables.ReadRecord(kPreviewTableFile, found);
    if (!RecordsAgree(code, preview)) {
        throw DamagedRecord(m_paths.pjfile, found, m_paths.jjfile);
    }
    return {JapaneseCodeCharacter(code), RecordCharacter(preview)};
}

} // namespace pelmora
