#include "segmentation.h"

namespace pelmora {

void Segmentation::WalkBack(std::size_t length) {
    std::size_t count = 0;
    for (std::size_t end = length; end > 0; end = m_best[end].from) {
        ++count;
    }
    m_words.resize(count);
    for (std::size_t end = length; end > 0; end = m_best[end].from) {
        Word& word = m_words[--count];
        word.start = m_best[end].from;
        word.length = end - word.start;
        word.spelled = m_best[end].spelled;
        word.entry = m_best[end].entry >= 0
                         ? std::optional<std::size_t>(static_cast<std::size_t>(m_best[end].entry))
                         : std::nullopt;
    }
}

std::size_t Segmentation::Settled(bool runEnded) const {
    const std::size_t length = m_best.size() - 1;
    std::size_t settled = length;
    if (!runEnded) {
        for (const Word& word : m_words) {
            if (word.start > 0 && word.start + kLongestWord <= length) {
                settled = word.start;
            }
        }
    }
    return settled;
}

} // namespace pelmora
