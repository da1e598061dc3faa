#include "code_page.h"

#include "code_page_data.h"

#include <array>

namespace pelmora {

namespace {

using code_page_data::kNoCharacter;

constexpr std::size_t kBmpSize = 0x10000;
// No character has this code: FF is no lead byte, so no pair starts with it.
constexpr std::uint16_t kNoCode = 0xFFFF;

// The character the code page 936 bytes `code` stand for (a byte value, or lead * 256 + trail),
// or kNoCharacter.
std::uint16_t DecodedCharacter(std::uint16_t code) {
    const unsigned lead = code >> 8;
    const unsigned trail = code & 0xFF;
    if (lead == 0) {
        return code_page_data::kCodePage936Singles[trail];
    }
    if (!IsLeadByte(static_cast<std::uint8_t>(lead)) ||
        trail < code_page_data::kCodePage936FirstTrail ||
        trail > code_page_data::kCodePage936LastTrail) {
        return kNoCharacter;
    }
    return code_page_data::kCodePage936Pairs[(lead - code_page_data::kCodePage936FirstLead) *
                                                 code_page_data::kCodePage936TrailCount +
                                             (trail - code_page_data::kCodePage936FirstTrail)];
}

// The code of each BMP character, the decoding table turned round. Every character the table
// decodes encodes back to the same bytes (the table's generator checks it), so the inverse is
// exact.
class CodePage936Codes {
public:
    CodePage936Codes() {
        m_codes.fill(kNoCode);
        for (unsigned single = 0; single <= 0xFF; ++single) {
            Learn(static_cast<std::uint16_t>(single));
        }
        for (unsigned lead = code_page_data::kCodePage936FirstLead; lead <= 0xFE; ++lead) {
            for (unsigned trail = code_page_data::kCodePage936FirstTrail;
                 trail <= code_page_data::kCodePage936LastTrail; ++trail) {
                Learn(static_cast<std::uint16_t>(lead << 8 | trail));
            }
        }
    }

    std::optional<CharCode> Code(char32_t character) const {
        if (character >= kBmpSize || m_codes[character] == kNoCode) {
            return std::nullopt;
        }
        return static_cast<CharCode>(m_codes[character]);
    }

private:
    void Learn(std::uint16_t code) {
        const std::uint16_t character = DecodedCharacter(code);
        if (character != kNoCharacter) {
            m_codes[character] = code;
        }
    }

    std::array<std::uint16_t, kBmpSize> m_codes{};
};

const CodePage936Codes& Codes() {
    static const CodePage936Codes codes;
    return codes;
}

} // namespace

std::optional<CharCode> CharCodeOf(char32_t character) {
    return Codes().Code(character);
}

std::optional<char32_t> CodePage936Character(std::uint16_t code) {
    const std::uint16_t character = DecodedCharacter(code);
    if (character == kNoCharacter) {
        return std::nullopt;
    }
    return character;
}

std::size_t WriteCodePage936(char32_t character, char* out) {
    const std::optional<CharCode> code = CharCodeOf(character);
    if (!code) {
        return 0;
    }
    const auto value = static_cast<std::uint16_t>(*code);
    std::size_t written = 0;
    if (*code < 0) {
        out[written++] = static_cast<char>(value >> 8);
    }
    out[written++] = static_cast<char>(value & 0xFF);
    return written;
}

bool AppendCodePage936(char32_t character, std::string& out) {
    char bytes[2];
    const std::size_t written = WriteCodePage936(character, bytes);
    out.append(bytes, written);
    return written > 0;
}

} // namespace pelmora
