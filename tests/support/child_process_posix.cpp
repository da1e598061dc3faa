#include "child_process.h"

#include <csignal>
#include <fstream>
#include <iterator>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace pelmora::testing {

namespace {

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

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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
        outcome.out = ReadWholeFile(out);
    }
    outcome.err = ReadWholeFile(err);
    return outcome;
}

} // namespace pelmora::testing
