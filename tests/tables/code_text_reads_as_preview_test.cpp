// The promise the product rests on, checked with the shipped tables over every character code
// page 936 has: the Japanese code text, written in code page 936 (what the clipboard hands a
// game), reads as Shift-JIS to exactly the preview text, character for character, whether the
// character was found, missed, passed through or could not be represented at all.
#include "both_readings.h"
#include "conversion.h"
#include "string_text.h"
#include "table_files.h"
#include "table_fixture.h"
#include "table_test_support.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

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

// Code page 932's rows beyond JIS X 0208 that some games reject: NEC row 13 and the extension
// rows, by their Shift-JIS lead byte.
bool BeyondJisX0208(unsigned char lead) {
    return lead == 0x87 || lead == 0xED || lead == 0xEE || (lead >= 0xFA && lead <= 0xFC);
}

// The lead bytes of the double-byte characters of Shift-JIS `bytes`.
std::vector<unsigned char> ShiftJisLeadBytes(const std::string& bytes) {
    std::vector<unsigned char> leads;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC)) {
            leads.push_back(byte);
            ++at;
        }
    }
    return leads;
}

std::u32string Characters(const std::vector<Record>& records) {
    std::u32string text;
    for (const Record record : records) {
        text.push_back(RecordCharacter(record));
    }
    return text;
}

// The shipped words and names in a text: every word words.dat spells otherwise than the
// per-character run, then every surname of names.dat with given-name characters after it, one
// name a line, so each run meets its words and names (the surname 邓 takes an extension kanji).
std::u32string WordsAndNames() {
    std::u32string text;
    const std::filesystem::path data = PELMORA_DATA_DIR;
    ForEachWordModelEntry(data / kWordTableName, [&](const WordModelEntry& word) {
        if (!word.spellings.empty()) {
            text += Characters(word.keys) + U"、";
        }
    });
    std::vector<std::u32string> surnames;
    std::u32string given;
    ForEachEntry(data / kNameTableName, std::array{kSurnameEntry, kGivenNameEntry},
                 [&](const EntryLayout& layout, const TableEntry& name) {
                     (layout.tag == kSurnameTag ? surnames.emplace_back() : given) +=
                         Characters(name.keys);
                 });
    for (std::size_t i = 0; i < surnames.size() && !given.empty(); ++i) {
        text += U"\n" + surnames[i] + given[i % given.size()] + given[(i + 1) % given.size()];
    }
    return text;
}

// --jis-x0208 with every run kind, over every code page 936 character and over the shipped
// words and names: the Shift-JIS bytes hold no pair of the rows beyond JIS X 0208 and read as
// exactly the preview, and every character that the same run without the setting gives a
// character within JIS X 0208 keeps it.
TEST(CodeTextReadsAsPreviewThroughTheCommandLine, JisX0208OnlyGivesNothingBeyondItAndKeepsTheRest) {
    testing::TempDirectory work;
    const std::pair<const char*, std::u32string> inputs[] = {{"every.txt", EveryInputCharacter()},
                                                             {"names.txt", WordsAndNames()}};
    for (const auto& [name, text] : inputs) {
        const std::filesystem::path input = work.Path() / name;
        testing::WriteFile(input, EncodeUtf8(text));
        for (const std::string kind : {"", "--words ", "--names "}) {
            SCOPED_TRACE(kind + name);
            const std::string sjis = RunConvert(kind + "--jis-x0208 --sjis", input);
            const std::u32string code = DecodeUtf8(RunConvert(kind + "--jis-x0208", input));
            const std::u32string preview =
                DecodeUtf8(RunConvert(kind + "--jis-x0208 --preview", input));
            const std::vector<unsigned char> leads = ShiftJisLeadBytes(sjis);
            EXPECT_EQ(std::count_if(leads.begin(), leads.end(), BeyondJisX0208), 0);
            const auto read = StrictConverter("windows-932").Decode(sjis);
            ASSERT_TRUE(read);
            std::u32string shown;
            for (const char32_t character : *read) {
                shown.push_back(AsPreviewShowsIt(character));
            }
            EXPECT_EQ(shown, preview);

            const std::u32string usualCode = DecodeUtf8(RunConvert(kind, input));
            const std::u32string usualPreview = DecodeUtf8(RunConvert(kind + "--preview", input));
            ASSERT_EQ(code.size(), text.size());
            ASSERT_EQ(usualCode.size(), text.size());
            ASSERT_EQ(preview.size(), text.size());
            std::size_t beyond = 0;
            std::string changedWithin;
            for (std::size_t i = 0; i < text.size(); ++i) {
                const std::optional<std::string> bytes = EncodeCodePage936(usualCode.substr(i, 1));
                ASSERT_TRUE(bytes);
                if (BeyondJisX0208(static_cast<unsigned char>((*bytes)[0]))) {
                    ++beyond;
                } else if (code[i] != usualCode[i] || preview[i] != usualPreview[i]) {
                    changedWithin += EncodeUtf8(text.substr(i, 1));
                }
            }
            EXPECT_EQ(changedWithin, "");
            EXPECT_GT(beyond, 0u) << "the text holds characters the setting changes";
        }
    }
}

} // namespace
} // namespace pelmora
