#include "stream_encoder.h"

#include "utf16.h"

#include <stdexcept>
#include <string>

namespace pelmora {

StreamEncoder::StreamEncoder(TextEncoding encoding) : m_encoding(encoding) {
    if (encoding == TextEncoding::Gb18030 || encoding == TextEncoding::ShiftJis) {
        throw std::invalid_argument("no encoder writes " +
                                    std::string(EncodingDisplayName(encoding)));
    }
}

std::size_t StreamEncoder::WriteUtf16(char32_t character, char* out) const {
    char16_t units[2];
    const std::size_t count = pelmora::WriteUtf16(character, units);
    const bool bigEndian = m_encoding == TextEncoding::Utf16Be;
    for (std::size_t i = 0; i < count; ++i) {
        const auto high = static_cast<char>(units[i] >> 8);
        const auto low = static_cast<char>(units[i] & 0xFF);
        out[2 * i] = bigEndian ? high : low;
        out[2 * i + 1] = bigEndian ? low : high;
    }
    return 2 * count;
}

} // namespace pelmora
