// The code page tables the engine carries as source, checked against ICU, which they were
// generated from: every byte and byte pair, every code point.
#include "code_page.h"
#include "shift_jis.h"
#include "table_files.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <memory>
#include <optional>
#include <string>

namespace pelmora {
namespace {

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};

class IcuCodePage {
public:
    explicit IcuCodePage(const char* name) {
        UErrorCode status = U_ZERO_ERROR;
        m_converter.reset(ucnv_open(name, &status));
        ucnv_setFallback(m_converter.get(), false);
        ucnv_setToUCallBack(m_converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                            &status);
        ucnv_setFromUCallBack(m_converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr,
                              nullptr, &status);
        EXPECT_TRUE(U_SUCCESS(status)) << name;
    }

    // The one code point `bytes` decode to, or nothing.
    std::optional<char32_t> Decode(const std::string& bytes) const {
        UChar units[4];
        UErrorCode status = U_ZERO_ERROR;
        ucnv_resetToUnicode(m_converter.get());
        const int32_t length = ucnv_toUChars(m_converter.get(), units, 4, bytes.data(),
                                             static_cast<int32_t>(bytes.size()), &status);
        if (U_FAILURE(status) || length != 1 || U16_IS_SURROGATE(units[0])) {
            return std::nullopt;
        }
        return units[0];
    }

    // The bytes of `character`; nothing when ICU cannot encode it or encodes it to nothing.
    std::optional<std::string> Encode(char32_t character) const {
        UChar units[2];
        int32_t count = 0;
        U16_APPEND_UNSAFE(units, count, character);
        char bytes[8];
        UErrorCode status = U_ZERO_ERROR;
        ucnv_resetFromUnicode(m_converter.get());
        const int32_t length =
            ucnv_fromUChars(m_converter.get(), bytes, sizeof bytes, units, count, &status);
        if (U_FAILURE(status) || length == 0) {
            return std::nullopt;
        }
        return std::string(bytes, static_cast<std::size_t>(length));
    }

private:
    std::unique_ptr<UConverter, ConverterCloser> m_converter;
};

std::string CodeBytes(CharCode code) {
    const auto value = static_cast<std::uint16_t>(code);
    return code < 0 ? std::string{static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)}
                    : std::string(1, static_cast<char>(value));
}

TEST(CodePageDataMatchesIcu, EveryRecordDecodesAsIcuDecodesIt) {
    const IcuCodePage icu("windows-936");
    int mismatches = 0;
    for (unsigned first = 0; first <= 0xFF; ++first) {
        for (unsigned second = 0; second <= 0xFF; ++second) {
            const Record record{static_cast<std::uint8_t>(first),
                                static_cast<std::uint8_t>(second)};
            const std::string bytes =
                IsLeadByte(record.first)
                    ? std::string{static_cast<char>(first), static_cast<char>(second)}
                    : std::string(1, static_cast<char>(first));
            const char32_t expected = icu.Decode(bytes).value_or(kPlaceholder);
            if (RecordCharacter(record) != expected && ++mismatches <= 10) {
                ADD_FAILURE() << std::hex << "record " << first << " " << second << ": "
                              << static_cast<unsigned>(RecordCharacter(record)) << ", ICU "
                              << static_cast<unsigned>(expected);
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// A character has a code when ICU encodes it to bytes that decode back to it: the code page's
// round-trip mappings. Default-ignorable characters, which ICU encodes to nothing, have none.
TEST(CodePageDataMatchesIcu, EveryCodePointHasTheCodeIcuGivesIt) {
    const IcuCodePage icu("windows-936");
    int mismatches = 0;
    int withCode = 0;
    for (char32_t character = 0; character <= 0x10FFFF; ++character) {
        std::optional<std::string> expected;
        if (character < 0xD800 || character > 0xDFFF) {
            expected = icu.Encode(character);
            if (expected && icu.Decode(*expected) != character) {
                expected.reset();
            }
        }
        const std::optional<CharCode> code = CharCodeOf(character);
        const std::optional<std::string> actual =
            code ? std::optional<std::string>(CodeBytes(*code)) : std::nullopt;
        withCode += actual.has_value();
        if (actual != expected && ++mismatches <= 10) {
            ADD_FAILURE() << std::hex << "U+" << static_cast<unsigned>(character);
        }
    }
    EXPECT_EQ(mismatches, 0);
    // 128 ASCII codes, the euro sign, U+F8F5 for the lone FF and the 24,066 pairs that decode.
    EXPECT_GT(withCode, 24000);
}

// The Shift-JIS reading follows ICU's windows-932, except four single bytes that IBM's table
// (which ICU uses) reads differently from Windows: Windows reads them as themselves.
TEST(CodePageDataMatchesIcu, ShiftJisDecodesAsIcuDecodesItSaveFourControlBytes) {
    const IcuCodePage icu("windows-932");
    int mismatches = 0;
    int pairs = 0;
    const auto check = [&](const std::string& bytes, std::optional<char32_t> expected) {
        const std::optional<std::u32string> actual = DecodeShiftJis(bytes);
        const std::optional<char32_t> one =
            actual && actual->size() == 1 ? std::optional<char32_t>((*actual)[0]) : std::nullopt;
        if (one != expected && ++mismatches <= 10) {
            ADD_FAILURE() << std::hex << "bytes " << static_cast<unsigned>(bytes[0] & 0xFF) << " ("
                          << bytes.size() << ")";
        }
        pairs += bytes.size() == 2 && one.has_value();
    };
    for (unsigned single = 0; single <= 0xFF; ++single) {
        const std::string bytes(1, static_cast<char>(single));
        const bool readAsItself =
            single == 0x1A || single == 0x1C || single == 0x7F || single == 0x80;
        check(bytes, readAsItself ? std::optional<char32_t>(single) : icu.Decode(bytes));
        for (unsigned trail = 0; trail <= 0xFF; ++trail) {
            const std::string pair{static_cast<char>(single), static_cast<char>(trail)};
            const bool lead = (single >= 0x81 && single <= 0x9F) || single >= 0xE0;
            if (lead) {
                check(pair, icu.Decode(pair));
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(pairs, 9000) << "double-byte characters code page 932 reads (9,604 in ICU 72)";
}

// Where code page 932 holds a character twice (a sign in JIS X 0208 and NEC row 13, a kanji in
// the IBM rows and their NEC-selected copies), ICU writes the code Windows writes, as the
// Shift-JIS encoding does; the four control bytes above again read and write as themselves.
TEST(CodePageDataMatchesIcu, ShiftJisEncodesAsIcuEncodesIt) {
    const IcuCodePage icu("windows-932");
    int mismatches = 0;
    int withCode = 0;
    for (char32_t character = 0; character <= 0xFFFF; ++character) {
        std::optional<std::string> expected;
        if (character == 0x1A || character == 0x1C || character == 0x7F || character == 0x80) {
            expected = std::string(1, static_cast<char>(character));
        } else if (character < 0xD800 || character > 0xDFFF) {
            expected = icu.Encode(character);
            if (expected && icu.Decode(*expected) != character) {
                expected.reset();
            }
        }
        const std::optional<std::uint16_t> code = ShiftJisCode(character);
        const std::optional<std::string> actual =
            code ? std::optional<std::string>(CodeBytes(static_cast<CharCode>(*code)))
                 : std::nullopt;
        withCode += actual.has_value();
        if (actual != expected && ++mismatches <= 10) {
            ADD_FAILURE() << std::hex << "U+" << static_cast<unsigned>(character) << ": "
                          << (code ? *code : 0) << ", ICU "
                          << (expected ? static_cast<unsigned>(expected->front() & 0xFF) : 0u);
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(withCode, 7000);
}

} // namespace
} // namespace pelmora
