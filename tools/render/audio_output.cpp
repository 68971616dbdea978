#include "audio_output.h"

#include "tool_error.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The temporary file being written, for the signal handler. Only one output is open at a time;
// the handler may only use async-signal-safe calls, so the path is kept in a plain array.
char pendingTemporary[PATH_MAX + 1];

extern "C" void removeTemporaryAndDie(int signalNumber) {
  if (pendingTemporary[0] != '\0') unlink(pendingTemporary);
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

const int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

// Makes the temporary file with the interrupts held back until the handler knows its name, so
// no moment exists in which an interrupt would leave the file behind. Returns the descriptor.
int createWatchedTemporary(std::vector<char>& pattern) {
  sigset_t interrupts, previous;
  sigemptyset(&interrupts);
  for (int signalNumber : kInterrupts)
    sigaddset(&interrupts, signalNumber);
  sigprocmask(SIG_BLOCK, &interrupts, &previous);
  int descriptor = mkstemp(pattern.data());
  int savedErrno = errno;
  if (descriptor >= 0) {
    std::strncpy(pendingTemporary, pattern.data(), PATH_MAX);
    pendingTemporary[PATH_MAX] = '\0';
    for (int signalNumber : kInterrupts)
      signal(signalNumber, removeTemporaryAndDie);
  }
  sigprocmask(SIG_SETMASK, &previous, nullptr);
  errno = savedErrno;
  return descriptor;
}

void stopWatchingInterrupts() {
  for (int signalNumber : {SIGINT, SIGTERM, SIGHUP})
    signal(signalNumber, SIG_DFL);
  pendingTemporary[0] = '\0';
}

std::string folderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Where the samples really go: the file a symbolic link points to (so the link stays a link),
// else the path itself. Only a regular file is ever replaced: renaming over a device, a pipe
// or a folder would destroy it rather than write to it.
std::string destinationFor(const std::string& path) {
  std::string destination = path;
  struct stat status;
  if (lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
    char resolved[PATH_MAX + 1];
    if (realpath(path.c_str(), resolved)) destination = resolved;
  }
  if (stat(destination.c_str(), &status) == 0) {
    if (S_ISDIR(status.st_mode)) throw failure("cannot write '" + path + "': it is a directory");
    if (!S_ISREG(status.st_mode)) {
      throw failure("cannot write '" + path + "': not a regular file");
    }
  }
  return destination;
}

} // namespace

OutputFile::OutputFile(const std::string& path, int format, int channels, int sampleRate)
    : path_(path), destination_(destinationFor(path)) {
  // A hidden name in the same folder, so the final rename stays within one file system.
  std::string pattern = folderOf(destination_) + "/." + fileNameOf(destination_) + ".XXXXXX";
  if (pattern.size() > PATH_MAX) throw failure("cannot write '" + path + "': name too long");
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int descriptor = createWatchedTemporary(name);
  if (descriptor < 0) throw failure("cannot write '" + path + "': " + std::strerror(errno));
  temporaryPath_ = name.data();
  // mkstemp makes the file readable by its owner only; give it the permissions a newly
  // created file gets under the user's umask.
  mode_t mask = umask(0);
  umask(mask);
  fchmod(descriptor, 0666 & ~mask);

  SF_INFO info = {};
  info.format = format;
  info.channels = channels;
  info.samplerate = sampleRate;
  descriptor_ = descriptor;
  // The descriptor stays ours to close, whether libsndfile takes the format or not.
  file_ = sf_open_fd(descriptor, SFM_WRITE, &info, SF_FALSE);
  if (!file_) {
    std::string reason = sf_strerror(nullptr);
    discard();
    throw failure("cannot write '" + path + "': " + reason);
  }
  // Rendered audio can exceed full scale; integer formats clip it rather than wrap around.
  sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

OutputFile::~OutputFile() {
  discard();
}

void OutputFile::discard() {
  if (file_) sf_close(file_);
  file_ = nullptr;
  if (descriptor_ >= 0) close(descriptor_);
  descriptor_ = -1;
  if (!temporaryPath_.empty()) unlink(temporaryPath_.c_str());
  temporaryPath_.clear();
  stopWatchingInterrupts();
}

void OutputFile::write(const float* interleaved, size_t frames) {
  sf_count_t written = sf_writef_float(file_, interleaved, static_cast<sf_count_t>(frames));
  if (written != static_cast<sf_count_t>(frames)) {
    std::string reason = sf_strerror(file_);
    discard();
    throw failure("cannot write '" + path_ + "': " + reason);
  }
}

void OutputFile::commit() {
  // sf_close writes the final header; only then is the file complete, flushed and closed.
  int closeError = sf_close(file_);
  file_ = nullptr;
  std::string reason;
  if (closeError != 0) {
    reason = sf_error_number(closeError);
  } else if (fsync(descriptor_) != 0) {
    reason = std::strerror(errno);
  }
  if (close(descriptor_) != 0 && reason.empty()) reason = std::strerror(errno);
  descriptor_ = -1;
  if (!reason.empty()) {
    discard();
    throw failure("cannot write '" + path_ + "': " + reason);
  }
  if (rename(temporaryPath_.c_str(), destination_.c_str()) != 0) {
    reason = std::strerror(errno);
    discard();
    throw failure("cannot write '" + path_ + "': " + reason);
  }
  temporaryPath_.clear();
  stopWatchingInterrupts();
}
