#include "shift_jis.h"

#include "code_page_data.h"

#include <array>
#include <cstdint>

namespace pelmora {

namespace {

using code_page_data::kNoCharacter;

// Leads 81-9F come first in the pair table, then E0-FC.
std::size_t LeadIndex(unsigned lead) {
    return lead <= 0x9F ? lead - 0x81 : (0x9F - 0x81 + 1) + (lead - 0xE0);
}

std::uint16_t DecodePair(unsigned lead, unsigned trail) {
    if (trail < code_page_data::kShiftJisFirstTrail || trail > code_page_data::kShiftJisLastTrail) {
        return kNoCharacter;
    }
    return code_page_data::kShiftJisPairs[LeadIndex(lead) * code_page_data::kShiftJisTrailCount +
                                          (trail - code_page_data::kShiftJisFirstTrail)];
}

// The decoding table turned round, filled in the order of preference: the leads outside the
// NEC-selected rows ED-EE in ascending order (JIS X 0208, NEC row 13 at 87, the IBM rows
// FA-FC), then ED-EE for what only they hold. A later code never replaces an earlier one.
class ShiftJisCodes {
public:
    ShiftJisCodes() {
        m_codes.fill(kNoCode);
        for (unsigned single = 0; single <= 0xFF; ++single) {
            if (!IsShiftJisLeadByte(static_cast<std::uint8_t>(single))) {
                Learn(static_cast<std::uint16_t>(single));
            }
        }
        for (const bool necSelected : {false, true}) {
            for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
                if (IsShiftJisLeadByte(static_cast<std::uint8_t>(lead)) &&
                    IsNecSelected(lead) == necSelected) {
                    LearnRow(lead);
                }
            }
        }
    }

    std::optional<std::uint16_t> Code(char32_t character) const {
        if (character >= m_codes.size() || m_codes[character] == kNoCode) {
            return std::nullopt;
        }
        return m_codes[character];
    }

private:
    // FFFF is no code: FF is no lead byte and no character.
    static constexpr std::uint16_t kNoCode = 0xFFFF;

    static bool IsNecSelected(unsigned lead) { return lead == 0xED || lead == 0xEE; }

    void LearnRow(unsigned lead) {
        for (unsigned trail = code_page_data::kShiftJisFirstTrail;
             trail <= code_page_data::kShiftJisLastTrail; ++trail) {
            Learn(static_cast<std::uint16_t>(lead << 8 | trail));
        }
    }

    void Learn(std::uint16_t code) {
        const std::optional<char32_t> character = ShiftJisCharacter(code);
        if (character && m_codes[*character] == kNoCode) {
            m_codes[*character] = code;
        }
    }

    std::array<std::uint16_t, 0x10000> m_codes{};
};

} // namespace

std::optional<std::uint16_t> ShiftJisCode(char32_t character) {
    static const ShiftJisCodes codes;
    return codes.Code(character);
}

std::optional<char32_t> ShiftJisCharacter(std::uint16_t code) {
    const unsigned lead = code >> 8;
    std::uint16_t character = kNoCharacter;
    if (lead == 0) {
        character = code_page_data::kShiftJisSingles[code];
    } else if (IsShiftJisLeadByte(static_cast<std::uint8_t>(lead))) {
        character = DecodePair(lead, code & 0xFFu);
    }
    if (character == kNoCharacter) {
        return std::nullopt;
    }
    return character;
}

std::optional<std::u32string> DecodeShiftJis(std::string_view bytes) {
    std::u32string text;
    text.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const auto byte = static_cast<std::uint8_t>(bytes[at]);
        std::uint16_t character = kNoCharacter;
        if (!IsShiftJisLeadByte(byte)) {
            character = code_page_data::kShiftJisSingles[byte];
        } else if (at + 1 < bytes.size()) {
            character = DecodePair(byte, static_cast<std::uint8_t>(bytes[++at]));
        }
        if (character == kNoCharacter) {
            return std::nullopt;
        }
        text.push_back(character);
    }
    return text;
}

} // namespace pelmora
