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

} // namespace pelmora
