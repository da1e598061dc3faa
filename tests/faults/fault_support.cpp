#include "fault_support.h"

#include <cerrno>
#include <csignal>
#include <fstream>
#include <iterator>
#include <sstream>

#include <fcntl.h>
#include <grp.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace pelmora::faults {

namespace {

constexpr std::uintmax_t kSnapshotBytesLimit = 4 * 1024 * 1024;
constexpr uid_t kNobody = 65534;

std::string ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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

// File actions that give the child its three standard streams.
class StreamActions {
public:
    StreamActions() { posix_spawn_file_actions_init(&m_actions); }
    ~StreamActions() { posix_spawn_file_actions_destroy(&m_actions); }
    StreamActions(const StreamActions&) = delete;
    StreamActions& operator=(const StreamActions&) = delete;

    void Open(int fd, const std::string& path, int flags) {
        posix_spawn_file_actions_addopen(&m_actions, fd, path.c_str(), flags, 0644);
    }
    void Close(int fd) { posix_spawn_file_actions_addclose(&m_actions, fd); }
    void Duplicate(int from, int to) { posix_spawn_file_actions_adddup2(&m_actions, from, to); }
    const posix_spawn_file_actions_t* Get() const { return &m_actions; }

private:
    posix_spawn_file_actions_t m_actions;
};

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
            entry.bytes = ReadWhole(item.path());
        }
        snapshot.entries[item.path().filename().string()] = std::move(entry);
    }
    return snapshot;
}

std::string AllReports(const testing::RecordingReport& report) {
    std::string all;
    for (const auto& entry : report.Entries()) {
        all += entry.title + "|" + entry.text + "\n";
    }
    return all;
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

ChildOutcome RunChild(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& workDirectory,
                      const std::optional<std::filesystem::path>& inputFile, OutputTarget target) {
    const std::filesystem::path out = workDirectory / "child.out";
    const std::filesystem::path err = workDirectory / "child.err";
    std::filesystem::remove(out);
    StreamActions actions;
    if (inputFile) {
        actions.Open(0, inputFile->string(), O_RDONLY);
    } else {
        actions.Close(0);
    }
    int pipeEnds[2] = {-1, -1};
    switch (target) {
    case OutputTarget::File:
    case OutputTarget::LargeFile:
        actions.Open(1, out.string(), O_WRONLY | O_CREAT | O_TRUNC);
        break;
    case OutputTarget::Closed:
        actions.Close(1);
        break;
    case OutputTarget::DevFull:
        actions.Open(1, "/dev/full", O_WRONLY);
        break;
    case OutputTarget::BrokenPipe:
    case OutputTarget::BrokenPipeSignalIgnored:
        // The reading end is gone before the child starts, so every write fails.
        if (::pipe(pipeEnds) == 0) {
            ::close(pipeEnds[0]);
            actions.Duplicate(pipeEnds[1], 1);
            actions.Close(pipeEnds[1]);
        }
        break;
    }
    actions.Open(2, err.string(), O_WRONLY | O_CREAT | O_TRUNC);

    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    ChildOutcome outcome;
    pid_t child = -1;
    // The child inherits whether SIGPIPE is ignored.
    const bool ignorePipeSignal = target == OutputTarget::BrokenPipeSignalIgnored;
    const auto previous = std::signal(SIGPIPE, ignorePipeSignal ? SIG_IGN : SIG_DFL);
    const int spawned =
        ::posix_spawn(&child, program.c_str(), actions.Get(), nullptr, argv.data(), environ);
    std::signal(SIGPIPE, previous);
    if (pipeEnds[1] >= 0) {
        ::close(pipeEnds[1]);
    }
    if (spawned != 0) {
        outcome.err = "cannot start " + program;
        return outcome;
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(child, &status, 0, &usage);
    outcome.exited = WIFEXITED(status);
    outcome.exitCode = outcome.exited ? WEXITSTATUS(status) : -1;
    outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    outcome.peakKibibytes = usage.ru_maxrss;
    if (target == OutputTarget::File) {
        outcome.out = ReadWhole(out);
    }
    outcome.err = ReadWhole(err);
    return outcome;
}

} // namespace pelmora::faults
