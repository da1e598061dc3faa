#include "conversion.h"

#include "character_lookup.h"
#include "name_chooser.h"
#include "walk.h"
#include "word_chooser.h"
#include "word_model.h"
#include "word_tables.h"

#include <optional>
#include <vector>

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
        WordChooser chooser(WordModel::Load(directory / kWordTableName));
        return run(chooser);
    }
    case RunKind::ByNames: {
        WordModel words = WordModel::Load(directory / kWordTableName);
        NameChooser chooser(std::move(words), NameTable::Load(directory / kNameTableName));
        return run(chooser);
    }
    }
}

// Whether each character the code text can hold (code page 936 has only characters of the BMP)
// lies beyond JIS X 0208, worked out once, since a run asks it for every character.
const std::vector<bool>& BeyondJisX0208() {
    static const std::vector<bool> beyond = [] {
        std::vector<bool> table(0x10000);
        for (char32_t character = 0; character < table.size(); ++character) {
            table[character] = !IsJisX0208Character(character);
        }
        return table;
    }();
    return beyond;
}

// The pieces every chooser emits, kept within the run's kanji set on their way to the outputs.
// Given JIS X 0208 candidates (JIS X 0208 only), pieces beyond JIS X 0208 become the key's first
// candidate there, in candidates.dat's order, or a miss; given none, every piece passes. One
// type for both sets, so each chooser's walk is compiled once: a second walk per chooser made
// the run without the setting 7% slower.
class KanjiSetOutput {
public:
    KanjiSetOutput(const CandidateTable* jisX0208, PieceOutput& output)
        : m_jisX0208(jisX0208), m_beyond(jisX0208 != nullptr ? &BeyondJisX0208() : nullptr),
          m_output(output) {}
    void Emit(const WalkedCharacter& character, const Pieces& pieces) {
        m_output.Emit(character,
                      IsBeyond(pieces.japaneseCode) ? JisX0208Replacement(character.code) : pieces);
    }

private:
    bool IsBeyond(char32_t japaneseCode) const {
        return m_beyond != nullptr &&
               (japaneseCode >= m_beyond->size() || (*m_beyond)[japaneseCode]);
    }

    Pieces JisX0208Replacement(std::optional<CharCode> key) const {
        if (key && !m_jisX0208->CandidatesOf(*key).empty()) {
            return PiecesOf(m_jisX0208->CandidatesOf(*key).front());
        }
        return {kJapaneseCodePlaceholder, kPlaceholder};
    }

    const CandidateTable* m_jisX0208;
    const std::vector<bool>* m_beyond; // by code text character; null: every kanji passes
    PieceOutput& m_output;
};

} // namespace

void ConvertText(RunKind kind, TextSource& input, TextSink& japaneseCode, TextSink& preview,
                 TablePaths& tablePaths, const TableLocation& location, ErrorReport& report,
                 KanjiSet kanji) {
    try {
        tablePaths = FormTablePaths(location.directory);
        TableSet tables(tablePaths, location.reading);
        tables.CheckFormat();
        std::optional<CandidateTable> jisX0208;
        if (kanji == KanjiSet::JisX0208) {
            jisX0208 =
                CandidateTable::Load(location.directory / kCandidateTableName).OnlyJisX0208();
        }
        WithChooserOf(kind, location.directory, [&](auto& chooser) {
            japaneseCode.Clear();
            preview.Clear();
            CharacterLookup lookup(tables, tablePaths, report, location.reading);
            PieceOutput output(japaneseCode, preview);
            KanjiSetOutput kept(jisX0208 ? &*jisX0208 : nullptr, output);
            Walk(input, lookup, chooser, kept);
        });
        tables.CloseAll();
    } catch (...) {
        // The table set was destroyed on the way here, so every table is closed already.
        ReportCurrentException(report, kConversionErrorTitle);
    }
}

} // namespace pelmora
