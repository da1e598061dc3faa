#include "temporary_folder.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace pelmora {

namespace {

// TMPDIR where the user's system sets it, else /tmp, as the C library's own temporary files.
std::filesystem::path TemporaryRoot() {
    const char* variable = std::getenv("TMPDIR");
    return variable != nullptr && *variable != '\0' ? std::filesystem::path(variable)
                                                    : std::filesystem::path("/tmp");
}

// With links resolved as far as the folders exist, so /tmp behind a link still counts.
std::filesystem::path Resolved(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    return (error ? path.lexically_normal() : resolved).lexically_normal();
}

// The empty last part that a trailing separator leaves would never match.
std::filesystem::path WithoutTrailingSeparator(const std::filesystem::path& path) {
    return path.has_filename() || !path.has_relative_path() ? path : path.parent_path();
}

bool IsInside(const std::filesystem::path& inner, const std::filesystem::path& outer) {
    const std::filesystem::path in = WithoutTrailingSeparator(inner);
    const std::filesystem::path out = WithoutTrailingSeparator(outer);
    return std::mismatch(out.begin(), out.end(), in.begin(), in.end()).first == out.end();
}

} // namespace

bool IsTemporaryFolder(const std::filesystem::path& folder) {
    if (folder.empty() || !folder.is_absolute()) {
        return false;
    }
    return IsInside(Resolved(folder), Resolved(TemporaryRoot()));
}

} // namespace pelmora
