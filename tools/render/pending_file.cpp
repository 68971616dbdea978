#include "pending_file.h"

#include "tool_error.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The temporary files being written, for the signal handler: one per picture of a snapshot,
// one for a render. The handler may only use async-signal-safe calls, so the paths are kept
// in plain arrays.
constexpr int kSlots = 2;
char pendingTemporary[kSlots][PATH_MAX + 1];

extern "C" void removeTemporariesAndDie(int signalNumber) {
  for (char* path : pendingTemporary)
    if (path[0] != '\0') unlink(path);
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

const int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

// Interrupts held back while the slots change, so that no moment exists in which an
// interrupt would leave a file behind or find a half-written name.
class InterruptsHeld {
public:
  InterruptsHeld() {
    sigset_t interrupts;
    sigemptyset(&interrupts);
    for (int signalNumber : kInterrupts)
      sigaddset(&interrupts, signalNumber);
    sigprocmask(SIG_BLOCK, &interrupts, &previous);
  }
  ~InterruptsHeld() { sigprocmask(SIG_SETMASK, &previous, nullptr); }
  InterruptsHeld(const InterruptsHeld&) = delete;
  InterruptsHeld& operator=(const InterruptsHeld&) = delete;

private:
  sigset_t previous;
};

bool anySlotInUse() {
  for (const char* path : pendingTemporary)
    if (path[0] != '\0') return true;
  return false;
}

// Makes the temporary file and records it for the handler. Returns the descriptor (or -1 with
// errno set) and the slot taken.
int createWatchedTemporary(std::vector<char>& pattern, int& slot) {
  InterruptsHeld held;
  slot = -1;
  for (int i = 0; i < kSlots && slot < 0; ++i)
    if (pendingTemporary[i][0] == '\0') slot = i;
  if (slot < 0) {
    errno = EMFILE;
    return -1;
  }
  int descriptor = mkstemp(pattern.data());
  int savedErrno = errno;
  if (descriptor >= 0) {
    std::strncpy(pendingTemporary[slot], pattern.data(), PATH_MAX);
    pendingTemporary[slot][PATH_MAX] = '\0';
    for (int signalNumber : kInterrupts)
      signal(signalNumber, removeTemporariesAndDie);
  } else {
    slot = -1;
  }
  errno = savedErrno;
  return descriptor;
}

void stopWatching(int slot) {
  if (slot < 0) return;
  InterruptsHeld held;
  pendingTemporary[slot][0] = '\0';
  if (!anySlotInUse())
    for (int signalNumber : kInterrupts)
      signal(signalNumber, SIG_DFL);
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

std::string cannotWrite(const std::string& path, const std::string& reason) {
  return "cannot write '" + path + "': " + reason;
}

// The regular file that is replaced. Renaming over a folder, a device or a pipe would destroy
// it rather than write to it; a file without any write permission is kept as its owner asked,
// also when this program could replace it (run as root).
std::string checkedDestination(const std::string& path) {
  std::string destination = resolveLinks(path);
  struct stat status;
  if (stat(destination.c_str(), &status) == 0) {
    if (S_ISDIR(status.st_mode)) throw failure(cannotWrite(path, "it is a directory"));
    if (!S_ISREG(status.st_mode)) throw failure(cannotWrite(path, "not a regular file"));
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
      throw failure(cannotWrite(path, "the file is read-only"));
    if (access(destination.c_str(), W_OK) != 0)
      throw failure(cannotWrite(path, std::strerror(errno)));
  }
  return destination;
}

} // namespace

std::string resolveLinks(const std::string& path) {
  std::string resolved = path;
  // The system's own limit on links in a row is 40.
  for (int hops = 0; hops < 40; ++hops) {
    struct stat status;
    if (lstat(resolved.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return resolved;
    std::vector<char> target(PATH_MAX + 1);
    ssize_t length = readlink(resolved.c_str(), target.data(), PATH_MAX);
    if (length < 0) throw failure(cannotWrite(path, std::strerror(errno)));
    std::string next(target.data(), static_cast<size_t>(length));
    // A relative target is relative to the folder that holds the link.
    resolved = next[0] == '/' ? next : folderOf(resolved) + "/" + next;
  }
  throw failure(cannotWrite(path, std::strerror(ELOOP)));
}

bool sameDestination(const std::string& first, const std::string& second) {
  struct stat a, b;
  if (stat(first.c_str(), &a) == 0 && stat(second.c_str(), &b) == 0)
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
  // Not both there yet: the same name in the same folder is the same file to be.
  std::string one = resolveLinks(first), other = resolveLinks(second);
  if (fileNameOf(one) != fileNameOf(other)) return false;
  char* folderOne = realpath(folderOf(one).c_str(), nullptr);
  char* folderOther = realpath(folderOf(other).c_str(), nullptr);
  bool same =
      folderOne != nullptr && folderOther != nullptr && std::strcmp(folderOne, folderOther) == 0;
  std::free(folderOne);
  std::free(folderOther);
  return same;
}

PendingFile::PendingFile(const std::string& path)
    : path_(path), destination_(checkedDestination(path)) {
  // A hidden name in the same folder, so the final rename stays within one file system.
  std::string pattern = folderOf(destination_) + "/." + fileNameOf(destination_) + ".XXXXXX";
  if (pattern.size() > PATH_MAX) throw failure(cannotWrite(path, "name too long"));
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int descriptor = createWatchedTemporary(name, slot_);
  if (descriptor < 0) throw failure(cannotWrite(path, std::strerror(errno)));
  temporaryPath_ = name.data();
  descriptor_ = descriptor;
  // mkstemp makes the file readable by its owner only; give it the permissions a newly
  // created file gets under the user's umask.
  mode_t mask = umask(0);
  umask(mask);
  fchmod(descriptor, 0666 & ~mask);
}

PendingFile::~PendingFile() {
  discard();
}

std::string PendingFile::failureText(const std::string& reason) const {
  return cannotWrite(path_, reason);
}

void PendingFile::write(const void* bytes, size_t size) {
  const char* next = static_cast<const char*>(bytes);
  while (size > 0) {
    ssize_t written = ::write(descriptor_, next, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      std::string reason = written < 0 ? std::strerror(errno) : "nothing could be written";
      discard();
      throw failure(failureText(reason));
    }
    next += written;
    size -= static_cast<size_t>(written);
  }
}

void PendingFile::finish() {
  std::string reason;
  if (fsync(descriptor_) != 0) reason = std::strerror(errno);
  if (close(descriptor_) != 0 && reason.empty()) reason = std::strerror(errno);
  descriptor_ = -1;
  if (!reason.empty()) {
    discard();
    throw failure(failureText(reason));
  }
}

void PendingFile::moveIntoPlace() {
  if (rename(temporaryPath_.c_str(), destination_.c_str()) != 0) {
    std::string reason = std::strerror(errno);
    discard();
    throw failure(failureText(reason));
  }
  temporaryPath_.clear();
  stopWatching(slot_);
  slot_ = -1;
}

void PendingFile::discard() {
  if (descriptor_ >= 0) close(descriptor_);
  descriptor_ = -1;
  if (!temporaryPath_.empty()) unlink(temporaryPath_.c_str());
  temporaryPath_.clear();
  stopWatching(slot_);
  slot_ = -1;
}
