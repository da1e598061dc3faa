#include "phrase_sources.h"

#include <unicode/utf8.h>

#include <string>

namespace pelmora::tables {

std::vector<UChar32> Utf8Characters(const std::string& word) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(word.data());
    const auto length = static_cast<int32_t>(word.size());
    std::vector<UChar32> result;
    for (int32_t index = 0; index < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, index, length, c);
        if (c < 0) {
            return {};
        }
        result.push_back(c);
    }
    return result;
}

std::vector<Phrase> ReadOpenccPhrases(std::istream& text) {
    std::vector<Phrase> phrases;
    for (std::string line; std::getline(text, line);) {
        const auto tab = line.find('\t');
        if (tab == std::string::npos) {
            continue;
        }
        const auto valueEnd = line.find(' ', tab + 1);
        Phrase phrase{Utf8Characters(line.substr(0, tab)),
                      Utf8Characters(line.substr(tab + 1, valueEnd - tab - 1))};
        if (phrase.simplified.size() >= 2 &&
            phrase.simplified.size() == phrase.traditional.size()) {
            phrases.push_back(std::move(phrase));
        }
    }
    return phrases;
}

} // namespace pelmora::tables
