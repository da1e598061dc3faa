#pragma once

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

} // namespace pelmora
