#include "segmentation.h"

#include <algorithm>
#include <limits>

namespace pelmora {

void Segmentation::Segment(const WordModel& model, std::span<const CharCode> codes) {
    const std::size_t length = codes.size();
    m_best.assign(length + 1, {std::numeric_limits<std::int32_t>::max(), 0, -1, false});
    m_best[0].cost = 0;
    for (std::size_t place = 0; place < length; ++place) {
        const std::int32_t here = m_best[place].cost;
        const auto reach = [&](std::size_t end, std::int32_t cost, std::int32_t entry,
                               bool spelled) {
            if (cost < m_best[end].cost) {
                m_best[end] = {cost, static_cast<std::uint32_t>(place), entry, spelled};
            }
        };
        bool coveredAlone = false;
        model.ForEachEntryAt(codes.subspan(place), [&](const WordModel::Found& found) {
            coveredAlone = coveredAlone || found.length == 1;
            reach(place + found.length, here + found.cost, static_cast<std::int32_t>(found.entry),
                  found.spelled);
        });
        if (!coveredAlone) {
            reach(place + 1, here + kUnknownCharacterCost, -1, false);
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
        word.spelled = m_best[end].spelled;
        word.entry = m_best[end].entry >= 0
                         ? std::optional<std::size_t>(static_cast<std::size_t>(m_best[end].entry))
                         : std::nullopt;
    }
}

} // namespace pelmora
