#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Runs a program as a child process with chosen standard streams: one implementation per
// platform (child_process_posix.cpp, child_process_win32.cpp).
namespace pelmora::testing {

/// What stands in for a child's standard output. A large file is left unread in the work
/// directory (as child.out), so the test process stays small. A broken pipe has lost its reader;
/// on POSIX systems the child gets SIGPIPE's default action, or ignores the signal as when
/// started from some shells. DevFull (a device that is always full) exists on Linux only.
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

/// Runs `program` (a UTF-8 path) with `arguments` (UTF-8), standard input from `inputFile`
/// (closed when empty), standard output as `target`; files for the streams are kept in
/// `workDirectory`.
ChildOutcome RunChild(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& workDirectory,
                      const std::optional<std::filesystem::path>& inputFile,
                      OutputTarget target = OutputTarget::File);

/// The whole contents of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

#ifdef _WIN32
/// UTF-16 of UTF-8 text, as Windows keeps arguments; bytes that are no UTF-8 become U+FFFD.
std::wstring WideFromUtf8(const std::string& utf8);
#endif

} // namespace pelmora::testing
