#include "code_pages.h"

#include <unicode/ucnv_err.h>
#include <unicode/unistr.h>
#include <unicode/utf16.h>

#include <stdexcept>

namespace pelmora::tables {

StrictCodePage::StrictCodePage(const char* icuName) {
    UErrorCode status = U_ZERO_ERROR;
    m_converter.reset(ucnv_open(icuName, &status));
    if (U_FAILURE(status)) {
        throw std::runtime_error(std::string("cannot open ICU converter ") + icuName);
    }
    ucnv_setFallback(m_converter.get(), false);
    ucnv_setToUCallBack(m_converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
    ucnv_setFromUCallBack(m_converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
    if (U_FAILURE(status)) {
        throw std::runtime_error(std::string("cannot set up ICU converter ") + icuName);
    }
}

std::optional<UChar32> StrictCodePage::Decode(std::string_view bytes) const {
    // ICU applies reverse fallbacks when decoding whatever the fallback flag says, so the
    // character is only trusted when encoding it gives the same bytes back.
    const auto c = DecodeAny(bytes);
    if (!c || EncodeAny(*c) != std::string(bytes)) {
        return std::nullopt;
    }
    return c;
}

std::optional<std::string> StrictCodePage::Encode(UChar32 c) const {
    // Fallbacks from private-use code points are also always on, hence the check back.
    auto bytes = EncodeAny(c);
    if (!bytes || DecodeAny(*bytes) != c) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<UChar32> StrictCodePage::DecodeAny(std::string_view bytes) const {
    UChar units[4];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_toUChars(m_converter.get(), units, 4, bytes.data(),
                                         static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status) || status == U_STRING_NOT_TERMINATED_WARNING || length == 0) {
        return std::nullopt;
    }
    UChar32 c = 0;
    int32_t index = 0;
    U16_NEXT(units, index, length, c);
    if (index != length) {
        return std::nullopt;
    }
    return c;
}

std::optional<std::string> StrictCodePage::EncodeAny(UChar32 c) const {
    UChar units[2];
    int32_t unitCount = 0;
    UBool error = false;
    U16_APPEND(units, unitCount, 2, c, error);
    if (error) {
        return std::nullopt;
    }
    char bytes[8];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        ucnv_fromUChars(m_converter.get(), bytes, sizeof bytes, units, unitCount, &status);
    if (U_FAILURE(status) || length == 0) {
        return std::nullopt;
    }
    return std::string(bytes, static_cast<std::size_t>(length));
}

bool IsJisX0208Lead(std::uint8_t lead) {
    return (lead >= 0x81 && lead <= 0x84) || (lead >= 0x88 && lead <= 0x9F) ||
           (lead >= 0xE0 && lead <= 0xEA);
}

bool IsNecRow13Lead(std::uint8_t lead) {
    return lead == 0x87;
}

bool IsExtensionLead(std::uint8_t lead) {
    return lead == 0xED || lead == 0xEE || (lead >= 0xFA && lead <= 0xFC);
}

std::string Utf8(UChar32 c) {
    std::string text;
    icu::UnicodeString(c).toUTF8String(text);
    return text;
}

} // namespace pelmora::tables
