#include "kanji_choice.h"

#include "shift_jis.h"
#include "table_files.h"

#include <string>

namespace pelmora {

namespace {

constexpr char32_t kKatakanaMiddleDot = U'\u30FB';
constexpr char32_t kMiddleDot = U'\u00B7';

bool IsPlaceholderRecord(Record record) {
    return RecordCharacter(record) == kPlaceholder;
}

} // namespace

char32_t JapaneseCodeCharacter(Record record) {
    const char32_t character = RecordCharacter(record);
    return character == kPlaceholder ? kJapaneseCodePlaceholder : character;
}

bool IsExtensionKanji(Record japaneseCode) {
    const std::uint8_t lead = japaneseCode.first;
    return (lead >= 0xED && lead <= 0xEE) || (lead >= 0xFA && lead <= 0xFC);
}

bool IsJisX0208Character(char32_t japaneseCode) {
    const std::optional<CharCode> code = CharCodeOf(japaneseCode);
    if (!code) {
        return false;
    }
    const unsigned lead = static_cast<std::uint16_t>(*code) >> 8;
    return lead == 0 || (lead >= 0x81 && lead <= 0x84) || (lead >= 0x88 && lead <= 0x9F) ||
           (lead >= 0xE0 && lead <= 0xEA);
}

bool RecordsAgree(Record japaneseCode, Record preview) {
    if (IsPlaceholderRecord(japaneseCode) && IsPlaceholderRecord(preview)) {
        return true; // "□" in both: the tables' way of saying "no kanji", shown as a miss
    }
    const std::string bytes = CodeBytes(japaneseCode);
    std::string written;
    if (!AppendCodePage936(RecordCharacter(japaneseCode), written) || written != bytes) {
        return false;
    }
    const std::optional<std::u32string> read = DecodeShiftJis(bytes);
    if (!read || read->size() != 1) {
        return false;
    }
    const char32_t shown = RecordCharacter(preview);
    return (*read)[0] == shown || ((*read)[0] == kKatakanaMiddleDot && shown == kMiddleDot);
}

RuntimeError DamagedRecord(const std::filesystem::path& file, RecordNumber record,
                           const std::filesystem::path& pairedFile) {
    ErrorInfo facts(static_cast<int>(ErrorNumber::InvalidFileFormat), file);
    facts.pairedFile = pairedFile;
    facts.record = record;
    facts.detail = "its Shift-JIS code is not its preview's kanji";
    facts.damage = TableDamage::RecordPair;
    return RuntimeError(std::move(facts));
}

KanjiChoice ChoiceFromRecords(Record japaneseCode, Record preview) {
    return {JapaneseCodeCharacter(japaneseCode), RecordCharacter(preview),
            IsExtensionKanji(japaneseCode)};
}

} // namespace pelmora
