// The promise the product rests on, checked with the shipped tables over every character code
// page 936 has: the Japanese code text, written in code page 936 (what the clipboard hands a
// game), reads as Shift-JIS to exactly the preview text, character for character, whether the
// character was found, missed, passed through or could not be represented at all.
#include "both_readings.h"
#include "conversion.h"
#include "string_text.h"
#include "table_fixture.h"
#include "table_test_support.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace pelmora {
namespace {

using testing::EncodeCodePage936;
using testing::StringSink;
using testing::StringSource;

using table_tests::StrictConverter;

// Every character of code page 936 (its single bytes and all double-byte pairs that decode),
// then printable ASCII, tab, CR and LF, and characters the code page cannot represent: code 0,
// a byte order mark, a soft hyphen, an emoji and an ideograph beyond GBK.
std::u32string EveryInputCharacter() {
    const StrictConverter desktop("windows-936");
    std::u32string text;
    const auto add = [&](const std::string& bytes) {
        if (const auto decoded = desktop.Decode(bytes); decoded && decoded->size() == 1) {
            text.push_back((*decoded)[0]);
        }
    };
    for (int single = 0x80; single <= 0xFF; ++single) {
        add(std::string(1, static_cast<char>(single)));
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            add({static_cast<char>(lead), static_cast<char>(trail)});
        }
    }
    for (char32_t ascii = 0x20; ascii <= 0x7E; ++ascii) {
        text.push_back(ascii);
    }
    text += U"\t\r\n";
    text += std::u32string{U'\0', U'\uFEFF', U'\u00AD', U'\U0001F600', U'\U00020000'};
    return text;
}

// What the preview shows for a character that code page 932 gives: the character itself, except
// the katakana middle dot, which code page 936 lacks and the preview shows as the middle dot.
char32_t AsPreviewShowsIt(char32_t japanese) {
    return japanese == U'\u30FB' ? U'\u00B7' : japanese;
}

// Each code text character written in code page 936, then read as Shift-JIS on its own: one
// message per character that does not come back as its preview character.
std::string Mismatches(const std::u32string& input, const std::u32string& code,
                       const std::u32string& preview) {
    const StrictConverter shiftJis("windows-932");
    std::string found;
    int shown = 0;
    for (std::size_t i = 0; i < input.size() && shown < 20; ++i) {
        const std::optional<std::string> bytes = EncodeCodePage936(code.substr(i, 1));
        const auto read = bytes ? shiftJis.Decode(*bytes) : std::nullopt;
        const bool same = read && read->size() == 1 && AsPreviewShowsIt((*read)[0]) == preview[i];
        if (!same) {
            char codePoint[16];
            std::snprintf(codePoint, sizeof codePoint, "U+%04X", static_cast<unsigned>(input[i]));
            found += std::string(codePoint) + " code " + EncodeUtf8(code.substr(i, 1)) +
                     " preview " + EncodeUtf8(preview.substr(i, 1)) + "\n";
            ++shown;
        }
    }
    return found;
}

class CodeTextReadsAsPreviewTest : public ::testing::TestWithParam<TableReading> {};

TEST_P(CodeTextReadsAsPreviewTest, ForEveryCharacterOfTheCodePage) {
    const std::u32string input = EveryInputCharacter();
    ASSERT_GT(input.size(), 21000u);
    StringSource source(EncodeUtf8(input));
    StringSink code;
    StringSink preview;
    TablePaths paths;
    testing::RecordingReport report;
    ConvertText(RunKind::PerCharacter, source, code, preview, paths, {PELMORA_DATA_DIR, GetParam()},
                report);
    EXPECT_TRUE(report.Entries().empty());
    ASSERT_EQ(code.Text().size(), input.size());
    ASSERT_EQ(preview.Text().size(), input.size());
    EXPECT_EQ(Mismatches(input, code.Text(), preview.Text()), "");
}

INSTANTIATE_TEST_SUITE_P(BothReadings, CodeTextReadsAsPreviewTest, testing::BothReadings(),
                         testing::ReadingName);

std::string RunConvert(const std::string& option, const std::filesystem::path& input) {
    const std::string command = std::string("'") + PELMORA_CONVERT + "' --tables '" +
                                PELMORA_DATA_DIR + "' " + option + " '" + input.string() + "'";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[4096];
    for (std::size_t n; pipe != nullptr && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, n);
    }
    EXPECT_TRUE(pipe != nullptr && pclose(pipe) == 0) << command;
    return output;
}

TEST(CodeTextReadsAsPreviewThroughTheCommandLine, ShiftJisBytesReadAsThePreview) {
    testing::TempDirectory work;
    const std::filesystem::path input = work.Path() / "every.txt";
    testing::WriteFile(input, EncodeUtf8(EveryInputCharacter()));
    const std::string sjis = RunConvert("--sjis", input);
    const std::u32string preview = DecodeUtf8(RunConvert("--preview", input));
    const auto read = StrictConverter("windows-932").Decode(sjis);
    ASSERT_TRUE(read) << "the --sjis output is not strict Shift-JIS";
    std::u32string shown;
    for (std::size_t at = 0; at < read->size(); ++at) {
        char32_t unit = (*read)[at];
        EXPECT_FALSE(unit >= 0xD800 && unit <= 0xDFFF) << "Shift-JIS never reads as a surrogate";
        shown.push_back(AsPreviewShowsIt(unit));
    }
    EXPECT_EQ(shown, preview);
    EXPECT_EQ(preview.size(), EveryInputCharacter().size());
}

} // namespace
} // namespace pelmora
