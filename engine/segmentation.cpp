#include "segmentation.h"

#include <algorithm>
#include <limits>

namespace pelmora {

void Segmentation::Segment(const WordModel& model, std::span<const CharCode> codes) {
    const std::size_t length = codes.size();
    m_best.assign(length + 1, {std::numeric_limits<std::int32_t>::max(), 0, -1});
    m_best[0].cost = 0;
    for (std::size_t place = 0; place < length; ++place) {
        const std::int32_t here = m_best[place].cost;
        const auto reach = [&](std::size_t end, std::int32_t cost, std::int32_t entry) {
            if (cost < m_best[end].cost) {
                m_best[end] = {cost, static_cast<std::uint32_t>(place), entry};
            }
        };
        bool coveredAlone = false;
        model.ForEachEntryAt(codes.subspan(place), [&](std::size_t entry, std::size_t characters,
                                                       std::uint16_t cost) {
            coveredAlone = coveredAlone || characters == 1;
            reach(place + characters, here + cost, static_cast<std::int32_t>(entry));
        });
        if (!coveredAlone) {
            reach(place + 1, here + kUnknownCharacterCost, -1);
        }
    }
    std::size_t count = 0;
    for (std::size_t end = length; end > 0; end = m_best[end].from) {
        ++count;
    }
    m_words.resize(count);
    for (std::size_t end = length; end > 0; end = m_best[end].from) {
        Word& word = m_words[--count];
        word.start = m_best[end].from;
        word.length = end - word.start;
        word.entry = m_best[end].entry >= 0
                         ? std::optional<std::size_t>(static_cast<std::size_t>(m_best[end].entry))
                         : std::nullopt;
    }
}

} // namespace pelmora
