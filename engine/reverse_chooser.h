#pragma once

#include "kanji_inverse.h"
#include "walk.h"

namespace pelmora {

/// The reverse run's chooser: each character of the Japanese text gets the Simplified Chinese
/// character the inverse gives it, at once.
class ReverseChooser {
public:
    explicit ReverseChooser(KanjiInverse inverse) : m_inverse(std::move(inverse)) {}

    template <typename Output> void Take(const WalkedCharacter& character, Output& output) {
        output.Emit(character, m_inverse.ChineseFor(character.character));
    }
    template <typename Output> void Finish(Output&) {}

private:
    KanjiInverse m_inverse;
};

} // namespace pelmora
