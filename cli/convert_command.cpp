#include "convert_command.h"

#include "candidate_lines.h"
#include "command_options.h"
#include "conversion.h"
#include "input_text.h"
#include "output_stream.h"
#include "platform.h"
#include "program_directory.h"
#include "utf8.h"
#include "word_tables.h"

#include <exception>
#include <optional>
#include <string>

namespace pelmora {

namespace {

std::string VersionLine() {
    return "pelmora-convert " + std::to_string(PELMORA_VERSION_MAJOR) + "." +
           std::to_string(PELMORA_VERSION_MINOR) + "." + std::to_string(PELMORA_VERSION_PATCH) +
           "\n";
}

// The input as UTF-8, or nothing after telling the user why it cannot be converted.
std::optional<std::string> InputText(const Options& options) {
    std::optional<std::string> bytes = ReadInputBytes(options.inputPath);
    if (!bytes) {
        return std::nullopt;
    }
    DecodedInput decoded = DecodeInput(std::move(*bytes), options.encoding);
    if (decoded.invalidAt) {
        TellUser(InvalidInputMessage(decoded));
        return std::nullopt;
    }
    return std::move(decoded.text);
}

TableLocation Location(const Options& options) {
    return {options.tableDirectory.value_or(ProgramDirectory()), TableReading::InMemory};
}

void RunChosenConversion(const Options& options, TextSource& input, TextSink& japaneseCode,
                         TextSink& preview, ErrorReport& report) {
    TablePaths paths;
    (options.byWords ? ConvertTextByWords : ConvertText)(input, japaneseCode, preview, paths,
                                                         Location(options), report);
}

int WriteConversion(const Options& options, std::string text) {
    StringSource source(std::move(text));
    StandardOutputSink output(options.form == OutputForm::ShiftJisBytes);
    DiscardSink unused;
    const bool previewAsked = options.form == OutputForm::Preview;
    StandardErrorReport report;
    RunChosenConversion(options, source, previewAsked ? static_cast<TextSink&>(unused) : output,
                        previewAsked ? static_cast<TextSink&>(output) : unused, report);
    const bool written = output.Finish();
    return written && report.Shown() == 0 ? kExitSuccess : kExitReported;
}

// The candidates of each character, with what the chosen run picks first.
int WriteCandidates(const Options& options, std::string text) {
    StringSource source(text);
    StringSink codePicks;
    StringSink picks;
    StandardErrorReport report;
    RunChosenConversion(options, source, codePicks, picks, report);
    std::string lines;
    try {
        const CandidateTable candidates =
            CandidateTable::Load(Location(options).directory / kCandidateTableName);
        AppendCandidateLines(DecodeUtf8(text), codePicks.Text(), picks.Text(), candidates, lines);
    } catch (...) {
        ReportCurrentException(report, kConversionErrorTitle);
    }
    const bool written = WriteOutput(lines);
    return written && report.Shown() == 0 ? kExitSuccess : kExitReported;
}

int Convert(const Options& options) {
    std::optional<std::string> text = InputText(options);
    if (!text) {
        return kExitUsage;
    }
    return options.candidates ? WriteCandidates(options, std::move(*text))
                              : WriteConversion(options, std::move(*text));
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
        WriteStandardError(UsageText());
        return kExitUsage;
    } catch (const std::exception& error) {
        TellUser(error.what());
        return kExitReported;
    }
}

} // namespace pelmora
