#pragma once

#include "code_page.h"
#include "runtime_error.h"
#include "table_files.h"

#include <filesystem>

namespace pelmora {

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

/// True when a Shift-JIS record lies in code page 932's extension rows (lead byte ED-EE or
/// FA-FC).
bool IsExtensionKanji(Record japaneseCode);

/// True when the Japanese code text character `japaneseCode` is a single byte or a character of
/// JIS X 0208, which every Shift-JIS program knows: its code page 936 bytes, read as Shift-JIS,
/// have a lead byte of JIS X 0208's rows (81-84, 88-9F, E0-EA). False beyond them: code page
/// 932's NEC row 13 (lead byte 87) and its extension rows (ED-EE, FA-FC), which some games
/// reject or leave blank, and a character code page 936 cannot hold.
bool IsJisX0208Character(char32_t japaneseCode);

/// True when a record pair keeps the tables' promise: the Japanese code record read through code
/// page 936 and written back gives the same bytes, and those bytes read as Shift-JIS give the
/// preview record's character. The documented exception is "・" previewed as "·", which code
/// page 936 has no "・" to show; a pair that spells "□" in both records agrees too, and converts
/// as a miss. A pair that breaks it is a damaged table: its code text would
/// show a Japanese program something other than the preview.
bool RecordsAgree(Record japaneseCode, Record preview);

/// The failure for a record pair that breaks the tables' promise: an invalid file format of
/// `file` at `record`, the pair's Japanese-code record, and of `pairedFile` too when the pair's
/// preview record lies there (jj.dat beside pj.dat).
RuntimeError DamagedRecord(const std::filesystem::path& file, RecordNumber record,
                           const std::filesystem::path& pairedFile = {});

/// One Japanese kanji a character can take: its Japanese code text character (the Shift-JIS
/// bytes read through code page 936) and its preview character.
struct KanjiChoice {
    char32_t japaneseCode = 0;
    char32_t preview = 0;
    /// True for a kanji of code page 932's extension rows, which Japanese Windows fonts carry
    /// but games that draw their own fonts may lack.
    bool extension = false;

    bool operator==(const KanjiChoice&) const = default;
};

/// The choice a record pair gives.
KanjiChoice ChoiceFromRecords(Record japaneseCode, Record preview);

} // namespace pelmora
