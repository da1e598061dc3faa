// Runs one conversion per fuzz input over tables and text taken from that input, once with each
// table reading, and aborts when anything that must hold for every table and every text fails.

#include "conversion.h"
#include "fuzz_input.h"
#include "reverse_run.h"
#include "runtime_error.h"
#include "string_text.h"
#include "utf8.h"
#include "word_tables.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

namespace pelmora::fuzz {
namespace {

using testing::StringSource;
using testing::Utf8Sink;

namespace fs = std::filesystem;

// Stops the fuzzer with the broken rule, so the crash file and the message go together.
void Require(bool holds, const char* rule) {
    if (!holds) {
        std::fprintf(stderr, "pelmora fuzz: broken rule: %s\n", rule);
        std::abort();
    }
}

class RecordedReports final : public ErrorReport {
public:
    void Show(std::string_view title, std::string_view text) override {
        m_lines.push_back(std::string(title) + "|" + std::string(text));
    }
    bool AnyTitled(std::string_view title) const {
        for (const std::string& line : m_lines) {
            if (line.starts_with(title)) {
                return true;
            }
        }
        return false;
    }
    bool AnyContains(std::string_view part) const {
        for (const std::string& line : m_lines) {
            if (line.find(part) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
    const std::vector<std::string>& Lines() const { return m_lines; }

private:
    std::vector<std::string> m_lines;
};

struct RunResult {
    std::string japaneseCode;
    std::string preview;
    RecordedReports reports;
};

bool SameResult(const RunResult& a, const RunResult& b) {
    return a.japaneseCode == b.japaneseCode && a.preview == b.preview &&
           a.reports.Lines() == b.reports.Lines();
}

// The tables of one fuzz input live in this directory for that input only: libFuzzer ends the
// process without running exit handlers, so nothing may be left to clean up at exit.
class TableDirectory {
public:
    TableDirectory()
        : m_path(fs::temp_directory_path() / ("pelmora-fuzz-" + std::to_string(getpid()))) {
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~TableDirectory() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    TableDirectory(const TableDirectory&) = delete;
    TableDirectory& operator=(const TableDirectory&) = delete;
    const fs::path& Path() const { return m_path; }

private:
    fs::path m_path;
};

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Require(static_cast<bool>(out), "the fuzzer can write its tables");
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Where each of the fuzz case's files goes.
std::array<fs::path, 5> Places(const fs::path& directory) {
    const TablePaths paths = FormTablePaths(directory);
    return {paths.pinfile, paths.pjfile, paths.jjfile, directory / kWordTableName,
            directory / kCandidateTableName};
}

void PlaceTables(const FuzzCase& fuzzCase, const fs::path& directory) {
    const std::array<fs::path, 5> places = Places(directory);
    for (std::size_t i = 0; i < fuzzCase.tables.size(); ++i) {
        fs::remove_all(places[i]);
        const TableContents& table = fuzzCase.tables[i];
        if (table.kind == TableContents::Kind::File) {
            WriteBytes(places[i], table.bytes);
        } else if (table.kind == TableContents::Kind::Directory) {
            fs::create_directory(places[i]);
        }
    }
}

void RequireTablesUnchanged(const FuzzCase& fuzzCase, const fs::path& directory) {
    const std::array<fs::path, 5> places = Places(directory);
    for (std::size_t i = 0; i < fuzzCase.tables.size(); ++i) {
        const TableContents& table = fuzzCase.tables[i];
        switch (table.kind) {
        case TableContents::Kind::File:
            Require(ReadBytes(places[i]) == table.bytes, "a conversion never writes a table");
            break;
        case TableContents::Kind::Missing:
            Require(!fs::exists(fs::symlink_status(places[i])),
                    "a conversion never creates a missing table");
            break;
        case TableContents::Kind::Directory:
            Require(fs::is_directory(places[i]), "a directory in a table's place stays");
            break;
        }
    }
}

int OpenFileCount() {
    int count = 0;
    for (auto it = fs::directory_iterator("/proc/self/fd"); it != fs::directory_iterator(); ++it) {
        ++count;
    }
    return count;
}

std::size_t CodePointCount(std::string_view utf8) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < utf8.size(); ++count) {
        NextCodePoint(utf8, at);
    }
    return count;
}

RunResult Run(const std::string& text, const fs::path& directory, TableReading reading,
              bool byWords, KanjiSet kanji = KanjiSet::CodePage932) {
    const int openBefore = OpenFileCount();
    StringSource input(text);
    Utf8Sink japaneseCode;
    Utf8Sink preview;
    TablePaths paths;
    RunResult result;
    ConvertText(byWords ? RunKind::ByWords : RunKind::PerCharacter, input, japaneseCode, preview,
                paths, {directory, reading}, result.reports, kanji);
    Require(OpenFileCount() == openBefore, "every table is closed when the run ends");
    result.japaneseCode = std::move(japaneseCode.Text());
    result.preview = std::move(preview.Text());
    return result;
}

void CheckRun(const RunResult& result, std::size_t inputCharacters) {
    Require(!FindInvalidUtf8(result.japaneseCode), "the Japanese code text is valid UTF-8");
    Require(!FindInvalidUtf8(result.preview), "the preview text is valid UTF-8");
    const std::size_t codeCharacters = CodePointCount(result.japaneseCode);
    Require(codeCharacters == CodePointCount(result.preview),
            "both outputs get one character per input character");
    if (result.reports.AnyTitled(kConversionErrorTitle)) {
        Require(codeCharacters <= inputCharacters, "a failed run keeps only what it appended");
    } else {
        Require(codeCharacters == inputCharacters,
                "a run without failure converts every input character");
    }
    Require(result.japaneseCode.find("\u25A1") == std::string::npos,
            "the code text never holds the preview's placeholder, which a game misreads");
    // Tables that stay put during the run leave the key search nothing to fail on.
    Require(!result.reports.AnyTitled(kObtainErrorTitle), "the key search does not fail");
    Require(!result.reports.AnyContains("ErrorNo:51") && !result.reports.AnyContains("ErrorNo:7\r"),
            "no failure escapes as an internal error or exhausted memory");
}

// The word-aware run differs from the per-character run only in the kanji of characters inside
// words: unless its own word table is reported, it shows the same reports and gives outputs
// of the same lengths.
void CheckWordRun(const RunResult& byWords, const RunResult& perCharacter) {
    if (byWords.reports.AnyContains(kWordTableName)) {
        Require(byWords.japaneseCode.empty() && byWords.preview.empty(),
                "a word table that cannot be read leaves the outputs as they were");
        return;
    }
    Require(byWords.reports.Lines() == perCharacter.reports.Lines(),
            "the word-aware run fails where the per-character run fails");
    Require(CodePointCount(byWords.japaneseCode) == CodePointCount(perCharacter.japaneseCode),
            "the word-aware run gives as many characters as the per-character run");
}

// JIS X 0208 only changes kanji, never where a run fails or how much it gives: unless its
// candidate table is reported, the word-aware run with it shows the same reports and gives
// outputs of the same lengths as without it, and its code text holds no Shift-JIS code of code
// page 932's NEC row 13 or extension rows (lead byte 87, ED, EE, FA-FC).
void CheckJisX0208Run(const RunResult& jisX0208, const RunResult& byWords) {
    if (jisX0208.reports.AnyContains(kCandidateTableName)) {
        Require(jisX0208.japaneseCode.empty() && jisX0208.preview.empty(),
                "a candidate table that cannot be read leaves the outputs as they were");
        return;
    }
    Require(jisX0208.reports.Lines() == byWords.reports.Lines(),
            "JIS X 0208 only fails where the run without it fails");
    Require(CodePointCount(jisX0208.japaneseCode) == CodePointCount(byWords.japaneseCode),
            "JIS X 0208 only gives as many characters as the run without it");
    for (const char32_t character : DecodeUtf8(jisX0208.japaneseCode)) {
        std::string bytes;
        Require(AppendCodePage936(character, bytes), "the code text is code page 936 text");
        const auto lead = static_cast<unsigned char>(bytes[0]);
        Require(bytes.size() == 1 ||
                    !(lead == 0x87 || lead == 0xED || lead == 0xEE || lead >= 0xFA),
                "JIS X 0208 only gives no code beyond JIS X 0208");
    }
}

// Loading the candidates either gives candidates that are characters or reports the file.
void CheckCandidates(const fs::path& directory, const std::string& text) {
    const int openBefore = OpenFileCount();
    try {
        const CandidateTable candidates = CandidateTable::Load(directory / kCandidateTableName);
        for (const char32_t character : DecodeUtf8(text)) {
            const std::optional<CharCode> code = CharCodeOf(character);
            for (const KanjiChoice& choice :
                 code ? candidates.CandidatesOf(*code) : std::vector<KanjiChoice>{}) {
                Require(choice.japaneseCode <= 0x10FFFF && choice.preview <= 0x10FFFF,
                        "every candidate is a character");
            }
        }
    } catch (const RuntimeError&) {
        // Reported to the user as a failure of the file; nothing else may escape.
    }
    Require(OpenFileCount() == openBefore, "the candidate table is closed after loading");
}

// The forward run's code text read back by the reverse run: with either reading, the Japanese
// text is what a game reads in the code text, which is the preview ("·" stands for "・", which
// code page 936 lacks), one character each, and the Chinese text as long; nothing is counted as
// not Shift-JIS.
void CheckReadBack(const RunResult& forward, const fs::path& directory) {
    std::string previous;
    for (const TableReading reading : {TableReading::PerRecord, TableReading::InMemory}) {
        const int openBefore = OpenFileCount();
        StringSource codeText(forward.japaneseCode);
        Utf8Sink japanese;
        Utf8Sink chinese;
        RecordedReports reports;
        const std::uint64_t notShiftJis = ReadBackText(
            GameText::CodeText, codeText, {&japanese, &chinese}, {directory, reading}, reports);
        Require(OpenFileCount() == openBefore, "every table is closed when the reverse run ends");
        Require(!reports.AnyContains("ErrorNo:51") && !reports.AnyContains("ErrorNo:7\r"),
                "no failure of the reverse run escapes as an internal error");
        const std::string outcome = japanese.Text() + "|" + chinese.Text() + "|" +
                                    (reports.Lines().empty() ? "" : reports.Lines().front());
        Require(previous.empty() || outcome == previous,
                "both table readings read the code text back alike");
        previous = outcome;
        if (!reports.Lines().empty() || !forward.reports.Lines().empty()) {
            continue;
        }
        std::u32string shown = DecodeUtf8(forward.preview);
        std::replace(shown.begin(), shown.end(), U'\u00B7', U'\u30FB');
        Require(DecodeUtf8(japanese.Text()) == shown && notShiftJis == 0,
                "the code text reads back as the preview");
        Require(CodePointCount(chinese.Text()) == shown.size(),
                "the Chinese text has a character for each Japanese one");
    }
}

} // namespace
} // namespace pelmora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelmora;
    using namespace pelmora::fuzz;
    const FuzzCase fuzzCase =
        SplitFuzzInput(std::string_view(reinterpret_cast<const char*>(data), size));
    const TableDirectory directory;
    PlaceTables(fuzzCase, directory.Path());
    const std::size_t inputCharacters = CodePointCount(fuzzCase.text);

    RunResult results[2][2]; // [by words][in memory]
    for (const bool byWords : {false, true}) {
        for (const bool inMemory : {false, true}) {
            const TableReading reading =
                inMemory ? TableReading::InMemory : TableReading::PerRecord;
            RunResult& result = results[byWords][inMemory];
            result = Run(fuzzCase.text, directory.Path(), reading, byWords);
            CheckRun(result, inputCharacters);
        }
        Require(SameResult(results[byWords][0], results[byWords][1]),
                "both table readings give the same outputs and reports");
    }
    CheckWordRun(results[1][1], results[0][1]);
    CheckReadBack(results[0][1], directory.Path());
    const RunResult jisX0208 =
        Run(fuzzCase.text, directory.Path(), TableReading::InMemory, true, KanjiSet::JisX0208);
    CheckRun(jisX0208, inputCharacters);
    CheckJisX0208Run(jisX0208, results[1][1]);
    CheckCandidates(directory.Path(), fuzzCase.text);
    RequireTablesUnchanged(fuzzCase, directory.Path());
    return 0;
}
