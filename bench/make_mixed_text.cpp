// Writes a deterministic mixed Simplified Chinese text for the speed comparisons: mostly GB2312
// hanzi, with the punctuation, spaces and line breaks of ordinary prose. With
// --every-character it writes instead every character code page 936 holds, then a few it
// cannot hold, for comparing outputs across platforms.
#include "code_page.h"
#include "table_files.h"
#include "utf8.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A fixed linear congruential generator, so every run writes the same text.
class Lcg {
public:
    std::uint32_t Next() {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(m_state >> 33);
    }

private:
    std::uint64_t m_state = 20261207;
};

std::vector<char32_t> Gb2312Hanzi() {
    std::vector<char32_t> hanzi;
    for (unsigned lead = 0xB0; lead <= 0xF7; ++lead) {
        for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
            if (lead == 0xD7 && trail >= 0xFA) {
                continue; // the five empty places at the end of level 1
            }
            hanzi.push_back(pelmora::RecordCharacter(
                {static_cast<std::uint8_t>(lead), static_cast<std::uint8_t>(trail)}));
        }
    }
    return hanzi;
}

// Every character code page 936 decodes (its single bytes and double-byte pairs), line breaks
// among them, then characters outside it: a byte order mark, a soft hyphen, an emoji, an
// ideograph beyond GBK.
std::u32string EveryCharacter() {
    std::u32string text;
    for (unsigned first = 0; first <= 0xFF; ++first) {
        for (unsigned second = 0; second <= (pelmora::IsLeadByte(first) ? 0xFFu : 0u); ++second) {
            const char32_t character = pelmora::RecordCharacter(
                {static_cast<std::uint8_t>(first), static_cast<std::uint8_t>(second)});
            if (character != pelmora::kPlaceholder) {
                text.push_back(character);
            }
        }
        text.push_back(U'\n');
    }
    return text + U"\uFEFF\u00AD\U0001F600\U00020000\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--every-character") {
        const std::string bytes = pelmora::EncodeUtf8(EveryCharacter());
        return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() ? 0 : 1;
    }
    const long count = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1000000;
    const std::vector<char32_t> hanzi = Gb2312Hanzi();
    const std::u32string punctuation = U"，。、：；！？“”（）";
    Lcg random;
    std::u32string text;
    text.reserve(static_cast<std::size_t>(count));
    for (long i = 0; i < count; ++i) {
        const std::uint32_t roll = random.Next() % 100;
        if (roll < 84) {
            text.push_back(hanzi[random.Next() % hanzi.size()]);
        } else if (roll < 94) {
            text.push_back(punctuation[random.Next() % punctuation.size()]);
        } else if (roll < 98) {
            text.push_back(U' ');
        } else {
            text.push_back(U'\n');
        }
    }
    const std::string bytes = pelmora::EncodeUtf8(text);
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() ? 0 : 1;
}
