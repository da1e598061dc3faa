#pragma once

#include "child_process.h"
#include "conversion.h"
#include "table_fixture.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::faults {

/// What a directory holds: each entry's kind, size, modification time and bytes. Two snapshots
/// differ when anything was written, created, removed or touched.
struct DirectorySnapshot {
    struct Entry {
        std::filesystem::file_type type = std::filesystem::file_type::none;
        std::uintmax_t size = 0;
        std::int64_t modifiedNanoseconds = 0;
        std::string bytes; ///< regular files only
        bool operator==(const Entry&) const = default;
    };
    std::map<std::string, Entry> entries;
    bool operator==(const DirectorySnapshot&) const = default;
};

/// Takes a snapshot of `directory` without following symbolic links or opening FIFOs. Bytes are
/// kept only for files up to a few megabytes; larger (sparse) files are compared by size and time.
DirectorySnapshot TakeSnapshot(const std::filesystem::path& directory);

/// Every report as "title|text" lines, for comparing whole reports at once.
std::string AllReports(const testing::RecordingReport& report);

// The functions below have one implementation per platform (fault_support_posix.cpp,
// fault_support_win32.cpp).

/// The resident memory of this process in KiB: VmRSS on Linux, the working set on Windows.
long ResidentKibibytes();

/// True when this process runs as root, which ignores file mode bits.
bool RunningAsRoot();

/// Runs `work` in a child process that has given up root for the user "nobody" (when run as
/// root) and returns what it wrote to its pipe, or nothing when the child failed. Nothing on
/// Windows, where files have no mode bits to take reading away.
std::optional<std::string> RunUnprivileged(const std::function<std::string()>& work);

using testing::ChildOutcome;
using testing::OutputTarget;
using testing::RunChild;

/// True in a build with AddressSanitizer, whose shadow memory and quarantine make memory
/// figures several times larger.
constexpr bool kSanitized =
#ifdef PELMORA_SANITIZED
    true;
#else
    false;
#endif

} // namespace pelmora::faults
