#include "code_page.h"

#include "runtime_error.h"

#include <unicode/ucnv.h>

#include <array>
#include <memory>

namespace pelmora {

namespace {

constexpr std::int32_t kNoCode = INT32_MIN;
constexpr std::size_t kBmpSize = 0x10000;

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

ConverterPtr OpenCodePage936() {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open("windows-936", &status));
    if (U_FAILURE(status)) {
        throw RuntimeError(ErrorNumber::InternalError, "code page 936 converter");
    }
    // Only round-trip mappings: a character the code page merely approximates is not in it.
    ucnv_setFallback(converter.get(), false);
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
    return converter;
}

// Both directions of code page 936, worked out once through ICU and then looked up, because the
// conversion asks for a character's code at least once per input character.
class CodePage936Tables {
public:
    CodePage936Tables() {
        ConverterPtr converter = OpenCodePage936();
        m_decoded.fill(kPlaceholder);
        m_codes.fill(kNoCode);
        for (unsigned single = 0; single <= 0xFF; ++single) {
            if (!IsLeadByte(static_cast<std::uint8_t>(single))) {
                const char bytes[] = {static_cast<char>(single)};
                Learn(converter.get(), static_cast<std::uint16_t>(single), {bytes, 1});
            }
        }
        for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                const char bytes[] = {static_cast<char>(lead), static_cast<char>(trail)};
                Learn(converter.get(), static_cast<std::uint16_t>(lead << 8 | trail), {bytes, 2});
            }
        }
    }

    char32_t Decode(std::uint16_t bytes) const { return m_decoded[bytes]; }

    std::optional<CharCode> Code(char32_t character) const {
        if (character >= kBmpSize || m_codes[character] == kNoCode) {
            return std::nullopt;
        }
        return static_cast<CharCode>(m_codes[character]);
    }

private:
    // Records what `bytes` decode to, and the code of that character when encoding it gives
    // back exactly these bytes (some characters have more than one byte sequence; the encoder's
    // choice is the code).
    void Learn(UConverter* converter, std::uint16_t index, std::string_view bytes) {
        UChar units[4];
        UErrorCode status = U_ZERO_ERROR;
        const int32_t length = ucnv_toUChars(converter, units, 4, bytes.data(),
                                             static_cast<int32_t>(bytes.size()), &status);
        if (U_FAILURE(status) || length != 1 || U16_IS_SURROGATE(units[0])) {
            return;
        }
        m_decoded[index] = units[0];
        char encoded[4];
        status = U_ZERO_ERROR;
        const int32_t encodedLength = ucnv_fromUChars(converter, encoded, 4, units, 1, &status);
        if (U_SUCCESS(status) && std::string_view(encoded, encodedLength) == bytes) {
            m_codes[units[0]] = static_cast<std::int16_t>(index);
        }
    }

    std::array<char32_t, kBmpSize> m_decoded{};
    std::array<std::int32_t, kBmpSize> m_codes{};
};

const CodePage936Tables& Tables() {
    static const CodePage936Tables tables;
    return tables;
}

} // namespace

std::optional<CharCode> CharCodeOf(char32_t character) {
    return Tables().Code(character);
}

CharCode RecordCode(Record record) {
    if (IsLeadByte(record.first)) {
        return static_cast<CharCode>(record.first << 8 | record.second);
    }
    return static_cast<CharCode>(record.first);
}

char32_t RecordCharacter(Record record) {
    if (IsLeadByte(record.first)) {
        return Tables().Decode(static_cast<std::uint16_t>(record.first << 8 | record.second));
    }
    return Tables().Decode(record.first);
}

bool AppendCodePage936(char32_t character, std::string& out) {
    const std::optional<CharCode> code = CharCodeOf(character);
    if (!code) {
        return false;
    }
    const auto value = static_cast<std::uint16_t>(*code);
    if (*code < 0) {
        out.push_back(static_cast<char>(value >> 8));
    }
    out.push_back(static_cast<char>(value & 0xFF));
    return true;
}

std::optional<std::string> EncodeCodePage936(std::u32string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (const char32_t character : text) {
        if (!AppendCodePage936(character, bytes)) {
            return std::nullopt;
        }
    }
    return bytes;
}

} // namespace pelmora
