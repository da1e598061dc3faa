#pragma once

#include "char_tables.h"
#include "error_report.h"
#include "text_io.h"

#include <filesystem>

namespace pelmora {

/// Where the tables of a conversion are and how to read them.
struct TableLocation {
    std::filesystem::path directory;
    TableReading reading = TableReading::PerRecord;
};

/// How a run picks the kanji of a Chinese character. Each kind is a chooser over the one walk
/// (walk.h); conversion.cpp maps each kind to its chooser.
enum class RunKind {
    /// Each character alone, from the three tables (the Convert command).
    PerCharacter,
    /// Each run of Chinese characters is cut into the words of the word model (words.dat) at
    /// least cost, and each character takes the kanji its word spells it with. Without
    /// words.dat it gives what PerCharacter gives; a
    /// words.dat that cannot be read or is malformed is reported like a table that cannot be
    /// read.
    ByWords,
    /// The text is Chinese personal names: a name begins at the start of a line and after any
    /// character that is no Chinese character (so names listed with spaces or "、" are names
    /// too). Its surname, the longest surname of names.dat at its start, takes the surname's
    /// form; the given name takes the given-name forms of names.dat and otherwise ByWords's
    /// kanji. Without names.dat it gives what ByWords gives; names.dat is read and reported like
    /// words.dat.
    ByNames,
};

/// Which kanji a run may give.
enum class KanjiSet {
    /// Every kanji of code page 932, its extension rows included: a key whose only kanji lies
    /// there gives it.
    CodePage932,
    /// Only kanji of JIS X 0208 (IsJisX0208Character), for games that reject or blank the rest:
    /// whatever pieces a run of any kind decides, a character whose pieces lie beyond JIS X
    /// 0208 (an extension kanji, or a sign of NEC row 13) takes its first JIS X 0208 candidate
    /// of candidates.dat, in the table's order, and is a miss when it has none. candidates.dat
    /// lists a key's per-character kanji first, then the others by how much Japanese writing
    /// uses them for it, so the first of JIS X 0208 is the one Japanese text most likely
    /// writes. Without candidates.dat every such character is a miss; a candidates.dat that
    /// cannot be read or is malformed is reported like words.dat.
    JisX0208,
};

/// One conversion run of `kind`: forms the table paths into `tablePaths`, opens the three tables
/// (and the optional files the run kind reads), empties both outputs, then walks the input as
/// `input` gives it, appending for every input character one character to the Japanese code
/// text and one to the preview text as soon as it is decided, and closes the tables. A character
/// the tables cannot give shows "□" in the preview and kJapaneseCodePlaceholder in the Japanese
/// code text. A failure shows "Error in Command1Click" through `report` and ends the run with
/// the tables closed; what was appended stays (one piece for every character before the
/// failure), and a failure before the outputs were emptied leaves them untouched. Failures
/// include damaged tables: tables that fail TableSet::CheckFormat, found before the outputs
/// are emptied, and a record pair that breaks the tables' promise (RecordsAgree), found when
/// it is read; both are reported as an invalid file format naming the file (or the pair's
/// files), the record when one is at fault, and what is wrong.
///
/// Every kind reads each character's records as the per-character run does, so every kind
/// gives the same reads, the same failures and, outside words and names, the same pieces.
/// `kanji` applies alike to the pieces of every kind.
void ConvertText(RunKind kind, TextSource& input, TextSink& japaneseCode, TextSink& preview,
                 TablePaths& tablePaths, const TableLocation& location, ErrorReport& report,
                 KanjiSet kanji = KanjiSet::CodePage932);

} // namespace pelmora
