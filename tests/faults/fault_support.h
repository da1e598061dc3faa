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

/// One way a key table is damaged on its way to a user, done to the shipped tables, and what
/// the report must say of it after "Invalid file format: " and the key table's path.
struct KeyTableDamage {
    std::string what;
    std::function<void(const std::filesystem::path& tables)> apply;
    std::string reported; ///< how the description goes on after the path
    /// For damage at a place the test does not choose: the first record it touched, where the
    /// reported record may not come before.
    std::optional<std::int32_t> firstTouched;
};

/// Copies the shipped pin.dat, pj.dat and jj.dat into `directory`.
void CopyShippedTables(const std::filesystem::path& directory);

/// The key table cut short (by 368 bytes, and by one byte), 50 random bytes of it changed,
/// emptied, swapped with pj.dat, two neighbouring keys swapped, and a key written twice.
std::vector<KeyTableDamage> KeyTableDamages();

/// Whether `report`, the text of one error report in any front end's layout, reports `damage`
/// of the key table at `keyTable`.
bool ReportsDamage(const std::string& report, const std::filesystem::path& keyTable,
                   const KeyTableDamage& damage);

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
