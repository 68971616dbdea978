#include "render_tool.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <ftw.h>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace render_test {

std::vector<std::string> ToolRun::errorLines() const {
  std::vector<std::string> lines;
  std::istringstream stream(err);
  for (std::string line; std::getline(stream, line);)
    lines.push_back(line);
  return lines;
}

std::string pluginPath() {
  return SPARKWELL_PLUGIN_PATH;
}

RunningTool::RunningTool(const std::vector<std::string>& arguments, const std::string& folder,
                         RunLimits limits) {
  // The captured streams go to files outside the folder under test, which must only ever
  // hold what the tool itself writes.
  char outName[] = "/tmp/render-test-out.XXXXXX";
  char errName[] = "/tmp/render-test-err.XXXXXX";
  int outFile = mkstemp(outName);
  int errFile = mkstemp(errName);
  if (outFile < 0 || errFile < 0) throw std::runtime_error("cannot capture the tool's output");
  outName_ = outName;
  errName_ = errName;

  std::vector<std::string> words = {SPARKWELL_RENDER_PATH};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);

  child_ = fork();
  if (child_ == 0) {
    if (chdir(folder.c_str()) != 0) _exit(126);
    dup2(outFile, STDOUT_FILENO);
    dup2(errFile, STDERR_FILENO);
    int nothing = open("/dev/null", O_RDONLY);
    dup2(nothing, STDIN_FILENO);
    if (limits.fileSizeLimit > 0) {
      signal(SIGXFSZ, SIG_DFL); // as a shell leaves it: an ignored signal would stay ignored
      rlimit limit = {static_cast<rlim_t>(limits.fileSizeLimit),
                      static_cast<rlim_t>(limits.fileSizeLimit)};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(outFile);
  close(errFile);
}

RunningTool::~RunningTool() {
  if (child_ > 0) wait();
}

void RunningTool::sendSignal(int signalNumber) {
  if (child_ > 0) kill(child_, signalNumber);
}

ToolRun RunningTool::wait(bool* signalled) {
  ToolRun run;
  int status = 0;
  waitpid(child_, &status, 0);
  child_ = -1;
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  if (signalled) *signalled = WIFSIGNALED(status);
  run.out = readWholeFile(outName_);
  run.err = readWholeFile(errName_);
  unlink(outName_.c_str());
  unlink(errName_.c_str());
  return run;
}

ToolRun runTool(const std::vector<std::string>& arguments, const std::string& folder,
                RunLimits limits) {
  return RunningTool(arguments, folder, limits).wait();
}

ScratchFolder::ScratchFolder() {
  char name[] = "/tmp/render-test.XXXXXX";
  if (!mkdtemp(name)) throw std::runtime_error("cannot make a scratch folder");
  path_ = name;
}

ScratchFolder::~ScratchFolder() {
  nftw(
      path_.c_str(), [](const char* path, const struct stat*, int, FTW*) { return ::remove(path); },
      16, FTW_DEPTH | FTW_PHYS);
}

std::vector<std::string> ScratchFolder::entries() const {
  std::vector<std::string> names;
  DIR* folder = opendir(path_.c_str());
  if (!folder) return names;
  while (dirent* entry = readdir(folder)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(folder);
  std::sort(names.begin(), names.end());
  return names;
}

bool fileExists(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0;
}

std::string readWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

void writeWholeFile(const std::string& path, const std::string& contents) {
  std::ofstream file(path, std::ios::binary);
  file << contents;
}

} // namespace render_test
