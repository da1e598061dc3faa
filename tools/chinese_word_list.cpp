#include "chinese_word_list.h"

#include <algorithm>
#include <charconv>

namespace pelmora::tables {

namespace {

std::u32string AsKey(const std::vector<UChar32>& characters) {
    return {characters.begin(), characters.end()};
}

// A simplified spelling while essay is read: the most frequent traditional word so far (the
// first one read on equal frequency, so the result does not depend on anything but the file).
struct Group {
    std::vector<UChar32> traditional;
    std::uint64_t mostFrequent = 0;
    std::uint64_t total = 0;
    int words = 0;
};

} // namespace

TraditionalToSimplified::TraditionalToSimplified(const VariantMap& characters,
                                                 const std::vector<Phrase>& phrases) {
    for (const auto& [traditional, simplified] : characters) {
        if (!simplified.empty()) {
            m_characters.emplace(traditional, simplified.front());
        }
    }
    for (const auto& phrase : phrases) {
        // ReadOpenccPhrases names the dictionary's key `simplified`; in TSPhrases it is the
        // traditional phrase.
        m_phrases.emplace(AsKey(phrase.simplified), AsKey(phrase.traditional));
        m_longestPhrase = std::max(m_longestPhrase, phrase.simplified.size());
    }
}

std::vector<UChar32>
TraditionalToSimplified::Convert(const std::vector<UChar32>& traditional) const {
    std::vector<UChar32> simplified;
    const std::u32string text = AsKey(traditional);
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = std::min(m_longestPhrase, text.size() - at);
        for (; length >= 2; --length) {
            if (const auto found = m_phrases.find(text.substr(at, length));
                found != m_phrases.end()) {
                simplified.insert(simplified.end(), found->second.begin(), found->second.end());
                break;
            }
        }
        if (length < 2) {
            const auto found = m_characters.find(static_cast<UChar32>(text[at]));
            simplified.push_back(found == m_characters.end() ? static_cast<UChar32>(text[at])
                                                             : found->second);
            length = 1;
        }
        at += length;
    }
    return simplified;
}

ChineseWordList ReadChineseWordList(std::istream& essay,
                                    const TraditionalToSimplified& toSimplified,
                                    const std::vector<Phrase>& stPhrases, WordListCounts& counts) {
    ChineseWordList list;
    std::map<std::vector<UChar32>, Group> groups;
    for (std::string line; std::getline(essay, line);) {
        const auto tab = line.find('\t');
        std::uint64_t frequency = 0;
        const char* end = line.data() + line.size();
        const auto parsed = tab == std::string::npos
                                ? std::from_chars_result{nullptr, std::errc::invalid_argument}
                                : std::from_chars(line.data() + tab + 1, end, frequency);
        const auto traditional = Utf8Characters(line.substr(0, tab == std::string::npos ? 0 : tab));
        if (parsed.ec != std::errc() || parsed.ptr != end || traditional.empty()) {
            ++counts.essayBadLines;
            continue;
        }
        ++counts.essayLines;
        counts.essayTotal += frequency;
        list.traditionalWords.push_back({traditional, frequency});
        auto simplified = toSimplified.Convert(traditional);
        if (simplified.size() != traditional.size()) {
            ++counts.essayLengthChanged;
            continue;
        }
        auto& group = groups[std::move(simplified)];
        if (group.words == 0 || frequency > group.mostFrequent) {
            group.traditional = traditional;
            group.mostFrequent = frequency;
        }
        group.total += frequency;
        ++group.words;
    }
    auto& words = list.words;
    words.reserve(groups.size() + stPhrases.size());
    for (auto& [simplified, group] : groups) {
        counts.sharedSimplified += group.words > 1 ? group.words : 0;
        words.push_back({{simplified, std::move(group.traditional)},
                         group.total,
                         WordSource::Essay,
                         group.words});
    }
    for (const auto& phrase : stPhrases) {
        if (groups.count(phrase.simplified) == 0) {
            groups[phrase.simplified];
            words.push_back({phrase, kPhraseOnlyFrequency, WordSource::StPhrases, 1});
            ++counts.phrasesAdded;
        }
    }
    std::sort(words.begin(), words.end(), [](const ChineseWord& a, const ChineseWord& b) {
        return a.phrase.simplified < b.phrase.simplified;
    });
    return list;
}

} // namespace pelmora::tables
