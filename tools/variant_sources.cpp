#include "variant_sources.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <optional>
#include <sstream>

namespace pelmora::tables {

namespace {

// The single character a UTF-8 word holds, or nothing for longer words (phrases).
std::optional<UChar32> SingleCharacter(const std::string& word) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(word.data());
    const auto length = static_cast<int32_t>(word.size());
    int32_t index = 0;
    UChar32 c = 0;
    U8_NEXT(bytes, index, length, c);
    if (c < 0 || index != length) {
        return std::nullopt;
    }
    return c;
}

std::vector<std::string> Split(const std::string& line, char separator) {
    std::vector<std::string> parts;
    std::istringstream stream(line);
    for (std::string part; std::getline(stream, part, separator);) {
        if (!part.empty()) {
            parts.push_back(part);
        }
    }
    return parts;
}

std::optional<UChar32> ParseUnihanCodePoint(const std::string& word) {
    if (word.rfind("U+", 0) != 0) {
        return std::nullopt;
    }
    const std::string hex = word.substr(2, word.find('<') - 2);
    return static_cast<UChar32>(std::stoul(hex, nullptr, 16));
}

// A source tag ending in ":T" or ":Z" ("U+5D0E<kMorohashi:Z") says the two characters
// differ only in form (traditional/simplified or z-variant), a closer link than a plain
// semantic variant; such values move to the front, the others keep their order.
std::vector<std::string> FormTaggedFirst(std::vector<std::string> words) {
    const auto formTagged = [](const std::string& word) {
        return word.find(":T") != std::string::npos || word.find(":Z") != std::string::npos;
    };
    std::stable_partition(words.begin(), words.end(), formTagged);
    return words;
}

void AddLink(VariantMap& links, UChar32 from, UChar32 to) {
    auto& targets = links[from];
    if (std::find(targets.begin(), targets.end(), to) == targets.end()) {
        targets.push_back(to);
    }
}

} // namespace

VariantMap ReadOpenccCharacters(std::istream& text) {
    VariantMap links;
    for (std::string line; std::getline(text, line);) {
        const auto columns = Split(line, '\t');
        if (columns.size() != 2) {
            continue;
        }
        const auto key = SingleCharacter(columns[0]);
        if (!key) {
            continue;
        }
        for (const auto& word : Split(columns[1], ' ')) {
            if (const auto value = SingleCharacter(word)) {
                AddLink(links, *key, *value);
            }
        }
    }
    return links;
}

VariantMap ReverseLinks(const VariantMap& links) {
    VariantMap reversed;
    for (const auto& [from, targets] : links) {
        for (const UChar32 to : targets) {
            AddLink(reversed, to, from);
        }
    }
    return reversed;
}

std::map<std::string, VariantMap> ReadUnihanVariants(std::istream& text,
                                                     const std::vector<std::string>& fields) {
    std::map<std::string, VariantMap> byField;
    for (std::string line; std::getline(text, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const auto columns = Split(line, '\t');
        if (columns.size() != 3 ||
            std::find(fields.begin(), fields.end(), columns[1]) == fields.end()) {
            continue;
        }
        const auto from = ParseUnihanCodePoint(columns[0]);
        for (const auto& word : FormTaggedFirst(Split(columns[2], ' '))) {
            const auto to = ParseUnihanCodePoint(word);
            if (from && to) {
                AddLink(byField[columns[1]], *from, *to);
            }
        }
    }
    return byField;
}

} // namespace pelmora::tables
