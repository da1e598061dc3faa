#include "word_model.h"

#include <algorithm>
#include <unordered_set>

namespace pelmora {

namespace {

constexpr std::size_t kCodeCount = 0x10000;

} // namespace

WordModel WordModel::Load(const std::filesystem::path& path) {
    WordModel model;
    model.m_stored = StoredWordModel::Read(path);
    if (!model.Empty()) {
        model.CheckSpellings();
        model.Index();
    }
    return model;
}

// Each distinct pair of records is checked once: the same kanji is spelled in many words.
void WordModel::CheckSpellings() const {
    std::unordered_set<std::uint32_t> agreeing;
    for (std::size_t entry = 0; entry < m_stored.EntryCount(); ++entry) {
        for (std::size_t j = 0; j < m_stored.SpellingCount(entry); ++j) {
            const WordSpelling spelling = m_stored.Spelling(entry, j);
            const std::uint32_t pair = std::uint32_t{spelling.japaneseCode.first} << 24 |
                                       std::uint32_t{spelling.japaneseCode.second} << 16 |
                                       std::uint32_t{spelling.preview.first} << 8 |
                                       spelling.preview.second;
            if (agreeing.contains(pair)) {
                continue;
            }
            if (!RecordsAgree(spelling.japaneseCode, spelling.preview)) {
                throw DamagedRecord(m_stored.Path(), m_stored.SpellingRecord(entry, j));
            }
            agreeing.insert(pair);
        }
    }
}

void WordModel::Index() {
    const std::size_t entries = m_stored.EntryCount();
    m_held.assign(kCodeCount, false);
    m_firstKeyOf.assign(kCodeCount, 0);
    m_pairFilter.assign((std::size_t{1} << kPairFilterBits) / 64, 0);
    for (std::size_t entry = 0; entry < entries; ++entry) {
        const std::size_t length = m_stored.Length(entry);
        for (std::size_t i = 0; i < length; ++i) {
            m_held[CodeIndex(m_stored.Key(entry, i))] = true;
        }
        const CharCode firstKey = m_stored.Key(entry, 0);
        if (entry == 0 || m_stored.Key(entry - 1, 0) != firstKey) {
            m_firstKeys.push_back({});
            m_firstKeys.back().pairsBegin = static_cast<std::uint32_t>(m_pairs.size());
            m_firstKeyOf[CodeIndex(firstKey)] = static_cast<std::uint32_t>(m_firstKeys.size());
        }
        FirstKey& first = m_firstKeys.back();
        const auto number = static_cast<std::uint32_t>(entry);
        if (length == 1) {
            first.single = number;
            first.singleCost = m_stored.Cost(entry);
            first.singleSpelled = m_stored.SpellingCount(entry) > 0 ? 1 : 0;
            continue;
        }
        const CharCode second = m_stored.Key(entry, 1);
        if (first.pairsEnd == m_pairs.size() && first.pairsEnd > first.pairsBegin &&
            m_pairs.back().second == second) {
            m_pairs.back().end = number + 1;
        } else {
            m_pairs.push_back({second, number, number + 1});
            for (const std::uint32_t multiplier : kPairFilterMultipliers) {
                const std::size_t bit = PairFilterBit(firstKey, second, multiplier);
                m_pairFilter[bit / 64] |= std::uint64_t{1} << (bit % 64);
            }
            first.pairsEnd = static_cast<std::uint32_t>(m_pairs.size());
            first.seconds |= std::uint64_t{1} << SecondBit(second);
        }
    }
}

void WordModel::NarrowToKey(std::size_t length, CharCode code, std::size_t& begin,
                            std::size_t& end) const {
    std::size_t low = begin;
    std::size_t high = end;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (m_stored.Key(middle, length) < code) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    begin = low;
    high = end;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (m_stored.Key(middle, length) <= code) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    end = low;
}

std::optional<KanjiChoice> WordModel::SpellingAt(std::size_t entry, std::size_t position) const {
    for (std::size_t j = 0; j < m_stored.SpellingCount(entry); ++j) {
        const WordSpelling spelling = m_stored.Spelling(entry, j);
        if (spelling.position == position) {
            return ChoiceFromRecords(spelling.japaneseCode, spelling.preview);
        }
    }
    return std::nullopt;
}

} // namespace pelmora
