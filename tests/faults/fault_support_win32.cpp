#include "fault_support.h"

#include <windows.h>

#include <psapi.h> // needs windows.h first

namespace pelmora::faults {

namespace {

constexpr std::uintmax_t kSnapshotBytesLimit = 4 * 1024 * 1024;

} // namespace

DirectorySnapshot TakeSnapshot(const std::filesystem::path& directory) {
    DirectorySnapshot snapshot;
    for (const auto& item : std::filesystem::directory_iterator(directory)) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExW(item.path().c_str(), GetFileExInfoStandard, &data);
        DirectorySnapshot::Entry entry;
        entry.type = item.symlink_status().type();
        entry.size = (static_cast<std::uintmax_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        // 100-nanosecond ticks.
        entry.modifiedNanoseconds =
            static_cast<std::int64_t>(
                (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                data.ftLastWriteTime.dwLowDateTime) *
            100;
        if (entry.type == std::filesystem::file_type::regular &&
            entry.size <= kSnapshotBytesLimit) {
            entry.bytes = testing::ReadWholeFile(item.path());
        }
        snapshot.entries[item.path().filename().string()] = std::move(entry);
    }
    return snapshot;
}

long ResidentKibibytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
        return -1;
    }
    return static_cast<long>(counters.WorkingSetSize / 1024);
}

bool RunningAsRoot() {
    return false;
}

std::optional<std::string> RunUnprivileged(const std::function<std::string()>&) {
    return std::nullopt;
}

} // namespace pelmora::faults
