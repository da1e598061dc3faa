// The code page tables the engine carries as source, checked against the system's own code
// pages 936 and 932 (MultiByteToWideChar, WideCharToMultiByte): every byte and byte pair, every
// BMP character. The tables come from ICU; where ICU and Windows are known to part, the test
// names the difference and what Pelmora does.
#include "code_page.h"
#include "shift_jis.h"
#include "table_files.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include <windows.h>

namespace pelmora {
namespace {

// The one character the system decodes `bytes` to, refusing invalid bytes.
std::optional<char32_t> SystemDecode(UINT codePage, const std::string& bytes) {
    wchar_t units[4];
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                           static_cast<int>(bytes.size()), units, 4);
    if (length != 1 || (units[0] >= 0xD800 && units[0] <= 0xDFFF)) {
        return std::nullopt;
    }
    return units[0];
}

// The bytes of `character` when the system encodes it exactly (no default character, no best
// fit) and they decode back to it.
std::optional<std::string> SystemEncode(char32_t character, UINT codePage = 936) {
    const wchar_t unit = static_cast<wchar_t>(character);
    char bytes[8];
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, &unit, 1, bytes,
                                           sizeof bytes, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) {
        return std::nullopt;
    }
    const std::string encoded(bytes, static_cast<std::size_t>(length));
    if (SystemDecode(codePage, encoded) != character) {
        return std::nullopt;
    }
    return encoded;
}

std::string CodeBytes(CharCode code) {
    const auto value = static_cast<std::uint16_t>(code);
    return code < 0 ? std::string{static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)}
                    : std::string(1, static_cast<char>(value));
}

// ICU reads a lone FF as U+F8F5 (a private-use character Windows also puts there); the system
// may call it invalid. Pelmora keeps ICU's reading on every platform, so a table record FF reads
// the same everywhere.
bool IsLoneFf(const Record& record) {
    return record.first == 0xFF;
}

TEST(CodePageDataMatchesWindows, EveryRecordDecodesAsTheSystemDecodesIt) {
    int mismatches = 0;
    for (unsigned first = 0; first <= 0xFF; ++first) {
        for (unsigned second = 0; second <= 0xFF; ++second) {
            const Record record{static_cast<std::uint8_t>(first),
                                static_cast<std::uint8_t>(second)};
            const std::string bytes =
                IsLeadByte(record.first)
                    ? std::string{static_cast<char>(first), static_cast<char>(second)}
                    : std::string(1, static_cast<char>(first));
            const char32_t expected = SystemDecode(936, bytes).value_or(kPlaceholder);
            const char32_t actual = RecordCharacter(record);
            if (IsLoneFf(record)) {
                EXPECT_EQ(actual, U'\uF8F5');
                EXPECT_TRUE(expected == kPlaceholder || expected == U'\uF8F5');
            } else if (actual != expected && ++mismatches <= 10) {
                ADD_FAILURE() << std::hex << "record " << first << " " << second << ": "
                              << static_cast<unsigned>(actual) << ", system "
                              << static_cast<unsigned>(expected);
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// Default-ignorable characters (U+00AD, U+200B, U+FEFF ...) have no code page 936 bytes: ICU
// encodes them to nothing, Windows refuses them, and Pelmora shows them as misses either way.
TEST(CodePageDataMatchesWindows, EveryBmpCharacterHasTheCodeTheSystemGivesIt) {
    int mismatches = 0;
    int withCode = 0;
    for (char32_t character = 0; character <= 0xFFFF; ++character) {
        const bool surrogate = character >= 0xD800 && character <= 0xDFFF;
        const std::optional<std::string> expected =
            surrogate ? std::nullopt : SystemEncode(character);
        const std::optional<CharCode> code = CharCodeOf(character);
        const std::optional<std::string> actual =
            code ? std::optional<std::string>(CodeBytes(*code)) : std::nullopt;
        withCode += actual.has_value();
        if (character == U'\uF8F5' && actual == std::string("\xFF")) {
            continue; // the lone FF above
        }
        if (actual != expected && ++mismatches <= 10) {
            ADD_FAILURE() << std::hex << "U+" << static_cast<unsigned>(character) << ": "
                          << (actual ? "has a code" : "none") << ", system "
                          << (expected ? "has a code" : "none");
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(withCode, 24000);
    for (const char32_t ignorable : {U'\u00AD', U'\u200B', U'\uFEFF'}) {
        EXPECT_EQ(CharCodeOf(ignorable), std::nullopt);
    }
}

TEST(CodePageDataMatchesWindows, ShiftJisDecodesAsTheSystemDecodesIt) {
    int mismatches = 0;
    const auto check = [&](const std::string& bytes) {
        const std::optional<std::u32string> actual = DecodeShiftJis(bytes);
        const std::optional<char32_t> one =
            actual && actual->size() == 1 ? std::optional<char32_t>((*actual)[0]) : std::nullopt;
        if (one != SystemDecode(932, bytes) && ++mismatches <= 10) {
            ADD_FAILURE() << std::hex << "bytes " << static_cast<unsigned>(bytes[0] & 0xFF) << " "
                          << (bytes.size() > 1 ? static_cast<unsigned>(bytes[1] & 0xFF) : 0u);
        }
    };
    for (unsigned first = 0; first <= 0xFF; ++first) {
        check(std::string(1, static_cast<char>(first)));
        const bool lead = (first >= 0x81 && first <= 0x9F) || (first >= 0xE0 && first <= 0xFC);
        for (unsigned trail = 0; lead && trail <= 0xFF; ++trail) {
            check({static_cast<char>(first), static_cast<char>(trail)});
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// Where code page 932 holds a character twice (a sign in JIS X 0208 and NEC row 13, a kanji in
// the IBM rows and their NEC-selected copies), the code the system writes.
TEST(CodePageDataMatchesWindows, ShiftJisEncodesAsTheSystemEncodesIt) {
    int mismatches = 0;
    for (char32_t character = 0; character <= 0xFFFF; ++character) {
        const bool surrogate = character >= 0xD800 && character <= 0xDFFF;
        const std::optional<std::string> expected =
            surrogate ? std::nullopt : SystemEncode(character, 932);
        const std::optional<std::uint16_t> code = ShiftJisCode(character);
        const std::optional<std::string> actual =
            code ? std::optional<std::string>(CodeBytes(static_cast<CharCode>(*code)))
                 : std::nullopt;
        if (actual != expected && ++mismatches <= 10) {
            ADD_FAILURE() << std::hex << "U+" << static_cast<unsigned>(character) << ": "
                          << (code ? *code : 0u) << ", system "
                          << (expected ? static_cast<unsigned>(expected->front() & 0xFF) : 0u);
        }
    }
    EXPECT_EQ(mismatches, 0);
}

} // namespace
} // namespace pelmora
