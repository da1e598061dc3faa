#pragma once

#include <filesystem>

namespace pelmora {

/// Whether `folder` lies inside the system's folder for temporary files, or in a folder that an
/// archive program makes when a program inside an archive is opened without extracting it. A
/// program that finds itself there without its tables was most likely started from inside the
/// zip it came in. Asks the system where its temporary folder is; never fails.
bool IsTemporaryFolder(const std::filesystem::path& folder);

} // namespace pelmora
