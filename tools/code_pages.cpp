#include "code_pages.h"

#include <unicode/ucnv_err.h>
#include <unicode/unistr.h>
#include <unicode/utf16.h>

#include <stdexcept>

namespace pelmora::tables {

StrictCodePage::StrictCodePage(const char* icu_name) {
    UErrorCode status = U_ZERO_ERROR;
    converter_.reset(ucnv_open(icu_name, &status));
    if (U_FAILURE(status)) {
        throw std::runtime_error(std::string("cannot open ICU converter ") + icu_name);
    }
    ucnv_setFallback(converter_.get(), false);
    ucnv_setToUCallBack(converter_.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
    ucnv_setFromUCallBack(converter_.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
    if (U_FAILURE(status)) {
        throw std::runtime_error(std::string("cannot set up ICU converter ") + icu_name);
    }
}

std::optional<UChar32> StrictCodePage::decode(std::string_view bytes) const {
    // ICU applies reverse fallbacks when decoding whatever the fallback flag says, so the
    // character is only trusted when encoding it gives the same bytes back.
    const auto c = decode_any(bytes);
    if (!c || encode_any(*c) != std::string(bytes)) {
        return std::nullopt;
    }
    return c;
}

std::optional<std::string> StrictCodePage::encode(UChar32 c) const {
    // Fallbacks from private-use code points are also always on, hence the check back.
    auto bytes = encode_any(c);
    if (!bytes || decode_any(*bytes) != c) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<UChar32> StrictCodePage::decode_any(std::string_view bytes) const {
    UChar units[4];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_toUChars(converter_.get(), units, 4, bytes.data(),
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

std::optional<std::string> StrictCodePage::encode_any(UChar32 c) const {
    UChar units[2];
    int32_t unit_count = 0;
    UBool error = false;
    U16_APPEND(units, unit_count, 2, c, error);
    if (error) {
        return std::nullopt;
    }
    char bytes[8];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        ucnv_fromUChars(converter_.get(), bytes, sizeof bytes, units, unit_count, &status);
    if (U_FAILURE(status) || length == 0) {
        return std::nullopt;
    }
    return std::string(bytes, static_cast<std::size_t>(length));
}

bool is_jis_x0208_lead(std::uint8_t lead) {
    return (lead >= 0x81 && lead <= 0x84) || (lead >= 0x88 && lead <= 0x9F) ||
           (lead >= 0xE0 && lead <= 0xEA);
}

bool is_nec_row13_lead(std::uint8_t lead) {
    return lead == 0x87;
}

bool is_extension_lead(std::uint8_t lead) {
    return lead == 0xED || lead == 0xEE || (lead >= 0xFA && lead <= 0xFC);
}

std::string utf8(UChar32 c) {
    std::string text;
    icu::UnicodeString(c).toUTF8String(text);
    return text;
}

} // namespace pelmora::tables
