#include "fault_support.h"

#include <cerrno>
#include <csignal>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <grp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pelmora::faults {

namespace {

constexpr std::uintmax_t kSnapshotBytesLimit = 4 * 1024 * 1024;
constexpr uid_t kNobody = 65534;

std::string ReadAllFrom(int fd) {
    std::string bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

void WriteAllTo(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return;
        }
        done += static_cast<std::size_t>(wrote);
    }
}

// Becomes "nobody"; stays dumpable so that /proc/self/fd can still be counted.
bool DropRoot() {
    return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 &&
           ::prctl(PR_SET_DUMPABLE, 1) == 0;
}

} // namespace

DirectorySnapshot TakeSnapshot(const std::filesystem::path& directory) {
    DirectorySnapshot snapshot;
    for (const auto& item : std::filesystem::directory_iterator(directory)) {
        struct stat info {};
        ::lstat(item.path().c_str(), &info);
        DirectorySnapshot::Entry entry;
        entry.type = item.symlink_status().type();
        entry.size = static_cast<std::uintmax_t>(info.st_size);
        entry.modifiedNanoseconds =
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
        if (S_ISREG(info.st_mode) && entry.size <= kSnapshotBytesLimit) {
            entry.bytes = testing::ReadWholeFile(item.path());
        }
        snapshot.entries[item.path().filename().string()] = std::move(entry);
    }
    return snapshot;
}

long ResidentKibibytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

bool RunningAsRoot() {
    return ::geteuid() == 0;
}

std::optional<std::string> RunUnprivileged(const std::function<std::string()>& work) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return std::nullopt;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (RunningAsRoot() && !DropRoot()) {
            ::_exit(3);
        }
        WriteAllTo(pipeEnds[1], work());
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string written = child > 0 ? ReadAllFrom(pipeEnds[0]) : "";
    ::close(pipeEnds[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return written;
}

} // namespace pelmora::faults
