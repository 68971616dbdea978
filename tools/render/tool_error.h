// The one way a command reports failure: a single line for stderr and the exit code.
#pragma once

#include <stdexcept>
#include <string>

// Exit codes: 1 for a failure while working (files, plug-in), 2 for a command line that cannot
// be carried out as written (unknown command, option, parameter, program or value).
enum ExitCode { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

class ToolError : public std::runtime_error {
public:
  ToolError(ExitCode code, const std::string& message) : std::runtime_error(message), code_(code) {}
  ExitCode code() const { return code_; }

private:
  ExitCode code_;
};

inline ToolError usageError(const std::string& message) {
  return ToolError(kExitUsage, message);
}
inline ToolError failure(const std::string& message) {
  return ToolError(kExitFailure, message);
}
