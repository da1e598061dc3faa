#include "table_test_support.h"

#include <gtest/gtest.h>

#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace pelmora::table_tests {

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + path);
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

Tables ReadTables(const std::string& directory) {
    return {ReadFile(directory + "/pin.dat"), ReadFile(directory + "/pj.dat"),
            ReadFile(directory + "/jj.dat")};
}

std::string MeaningfulBytes(const std::string& record) {
    const auto first = static_cast<std::uint8_t>(record[0]);
    return first >= 0x81 && first <= 0xFE ? record : record.substr(0, 1);
}

StrictConverter::StrictConverter(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    m_converter = ucnv_open(name, &status);
    if (U_FAILURE(status)) {
        throw std::runtime_error(std::string("no ICU converter ") + name);
    }
    ucnv_setFallback(m_converter, false);
    ucnv_setToUCallBack(m_converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setFromUCallBack(m_converter, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
}

StrictConverter::~StrictConverter() {
    ucnv_close(m_converter);
}

std::optional<std::u16string> StrictConverter::Decode(const std::string& bytes) const {
    std::u16string text(bytes.size() * 2 + 2, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        ucnv_toUChars(m_converter, text.data(), static_cast<int32_t>(text.size()), bytes.data(),
                      static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::optional<std::string> StrictConverter::Encode(const std::u16string& text) const {
    std::string bytes(text.size() * 4 + 4, '\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        ucnv_fromUChars(m_converter, bytes.data(), static_cast<int32_t>(bytes.size()), text.data(),
                        static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(length));
    return bytes;
}

std::u16string FromUtf8(const std::string& text) {
    const auto unicode = icu::UnicodeString::fromUTF8(text);
    return {unicode.getBuffer(), static_cast<std::size_t>(unicode.length())};
}

std::string ToUtf8(const std::u16string& text) {
    std::string utf8;
    icu::UnicodeString(text.data(), static_cast<int32_t>(text.size())).toUTF8String(utf8);
    return utf8;
}

std::map<std::string, std::string> PreviewsByKey(const Tables& tables) {
    const StrictConverter desktop("windows-936");
    std::map<std::string, std::string> previews;
    for (std::size_t r = 0; r < tables.RecordCount(); ++r) {
        const auto key = MeaningfulBytes(Tables::Record(tables.pin, r));
        const auto preview = desktop.Decode(MeaningfulBytes(Tables::Record(tables.jj, r)));
        previews[key] = preview ? ToUtf8(*preview) : "";
    }
    return previews;
}

bool IsJisX0208Kanji(const std::string& sjis) {
    const auto lead = static_cast<std::uint8_t>(sjis[0]);
    return sjis.size() == 2 && ((lead >= 0x88 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEA));
}

void ExpectPairReadsAsPreview(const std::string& sjis, const std::string& preview) {
    static const StrictConverter desktop("windows-936");
    static const StrictConverter shiftJis("windows-932");
    const auto codeText = desktop.Decode(sjis);
    ASSERT_TRUE(codeText && codeText->size() == 1);
    ASSERT_EQ(desktop.Encode(*codeText), sjis);
    const auto japanese = shiftJis.Decode(sjis);
    const auto shown = desktop.Decode(preview);
    ASSERT_TRUE(japanese && shown && japanese->size() == 1);
    ASSERT_EQ(*japanese, *shown);
    ASSERT_EQ(shiftJis.Encode(*japanese), sjis);
    ASSERT_TRUE(u_hasBinaryProperty((*japanese)[0], UCHAR_IDEOGRAPHIC));
}

} // namespace pelmora::table_tests
