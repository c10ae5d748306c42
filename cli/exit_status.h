// The tool's exit codes and the one error type its commands throw on the way back to main.
#pragma once

#include <stdexcept>
#include <string>

namespace korvex::cli {

// Distinct so that scripts can tell a mistyped command from a camera or a file system fault.
enum ExitCode : int {
    kExitOk = 0,
    kExitUnexpected = 1,     // a fault of the tool itself (should not happen)
    kExitUsage = 2,          // a bad command line: unknown command or option, bad or missing value
    kExitCamera = 3,         // a camera is missing, refused a setting or delivered no frame
    kExitIo = 4,             // an output file or folder could not be written
    kExitInterrupted = 130,  // Ctrl-C abandoned a recording, or came before its first frame (128 + SIGINT)
};

// Thrown by a command; main prints the text on standard error and exits with the code.
class CliError : public std::runtime_error {
public:
    CliError(ExitCode code, const std::string& text) : std::runtime_error(text), code_(code) {}
    ExitCode code() const { return code_; }

private:
    ExitCode code_;
};

}  // namespace korvex::cli
