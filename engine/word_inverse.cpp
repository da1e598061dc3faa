#include "word_inverse.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace pelmora {

namespace {

// Every entry of GB2312 keys as the forward run spells it, in file order.
struct Spelled {
    std::vector<char16_t> japanese;
    std::vector<char16_t> chinese;
    std::vector<std::uint32_t> starts{0};
    std::vector<std::uint16_t> costs;

    std::u16string_view Japanese(std::size_t entry) const {
        return {japanese.data() + starts[entry], starts[entry + 1] - starts[entry]};
    }
};

// The Japanese character the forward run gives the character at `position` of `entry`: its
// spelling, or the per-character run's kanji.
std::optional<char32_t> JapaneseAt(const StoredWordModel& model, std::size_t entry,
                                   std::size_t position, std::size_t& nextSpelling,
                                   const KanjiInverse& inverse) {
    if (nextSpelling < model.SpellingCount(entry)) {
        const WordSpelling spelling = model.Spelling(entry, nextSpelling);
        if (spelling.position == position) {
            ++nextSpelling;
            return JapaneseCharacterOf(spelling.japaneseCode);
        }
    }
    return inverse.DefaultJapaneseOf(model.Key(entry, position));
}

Spelled SpellAll(const StoredWordModel& model, const KanjiInverse& inverse) {
    Spelled spelled;
    for (std::size_t entry = 0; entry < model.EntryCount(); ++entry) {
        const std::size_t start = spelled.japanese.size();
        std::size_t nextSpelling = 0;
        bool whole = true;
        for (std::size_t i = 0; i < model.Length(entry) && whole; ++i) {
            const std::optional<char32_t> japanese =
                JapaneseAt(model, entry, i, nextSpelling, inverse);
            const std::optional<char32_t> chinese =
                CodePage936Character(static_cast<std::uint16_t>(model.Key(entry, i)));
            whole = japanese && *japanese < 0x10000 && chinese && IsGb2312(model.Key(entry, i));
            if (whole) {
                spelled.japanese.push_back(static_cast<char16_t>(*japanese));
                spelled.chinese.push_back(static_cast<char16_t>(*chinese));
            }
        }
        if (!whole) {
            spelled.japanese.resize(start);
            spelled.chinese.resize(start);
            continue;
        }
        spelled.starts.push_back(static_cast<std::uint32_t>(spelled.japanese.size()));
        spelled.costs.push_back(model.Cost(entry));
    }
    return spelled;
}

} // namespace

WordInverse WordInverse::Of(const StoredWordModel& model, const KanjiInverse& inverse) {
    const Spelled spelled = SpellAll(model, inverse);
    // By spelling (a spelling before the longer ones it begins), then the more frequent. Each
    // entry's first four characters packed in one number settle nearly every comparison:
    // sorting on the spellings alone took half the load.
    struct Sorted {
        std::uint64_t head; // the first four characters, 0 past the end
        std::uint32_t entry;
    };
    std::vector<Sorted> order(spelled.costs.size());
    for (std::uint32_t entry = 0; entry < order.size(); ++entry) {
        const std::u16string_view japanese = spelled.Japanese(entry);
        std::uint64_t head = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            head = head << 16 | (i < japanese.size() ? japanese[i] : 0u);
        }
        order[entry] = {head, entry};
    }
    std::stable_sort(order.begin(), order.end(), [&](const Sorted& a, const Sorted& b) {
        if (a.head != b.head) {
            return a.head < b.head;
        }
        const int compared = spelled.Japanese(a.entry).compare(spelled.Japanese(b.entry));
        if (compared != 0) {
            return compared < 0;
        }
        return spelled.costs[a.entry] < spelled.costs[b.entry];
    });

    WordInverse words;
    words.m_starts.push_back(0);
    words.m_first = std::make_unique<First[]>(kBmpSize + 1);
    words.m_held = std::make_unique<std::uint64_t[]>(kBmpSize / 64);
    words.m_pairs = std::make_unique<std::uint64_t[]>((std::size_t{1} << kPairBits) / 64);
    for (std::size_t at = 0; at < order.size(); ++at) {
        const std::uint32_t entry = order[at].entry;
        const std::u16string_view japanese = spelled.Japanese(entry);
        if (at > 0 && japanese == spelled.Japanese(order[at - 1].entry)) {
            continue; // a less frequent entry spelled alike
        }
        const std::uint32_t start = spelled.starts[entry];
        words.m_japanese.insert(words.m_japanese.end(), japanese.begin(), japanese.end());
        words.m_chinese.insert(words.m_chinese.end(), spelled.chinese.begin() + start,
                               spelled.chinese.begin() + start + japanese.size());
        words.m_starts.push_back(static_cast<std::uint32_t>(words.m_japanese.size()));
        words.m_costs.push_back(spelled.costs[entry]);
        ++words.m_first[japanese.front() + 1u].begin;
        if (japanese.size() == 1) {
            words.m_first[japanese.front()].singleChinese = spelled.chinese[start];
            words.m_first[japanese.front()].singleCost = words.m_costs.back();
        }
        for (const char16_t character : japanese) {
            words.m_held[character / 64] |= std::uint64_t{1} << (character % 64);
        }
        if (japanese.size() > 1) {
            const std::size_t bit = PairBit(japanese[0], japanese[1]);
            words.m_pairs[bit / 64] |= std::uint64_t{1} << (bit % 64);
        }
    }
    // From counts of entries per first character to where each character's entries begin.
    for (std::size_t character = 1; character <= kBmpSize; ++character) {
        words.m_first[character].begin += words.m_first[character - 1].begin;
    }
    return words;
}

void WordInverse::NarrowTo(std::size_t length, char16_t japanese, std::size_t& begin,
                           std::size_t& end) const {
    // The first entry of [low, high) whose character `length` is past `japanese` (or, with
    // `orEqual` false, not below it).
    const auto firstPast = [&](std::size_t low, std::size_t high, bool orEqual) {
        while (low < high) {
            const std::size_t middle = low + (high - low) / 2;
            const char16_t here = m_japanese[m_starts[middle] + length];
            if (here < japanese || (orEqual && here == japanese)) {
                low = middle + 1;
            } else {
                high = middle;
            }
        }
        return low;
    };
    begin = firstPast(begin, end, false);
    end = firstPast(begin, end, true);
}

} // namespace pelmora
