// sparkwell-render: renders audio through the Sparkwell plug-in without a DAW, loading it
// exactly as a host does. See usageText() for the commands.
#include "commands.h"
#include "tool_error.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

// Every failure is one line on stderr, whatever the message carried.
void reportError(const std::string& message) {
  std::string line = message;
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  std::fprintf(stderr, "sparkwell-render: %s\n", line.c_str());
}

int runCommandLine(const std::vector<std::string>& words) {
  if (words.empty()) throw usageError("no command given (try 'sparkwell-render help')");
  const std::string& name = words[0];
  if (name == "help" || name == "--help" || name == "-h") {
    std::fputs(usageText().c_str(), stdout);
    return kExitOk;
  }
  for (const Command& command : commandTable()) {
    if (name != command.name) continue;
    std::vector<std::string> rest(words.begin() + 1, words.end());
    return command.run(parseArguments(rest, command.options));
  }
  throw usageError("unknown command '" + name + "' (try 'sparkwell-render help')");
}

} // namespace

int main(int argc, char** argv) {
  // Past a file-size limit (ulimit -f) the system would end the program with SIGXFSZ, before it
  // could remove its temporary files. Ignored, the write fails with EFBIG instead, and the
  // failure is reported and cleaned up like a full disk.
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    return runCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const ToolError& error) {
    reportError(error.what());
    return error.code();
  } catch (const std::exception& error) {
    reportError(std::string("unexpected failure: ") + error.what());
    return kExitFailure;
  }
}
