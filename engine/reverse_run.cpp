#include "reverse_run.h"

#include "kanji_choice.h"
#include "kanji_inverse.h"
#include "reverse_chooser.h"
#include "shift_jis.h"
#include "walk.h"
#include "word_inverse.h"
#include "word_model.h"

namespace pelmora {

namespace {

// A Japanese character's pieces as the forward run would write them: its code text character
// and the preview, which is what a game reads there. A character Shift-JIS lacks is a miss.
class ShownInGame {
public:
    Pieces PiecesFor(char32_t japanese, std::optional<CharCode>) const {
        const std::optional<std::uint16_t> code = ShiftJisCode(japanese);
        if (!code) {
            return {kJapaneseCodePlaceholder, kPlaceholder};
        }
        // A single byte at or above 80 (a half-width katakana) begins a pair in code page 936.
        const std::optional<char32_t> shown =
            *code >= 0x80 && *code < 0x100 ? std::nullopt : CodePage936Character(*code);
        return {shown.value_or(kJapaneseCodePlaceholder), japanese};
    }
};

// Writes each character of the Japanese text, with the Chinese character the chooser gives it,
// to the outputs given, and counts the places that are not Shift-JIS.
class ReadBackOutput {
public:
    explicit ReadBackOutput(const ReadBackOutputs& outputs) : m_outputs(outputs) {}

    void Clear() {
        for (TextSink* sink :
             {m_outputs.japanese, m_outputs.chinese, m_outputs.codeText, m_outputs.preview}) {
            if (sink != nullptr) {
                sink->Clear();
            }
        }
    }

    void Emit(const WalkedCharacter& character, char32_t chinese) {
        const Pieces& shown = character.pieces;
        // "□" itself is Shift-JIS (81 A0); anything else the lookup turned into one is not.
        const bool notShiftJis =
            shown.preview == kPlaceholder && character.character != kPlaceholder;
        m_notShiftJis += notShiftJis ? 1 : 0;
        Append(m_outputs.japanese, shown.preview);
        Append(m_outputs.chinese, notShiftJis ? kPlaceholder : chinese);
        Append(m_outputs.codeText, shown.japaneseCode);
        Append(m_outputs.preview,
               shown.japaneseCode == kJapaneseCodePlaceholder ? kPlaceholder : shown.preview);
    }

    std::uint64_t NotShiftJis() const { return m_notShiftJis; }

private:
    static void Append(TextSink* sink, char32_t character) {
        if (sink != nullptr) {
            sink->Append(character);
        }
    }

    const ReadBackOutputs& m_outputs;
    std::uint64_t m_notShiftJis = 0;
};

} // namespace

CodeTextReading::CodeTextReading(TextSource& codeText)
    : m_codeText(codeText), m_decoder(TextEncoding::ShiftJis, BadBytes::Replace) {}

std::string_view CodeTextReading::NextPiece() {
    m_piece.clear();
    while (m_piece.empty() && !m_ended) {
        const std::string_view codeText = m_codeText.NextPiece();
        if (codeText.empty()) {
            m_decoder.Finish(m_piece);
            m_ended = true;
            break;
        }
        m_bytes.clear();
        for (std::size_t at = 0; at < codeText.size();) {
            char bytes[StreamEncoder::kMostBytes];
            const std::size_t written = m_encoder.Write(NextCodePoint(codeText, at), bytes);
            if (written == 0) {
                // No bytes stand for it: what came before it ends there, and it is a mark.
                m_decoder.Decode(m_bytes, m_piece);
                m_decoder.Finish(m_piece);
                m_decoder = StreamDecoder(TextEncoding::ShiftJis, BadBytes::Replace);
                m_bytes.clear();
                AppendUtf8(kReplacementCharacter, m_piece);
            }
            m_bytes.append(bytes, written);
        }
        m_decoder.Decode(m_bytes, m_piece);
    }
    return m_piece;
}

std::uint64_t ReadBackText(GameText kind, TextSource& input, const ReadBackOutputs& outputs,
                           const TableLocation& location, ErrorReport& report) {
    ReadBackOutput output(outputs);
    try {
        const TablePaths paths = FormTablePaths(location.directory);
        // The inverse reads every record of the three tables, so each is read whole at once,
        // whatever reading the forward run uses (the window reads record by record).
        TableSet tables(paths, TableReading::InMemory);
        const WordModel model = WordModel::Load(location.directory / kWordTableName);
        KanjiInverse inverse =
            KanjiInverse::Load(tables, paths, location.directory, model.Stored());
        WordInverse words = WordInverse::Of(model.Stored(), inverse);
        ReverseChooser chooser(std::move(inverse), std::move(words));
        // Everything the run needs from the tables is in the inverse now.
        tables.CloseAll();
        output.Clear();
        ShownInGame lookup;
        if (kind == GameText::CodeText) {
            CodeTextReading japanese(input);
            Walk(japanese, lookup, chooser, output);
        } else {
            Walk(input, lookup, chooser, output);
        }
    } catch (...) {
        ReportCurrentException(report, kReadBackErrorTitle);
    }
    return output.NotShiftJis();
}

} // namespace pelmora
