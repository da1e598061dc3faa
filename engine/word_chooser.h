#pragma once

#include "walk.h"
#include "word_tables.h"

#include <array>
#include <cstddef>
#include <span>

namespace pelmora {

/// The kanji `choice` gives, as pieces.
inline Pieces PiecesOf(const KanjiChoice& choice) {
    return {choice.japaneseCode, choice.preview};
}

/// The word-aware run's chooser: a character inside a word of words.dat takes the kanji it has
/// in that word; the longest word first, left to right; every other character keeps its
/// per-character pieces. It holds back at most kLongestWord characters, and only while they
/// could still begin a word: a character that no word holds lets it decide every character
/// before it.
class WordChooser {
public:
    explicit WordChooser(WordTable words) : m_words(std::move(words)) {}

    template <typename Output> void Take(const WalkedCharacter& character, Output& output) {
        if (m_start == m_end && !Holds(character.code)) {
            output.Emit(character, character.pieces); // begins no word, and none is open
            return;
        }
        Hold(character);
        Decide(output, false);
    }

    template <typename Output> void Finish(Output& output) { Decide(output, true); }

private:
    static constexpr std::size_t kCapacity = 2 * kLongestWord;

    bool Holds(const std::optional<CharCode>& code) const { return code && m_words.Holds(*code); }

    // Fixed buffers of twice the longest word, moved down once per kLongestWord characters,
    // because this runs for every held character.
    void Hold(const WalkedCharacter& character) {
        if (m_end == kCapacity) {
            std::copy(m_held.begin() + m_start, m_held.begin() + m_end, m_held.begin());
            std::copy(m_codes.begin() + m_start, m_codes.begin() + m_end, m_codes.begin());
            m_end -= m_start;
            m_start = 0;
        }
        m_held[m_end] = character;
        m_codes[m_end] = character.code;
        m_unheld += Holds(character.code) ? 0 : 1;
        ++m_end;
    }

    // Emits the held characters whose kanji is settled: those inside the open word, and the
    // first one once the longest word it can begin cannot grow (kLongestWord characters held,
    // one that no word holds among them, or the end of the input).
    template <typename Output> void Decide(Output& output, bool ended) {
        while (m_start < m_end) {
            if (m_word == nullptr) {
                if (!ended && m_end - m_start < kLongestWord && m_unheld == 0) {
                    return;
                }
                m_word = WordAt(std::span(m_codes).subspan(m_start, m_end - m_start));
                m_inWord = 0;
            }
            const WalkedCharacter& first = m_held[m_start];
            Pieces pieces = first.pieces;
            if (m_word != nullptr) {
                pieces = PiecesOf(m_word->kanji[m_inWord]);
                m_word = ++m_inWord == m_word->keys.size() ? nullptr : m_word;
            }
            m_unheld -= Holds(first.code) ? 0 : 1;
            ++m_start;
            output.Emit(first, pieces);
        }
    }

    const Word* WordAt(std::span<const std::optional<CharCode>> codes) const;

    WordTable m_words;
    std::array<WalkedCharacter, kCapacity> m_held{};
    std::array<std::optional<CharCode>, kCapacity> m_codes{};
    std::size_t m_start = 0;
    std::size_t m_end = 0;
    std::size_t m_unheld = 0;     // held characters that no word holds
    const Word* m_word = nullptr; // the open word, whose next character is the first held
    std::size_t m_inWord = 0;
};

} // namespace pelmora
