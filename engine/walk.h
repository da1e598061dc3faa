#pragma once

#include "code_page.h"
#include "text_io.h"
#include "utf8.h"

#include <optional>
#include <string_view>

// The one walk of every conversion run. The walk reads the input character by character, looks
// each one up as the per-character run does and hands it to a chooser, which decides the pieces
// the outputs get. Run kinds differ only in their chooser, so they read the same records, fail
// in the same places and give the same number of pieces by construction.
namespace pelmora {

/// What a character gives the two outputs: one character of the Japanese code text and one of
/// the preview text.
struct Pieces {
    char32_t japaneseCode = U' ';
    char32_t preview = U' ';
};

/// One input character as the walk hands it to a chooser: the character, its code page 936 code
/// (nothing when the code page cannot represent it) and the pieces the per-character run gives
/// it.
struct WalkedCharacter {
    char32_t character = 0;
    std::optional<CharCode> code;
    Pieces pieces;
};

/// The run's two outputs, appended to one piece each per input character.
class PieceOutput {
public:
    PieceOutput(TextSink& japaneseCode, TextSink& preview)
        : m_japaneseCode(japaneseCode), m_preview(preview) {}
    /// Appends `pieces`, which `character` was given.
    void Emit(const WalkedCharacter& character, const Pieces& pieces) {
        static_cast<void>(character);
        m_japaneseCode.Append(pieces.japaneseCode);
        m_preview.Append(pieces.preview);
    }

private:
    TextSink& m_japaneseCode;
    TextSink& m_preview;
};

// A chooser decides the pieces of each character. It has two members, both templates over the
// output (PieceOutput, or another chooser's output that refines what it is given):
//   Take(const WalkedCharacter&, Output&): the next input character. The chooser emits, through
//       Output::Emit(character, pieces), exactly one pieces per character and in input order,
//       now or later: it may hold back a bounded number of characters until it can decide them.
//   Finish(Output&): the input has ended (or a lookup failed, so it ends there): emit every
//       character held back, deciding as if nothing came after it.

/// The chooser of the per-character run (the Convert command): every character its own pieces,
/// at once.
class PerCharacterChooser {
public:
    template <typename Output> void Take(const WalkedCharacter& character, Output& output) {
        output.Emit(character, character.pieces);
    }
    template <typename Output> void Finish(Output&) {}
};

/// Walks `input` once: every character, in order, is looked up with `lookup`
/// (Pieces PiecesFor(char32_t, std::optional<CharCode>)) and handed to `chooser`, which emits
/// into `output` (a PieceOutput, or an output that refines every chooser's pieces on their way
/// to one). When a lookup or the input fails, the chooser first emits what it holds, so the
/// outputs keep one piece for every character before the failure, as the per-character run
/// does; then the failure goes on to the run's trap.
template <typename Lookup, typename Chooser, typename Output>
void Walk(TextSource& input, Lookup& lookup, Chooser& chooser, Output& output) {
    try {
        for (std::string_view piece = input.NextPiece(); !piece.empty();
             piece = input.NextPiece()) {
            for (std::size_t at = 0; at < piece.size();) {
                const char32_t character = NextCodePoint(piece, at);
                const std::optional<CharCode> code = CharCodeOf(character);
                chooser.Take(WalkedCharacter{character, code, lookup.PiecesFor(character, code)},
                             output);
            }
        }
    } catch (...) {
        chooser.Finish(output);
        throw;
    }
    chooser.Finish(output);
}

} // namespace pelmora
