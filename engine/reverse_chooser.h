#pragma once

#include "kanji_inverse.h"
#include "segmentation.h"
#include "walk.h"
#include "word_inverse.h"

#include <cstddef>
#include <vector>

namespace pelmora {

/// The reverse run's chooser: a Japanese text segmented over the word model's spellings as the
/// word-aware runs segment a Chinese one (Segmentation over WordInverse), each word then giving
/// its Chinese keys; a character no word covers gets the Chinese character KanjiInverse gives
/// it. A run of characters ends at one that no spelling holds (kana of no word, punctuation, a
/// line break). Like the word-aware chooser it holds back at most kLookahead characters and
/// settles a longer run up to a word boundary at least kLongestWord characters before its end.
class ReverseChooser {
public:
    static constexpr std::size_t kLookahead = 256;

    ReverseChooser(KanjiInverse inverse, WordInverse words)
        : m_inverse(std::move(inverse)), m_words(std::move(words)) {}

    template <typename Output> void Take(const WalkedCharacter& character, Output& output) {
        if (!m_words.Holds(character.character)) {
            Settle(output, true);
            output.Emit(character, m_inverse.ChineseFor(character.character));
            return;
        }
        if (m_held.size() == kLookahead) {
            Settle(output, false);
        }
        m_held.push_back(character);
        m_japanese.push_back(static_cast<char16_t>(character.character));
    }

    template <typename Output> void Finish(Output& output) { Settle(output, true); }

private:
    template <typename Output> void Settle(Output& output, bool runEnded) {
        if (m_held.empty()) {
            return;
        }
        m_segmentation.Segment(m_words, m_japanese);
        const std::size_t settled = m_segmentation.Settled(runEnded);
        for (const Segmentation::Word& word : m_segmentation.Words()) {
            if (word.start >= settled) {
                break; // Settled is a word's start: the words from there are held
            }
            for (std::size_t i = word.start; i < word.start + word.length; ++i) {
                output.Emit(m_held[i], word.entry ? m_words.ChineseAt(*word.entry, i - word.start,
                                                                      m_japanese[word.start])
                                                  : m_inverse.ChineseFor(m_held[i].character));
            }
        }
        const auto cut = static_cast<std::ptrdiff_t>(settled);
        m_held.erase(m_held.begin(), m_held.begin() + cut);
        m_japanese.erase(m_japanese.begin(), m_japanese.begin() + cut);
    }

    KanjiInverse m_inverse;
    WordInverse m_words;
    Segmentation m_segmentation;
    // The held run, one element per character in each.
    std::vector<WalkedCharacter> m_held;
    std::vector<char16_t> m_japanese;
};

} // namespace pelmora
