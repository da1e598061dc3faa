#pragma once

#include "segmentation.h"
#include "walk.h"
#include "word_model.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace pelmora {

/// The kanji `choice` gives, as pieces.
inline Pieces PiecesOf(const KanjiChoice& choice) {
    return {choice.japaneseCode, choice.preview};
}

/// The word-aware run's chooser: the minimum-cost segmentation of every run of characters that
/// the word model holds (Segmentation); each character then takes its word's spelling, or its
/// per-character pieces. A run ends at a character that no entry holds (a line break, most
/// punctuation), which keeps its per-character pieces. The chooser holds back at most
/// kLookahead characters: a longer run is settled up to a word boundary of its best path at
/// least kLongestWord characters before its end, and the rest is segmented again with what
/// follows.
class WordChooser {
public:
    /// The most characters held back.
    static constexpr std::size_t kLookahead = 256;

    explicit WordChooser(WordModel model) : m_model(std::move(model)) {
        m_characters.reserve(kLookahead);
        m_codes.reserve(kLookahead);
        m_pieces.reserve(kLookahead);
    }

    template <typename Output> void Take(const WalkedCharacter& character, Output& output) {
        if (!character.code || !m_model.Holds(*character.code)) {
            Settle(output, true);
            output.Emit(character, character.pieces);
            return;
        }
        if (m_codes.size() == kLookahead) {
            Settle(output, false);
        }
        // Field by field: a held character is known to have a code.
        m_characters.push_back(character.character);
        m_codes.push_back(*character.code);
        m_pieces.push_back(character.pieces);
    }

    template <typename Output> void Finish(Output& output) { Settle(output, true); }

private:
    // Segments the held run and emits its characters: all of them once the run has ended, else
    // those before the last word of the best path that begins at least kLongestWord characters
    // before the end.
    template <typename Output> void Settle(Output& output, bool runEnded) {
        if (m_codes.empty()) {
            return;
        }
        m_segmentation.Segment(m_model, m_codes);
        const std::size_t settled = m_segmentation.Settled(runEnded);
        for (const Segmentation::Word& word : m_segmentation.Words()) {
            if (word.start >= settled) {
                break;
            }
            EmitWord(word, output);
        }
        const auto cut = static_cast<std::ptrdiff_t>(settled);
        m_characters.erase(m_characters.begin(), m_characters.begin() + cut);
        m_codes.erase(m_codes.begin(), m_codes.begin() + cut);
        m_pieces.erase(m_pieces.begin(), m_pieces.begin() + cut);
    }

    template <typename Output> void EmitWord(const Segmentation::Word& word, Output& output) {
        for (std::size_t i = word.start; i < word.start + word.length; ++i) {
            const std::optional<KanjiChoice> spelled =
                word.spelled ? m_model.SpellingAt(*word.entry, i - word.start) : std::nullopt;
            output.Emit(WalkedCharacter{m_characters[i], m_codes[i], m_pieces[i]},
                        spelled ? PiecesOf(*spelled) : m_pieces[i]);
        }
    }

    WordModel m_model;
    Segmentation m_segmentation;
    // The held run, one element per character in each.
    std::vector<char32_t> m_characters;
    std::vector<CharCode> m_codes;
    std::vector<Pieces> m_pieces;
};

} // namespace pelmora
