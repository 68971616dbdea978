// Runs the built sparkwell-render as a user would and captures what it says, plus a scratch
// folder per test for its files.
#pragma once

#include <string>
#include <vector>

namespace render_test {

struct ToolRun {
  int exitCode = -1; // -1 when the program did not exit normally
  std::string out;
  std::string err;
  // The lines written to stderr, without their line ends.
  std::vector<std::string> errorLines() const;
};

struct RunLimits {
  // Bytes; 0 for none. The system sends SIGXFSZ on a write past it, with its default action
  // (the end of the program) unless the tool itself ignores or handles it.
  long fileSizeLimit = 0;
};

// Runs sparkwell-render with `arguments` in the working folder `folder`.
ToolRun runTool(const std::vector<std::string>& arguments, const std::string& folder,
                RunLimits limits = {});

// sparkwell-render started in the background, for tests that act while it runs.
class RunningTool {
public:
  RunningTool(const std::vector<std::string>& arguments, const std::string& folder,
              RunLimits limits = {});
  ~RunningTool(); // waits for the program if the test did not
  RunningTool(const RunningTool&) = delete;
  RunningTool& operator=(const RunningTool&) = delete;

  void sendSignal(int signalNumber);
  // Waits for the program to end. `signalled` tells whether a signal ended it.
  ToolRun wait(bool* signalled = nullptr);

private:
  int child_ = -1;
  std::string outName_;
  std::string errName_;
};

// The plug-in the build made, for --plugin.
std::string pluginPath();

// A fresh empty folder, removed with everything in it at destruction.
class ScratchFolder {
public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Names of the entries in the folder, hidden ones included, sorted.
  std::vector<std::string> entries() const;

private:
  std::string path_;
};

bool fileExists(const std::string& path);
std::string readWholeFile(const std::string& path);
void writeWholeFile(const std::string& path, const std::string& contents);

} // namespace render_test
