#include "shift_jis.h"

#include "code_page_data.h"

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

} // namespace

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
