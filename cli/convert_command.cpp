#include "convert_command.h"

#include "command_options.h"
#include "conversion.h"
#include "input_text.h"
#include "output_stream.h"
#include "platform.h"
#include "program_directory.h"

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

int Convert(const Options& options) {
    std::optional<std::string> text = InputText(options);
    if (!text) {
        return kExitUsage;
    }
    StringSource source(std::move(*text));
    StandardOutputSink output(options.form == OutputForm::ShiftJisBytes);
    DiscardSink unused;
    const bool previewAsked = options.form == OutputForm::Preview;
    TablePaths paths;
    StandardErrorReport report;
    const TableLocation location{options.tableDirectory.value_or(ProgramDirectory()),
                                 TableReading::InMemory};
    ConvertText(source, previewAsked ? static_cast<TextSink&>(unused) : output,
                previewAsked ? static_cast<TextSink&>(output) : unused, paths, location, report);
    const bool written = output.Finish();
    return written && report.Shown() == 0 ? kExitSuccess : kExitReported;
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
