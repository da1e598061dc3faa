#include "word_chooser.h"

namespace pelmora {

// Every word has at least two characters, all held by the table: checked first because most
// characters begin no word and the search is slower.
const Word* WordChooser::WordAt(std::span<const std::optional<CharCode>> codes) const {
    const bool couldBegin =
        codes.size() >= kShortestWord && Holds(codes[0]) && Holds(codes[1]);
    return couldBegin ? m_words.LongestWordAt(codes) : nullptr;
}

} // namespace pelmora
