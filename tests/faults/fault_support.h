#pragma once

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

/// The resident memory of this process in KiB, from VmRSS in /proc/self/status.
long ResidentKibibytes();

/// True when this process runs as root, which ignores file mode bits.
bool RunningAsRoot();

/// Runs `work` in a child process that has given up root for the user "nobody" (when run as
/// root) and returns what it wrote to its pipe, or nothing when the child failed.
std::optional<std::string> RunUnprivileged(const std::function<std::string()>& work);

/// What stands in for a child's standard output. A large file is left unread in the work
/// directory (as child.out), so the test process stays small. A broken pipe has lost its reader;
/// the child gets SIGPIPE's default action, or ignores the signal as when started from some
/// shells.
enum class OutputTarget { File, LargeFile, Closed, DevFull, BrokenPipe, BrokenPipeSignalIgnored };

/// How a program run as a child process ended.
struct ChildOutcome {
    bool exited = false; ///< ended through exit, not a signal
    int exitCode = -1;   ///< when exited
    int signal = 0;      ///< when killed by a signal
    /// Largest resident size the child reached. Linux counts the starting process's own peak
    /// into it (the child starts as a copy of it), so it is an upper bound.
    long peakKibibytes = 0;
    std::string out; ///< standard output, for OutputTarget::File
    std::string err;
};

/// Runs `program` with `arguments`, standard input from `inputFile` (closed when empty),
/// standard output as `target`; files for the streams are kept in `workDirectory`.
ChildOutcome RunChild(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& workDirectory,
                      const std::optional<std::filesystem::path>& inputFile,
                      OutputTarget target = OutputTarget::File);

/// True in a build with AddressSanitizer, whose shadow memory and quarantine make memory
/// figures several times larger.
constexpr bool kSanitized =
#ifdef PELMORA_SANITIZED
    true;
#else
    false;
#endif

} // namespace pelmora::faults
