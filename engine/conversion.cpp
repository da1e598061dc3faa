#include "conversion.h"

#include "character_lookup.h"
#include "name_chooser.h"
#include "walk.h"
#include "word_chooser.h"
#include "word_tables.h"

namespace pelmora {

namespace {

// The one place that knows the run kinds: makes the chooser of `kind`, with the files it reads
// beside the tables, and hands it to `run`. A file that cannot be read throws before `run`.
template <typename Run>
void WithChooserOf(RunKind kind, const std::filesystem::path& directory, Run&& run) {
    switch (kind) {
    case RunKind::PerCharacter: {
        PerCharacterChooser chooser;
        return run(chooser);
    }
    case RunKind::ByWords: {
        WordChooser chooser(WordTable::Load(directory / kWordTableName));
        return run(chooser);
    }
    case RunKind::ByNames: {
        WordTable words = WordTable::Load(directory / kWordTableName);
        NameChooser chooser(std::move(words), NameTable::Load(directory / kNameTableName));
        return run(chooser);
    }
    }
}

} // namespace

void ConvertText(RunKind kind, TextSource& input, TextSink& japaneseCode, TextSink& preview,
                 TablePaths& tablePaths, const TableLocation& location, ErrorReport& report) {
    try {
        tablePaths = FormTablePaths(location.directory);
        TableSet tables(tablePaths, location.reading);
        tables.CheckFormat();
        WithChooserOf(kind, location.directory, [&](auto& chooser) {
            japaneseCode.Clear();
            preview.Clear();
            CharacterLookup lookup(tables, tablePaths, report, location.reading);
            PieceOutput output(japaneseCode, preview);
            Walk(input, lookup, chooser, output);
        });
        tables.CloseAll();
    } catch (...) {
        // The table set was destroyed on the way here, so every table is closed already.
        ReportCurrentException(report, kConversionErrorTitle);
    }
}

} // namespace pelmora
