#include "convert_command.h"

#include "candidate_lines.h"
#include "command_options.h"
#include "conversion.h"
#include "input_text.h"
#include "output_stream.h"
#include "platform.h"
#include "program_directory.h"
#include "reverse_run.h"
#include "runtime_error.h"
#include "utf8.h"
#include "word_tables.h"

#include <deque>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace pelmora {

namespace {

std::string VersionLine() {
    return "pelmora-convert " + std::to_string(PELMORA_VERSION_MAJOR) + "." +
           std::to_string(PELMORA_VERSION_MINOR) + "." + std::to_string(PELMORA_VERSION_PATCH) +
           "\n";
}

// The reverse run given a Japanese program's bytes themselves.
bool ReadsGameBytes(const Options& options) {
    return options.reverse && options.inputEncoding &&
           options.inputEncoding->encoding == TextEncoding::ShiftJis;
}

TableLocation Location(const Options& options) {
    return {options.tableDirectory.value_or(ProgramDirectory()), TableReading::InMemory};
}

// The --candidates listing as the run goes: each pick the run appends belongs to the oldest
// input character not yet listed. The run appends a character's code text pick, then its
// preview pick; the line is written with the preview pick, once both are known.
class CandidateLinesSink final : public TextSink {
public:
    CandidateLinesSink(const CandidateTable& candidates, StandardOutputSink& output)
        : m_candidates(candidates), m_output(output) {}
    void Take(std::string_view piece) {
        for (std::size_t at = 0; at < piece.size();) {
            m_waiting.push_back(NextCodePoint(piece, at));
        }
    }
    /// Where the run writes its code text picks.
    TextSink& CodePicks() { return m_codePicks; }
    void Clear() override {}
    void Append(char32_t pick) override {
        if (m_waiting.empty() || m_codePicks.picks.empty()) {
            return;
        }
        const char32_t character = m_waiting.front();
        const char32_t codePick = m_codePicks.picks.front();
        m_waiting.pop_front();
        m_codePicks.picks.pop_front();
        m_line.clear();
        AppendCandidateLines(std::u32string_view(&character, 1), std::u32string_view(&codePick, 1),
                             std::u32string_view(&pick, 1), m_candidates, m_line);
        m_output.AppendBytes(m_line);
    }

private:
    struct PickQueue final : public TextSink {
        void Clear() override {}
        void Append(char32_t pick) override { picks.push_back(pick); }
        std::deque<char32_t> picks;
    };

    const CandidateTable& m_candidates;
    StandardOutputSink& m_output;
    std::deque<char32_t> m_waiting;
    PickQueue m_codePicks;
    std::string m_line;
};

// The exit status once the run has ended: a report or a failed output first, then input that
// ended early (said after the output that came before it).
int Outcome(const StandardErrorReport& report, bool written, const InputText& input) {
    if (report.Shown() > 0 || !written) {
        return kExitReported;
    }
    if (input.Failure()) {
        TellUser(*input.Failure());
        return kExitUsage;
    }
    return kExitSuccess;
}

// The code text written in code page 936 is Shift-JIS bytes: a console shows what a Japanese
// program reads in them.
TextEncoding ShownAs(const Options& options) {
    const bool codeTextBytes =
        options.text == OutputText::JapaneseCode && options.outputEncoding == TextEncoding::Gbk;
    return codeTextBytes ? TextEncoding::ShiftJis : options.outputEncoding;
}

int WriteConversion(const Options& options, InputText& input) {
    StandardOutputSink output(options.outputEncoding, ShownAs(options));
    input.BeforeWaiting([&output] { return output.SendNow(); });
    DiscardSink unused;
    const bool previewAsked = options.text == OutputText::Preview;
    StandardErrorReport report;
    TablePaths paths;
    ConvertText(options.kind, input, previewAsked ? static_cast<TextSink&>(unused) : output,
                previewAsked ? static_cast<TextSink&>(output) : unused, paths, Location(options),
                report, options.kanji);
    const bool written = output.Finish();
    return Outcome(report, written, input);
}

// The candidates of each character within the run's kanji set, with what the chosen run picks
// first.
int WriteCandidates(const Options& options, InputText& input) {
    StandardErrorReport report;
    std::optional<CandidateTable> candidates;
    try {
        candidates = CandidateTable::Load(Location(options).directory / kCandidateTableName);
        if (options.kanji == KanjiSet::JisX0208) {
            candidates = candidates->OnlyJisX0208();
        }
    } catch (...) {
        ReportCurrentException(report, kConversionErrorTitle);
        return kExitReported;
    }
    StandardOutputSink output(TextEncoding::Utf8, TextEncoding::Utf8);
    CandidateLinesSink lines(*candidates, output);
    input.BeforeWaiting([&output] { return output.SendNow(); });
    input.OnPiece([&lines](std::string_view piece) { lines.Take(piece); });
    TablePaths paths;
    ConvertText(options.kind, input, lines.CodePicks(), lines, paths, Location(options), report,
                options.kanji);
    const bool written = output.Finish();
    return Outcome(report, written, input);
}

// The game's text read back: the Simplified Chinese text, or with --preview the Japanese text.
// What was not Shift-JIS is counted after the output, and makes the status that of input that
// cannot be read.
int WriteReadBack(const Options& options, InputText& input) {
    StandardOutputSink output(TextEncoding::Utf8, TextEncoding::Utf8);
    input.BeforeWaiting([&output] { return output.SendNow(); });
    ReadBackOutputs outputs;
    (options.text == OutputText::Preview ? outputs.japanese : outputs.chinese) = &output;
    const GameText kind = options.japaneseText || ReadsGameBytes(options) ? GameText::JapaneseText
                                                                          : GameText::CodeText;
    StandardErrorReport report;
    const std::uint64_t notShiftJis = ReadBackText(kind, input, outputs, Location(options), report);
    const bool written = output.Finish();
    if (notShiftJis > 0) {
        TellUser(std::to_string(notShiftJis) + (notShiftJis == 1 ? " place" : " places") +
                 " of the input " + (notShiftJis == 1 ? "is" : "are") + " not Shift-JIS and show" +
                 (notShiftJis == 1 ? "s" : "") + " as \"□\"");
    }
    const int status = Outcome(report, written, input);
    return status == kExitSuccess && notShiftJis > 0 ? kExitUsage : status;
}

int Convert(const Options& options) {
    // A folder that is missing is the run's to report, as a table not found in it.
    std::error_code error;
    if (options.tableDirectory &&
        std::filesystem::status(*options.tableDirectory, error).type() !=
            std::filesystem::file_type::not_found &&
        !error && !std::filesystem::is_directory(*options.tableDirectory, error)) {
        throw UsageError{"--tables " + PathText(*options.tableDirectory) + " is not a folder"};
    }
    const std::unique_ptr<InputText> input = InputText::Open(options.inputPath);
    if (!input) {
        return kExitUsage;
    }
    // The reverse run shows bytes that are not Shift-JIS as "□" rather than stopping at them.
    input->Start(options.inputEncoding,
                 ReadsGameBytes(options) ? BadBytes::Replace : BadBytes::Stop);
    if (input->Failure()) {
        TellUser(*input->Failure());
        return kExitUsage;
    }
    if (options.reverse) {
        return WriteReadBack(options, *input);
    }
    return options.candidates ? WriteCandidates(options, *input) : WriteConversion(options, *input);
}

} // namespace

int RunConvertCommand(const std::vector<std::string>& arguments) {
    // Checked before anything is opened, because the next file opened would take standard
    // output's place, and because an empty result written nowhere must not pass for success.
    if (!StandardOutputIsOpen()) {
        TellUser("standard output is closed");
        return kExitReported;
    }
    try {
        const Options options = ParseOptions(arguments);
        if (options.help) {
            return WriteOutput(UsageText()) ? kExitSuccess : kExitReported;
        }
        if (options.version) {
            return WriteOutput(VersionLine()) ? kExitSuccess : kExitReported;
        }
        return Convert(options);
    } catch (const UsageError& error) {
        TellUser(error.message);
        WriteStandardError(std::string(kTryHelp) + "\n");
        return kExitUsage;
    } catch (const std::exception& error) {
        TellUser(error.what());
        return kExitReported;
    }
}

} // namespace pelmora
