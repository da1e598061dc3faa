#pragma once

#include "utf8.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <string>

namespace pelmora::testing {

/// What a Japanese program reads in `bytes`: a strict code page 932 decoding. A byte sequence
/// that is no character fails the calling test.
inline std::u32string DecodeShiftJis(const std::string& bytes) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open("windows-31j", &status);
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    std::u16string utf16(bytes.size() * 2 + 2, u'\0');
    const int32_t length =
        ucnv_toUChars(converter, utf16.data(), static_cast<int32_t>(utf16.size()), bytes.data(),
                      static_cast<int32_t>(bytes.size()), &status);
    ucnv_close(converter);
    EXPECT_TRUE(U_SUCCESS(status)) << u_errorName(status);
    std::string utf8;
    for (int32_t at = 0; at < length; ++at) {
        AppendUtf8(utf16[static_cast<std::size_t>(at)], utf8);
    }
    return DecodeUtf8(utf8);
}

} // namespace pelmora::testing
