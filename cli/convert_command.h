#pragma once

#include <string>
#include <vector>

namespace pelmora {

/// Exit statuses of pelmora-convert.
enum ExitStatus : int {
    kExitSuccess = 0,
    kExitReported = 1, ///< an error report was shown, or the output could not be written
    kExitUsage = 2,    ///< bad options, or input that could not be read or decoded
};

/// Runs pelmora-convert with the arguments after the program name (UTF-8 on Windows), the
/// process's standard streams, and returns its exit status.
int RunConvertCommand(const std::vector<std::string>& arguments);

} // namespace pelmora
