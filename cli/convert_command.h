#pragma once

namespace pelmora {

/// Exit statuses of pelmora-convert.
enum ExitStatus : int {
    kExitSuccess = 0,
    kExitReported = 1, ///< an error report was shown, or the output could not be written
    kExitUsage = 2,    ///< bad options, or input that could not be read or is not UTF-8
};

/// Runs pelmora-convert with the process's arguments, standard streams and exit status.
int RunConvertCommand(int argc, char** argv);

} // namespace pelmora
