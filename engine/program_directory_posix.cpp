#include "program_directory.h"

#include <system_error>

#ifdef __APPLE__
#include <mach-o/dyld.h>
#include <vector>
#endif

namespace pelmora {

namespace {

std::filesystem::path ExecutablePath() {
#ifdef __APPLE__
    uint32_t size = 0;
    _NSGetExecutablePath(nullptr, &size);
    std::vector<char> buffer(size + 1);
    if (_NSGetExecutablePath(buffer.data(), &size) != 0) {
        return {};
    }
    return std::filesystem::path(buffer.data());
#else
    return "/proc/self/exe";
#endif
}

} // namespace

std::filesystem::path ProgramDirectory() {
    const std::filesystem::path executable = ExecutablePath();
    if (executable.empty()) {
        return {};
    }
    // Through links: an installed bin/pelmora link leads to the directory holding the tables.
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(executable, error);
    return error ? executable.parent_path() : resolved.parent_path();
}

} // namespace pelmora
