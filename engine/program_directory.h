#pragma once

#include <filesystem>

namespace pelmora {

/// The directory of the running executable, with links resolved, where the tables lie beside
/// the program. Empty when the platform cannot tell.
std::filesystem::path ProgramDirectory();

} // namespace pelmora
