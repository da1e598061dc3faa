#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pelmora {

/// What the window program's command line asks for.
enum class ProgramRequest { OpenWindow, ShowHelp, ShowVersion };

/// The request of the window program's `arguments` (UTF-8, the program's name left out):
/// "--help" or "-h" asks for the usage and "--version" for the version, whichever comes first;
/// "--" ends the options. Every other argument is left to the window toolkit (Qt reads options
/// such as -platform itself), and the window opens.
ProgramRequest ReadProgramArguments(const std::vector<std::string>& arguments);

/// The file to open in the window (`pelmora FILE`): the first of `arguments` that is no option,
/// one that does not begin with "-" or comes after "--"; nothing when there is none. Given the
/// arguments the window toolkit left (Qt takes its own options and their values away first).
std::optional<std::string> FileArgument(const std::vector<std::string>& arguments);

} // namespace pelmora
