#include "program_arguments.h"

namespace pelmora {

ProgramRequest ReadProgramArguments(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--") {
            break;
        }
        if (argument == "--help" || argument == "-h") {
            return ProgramRequest::ShowHelp;
        }
        if (argument == "--version") {
            return ProgramRequest::ShowVersion;
        }
    }
    return ProgramRequest::OpenWindow;
}

std::optional<std::string> FileArgument(const std::vector<std::string>& arguments) {
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (optionsEnded || !argument.starts_with('-')) {
            return argument;
        }
    }
    return std::nullopt;
}

} // namespace pelmora
