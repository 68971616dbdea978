// A file written so that it appears complete or not at all: the bytes go into a hidden
// temporary file beside the destination, which replaces the destination only in
// moveIntoPlace(). Until then an existing file of that name stays as it was; on failure,
// destruction or an interrupt (Ctrl-C, SIGTERM, SIGHUP) the temporary file is removed.
//
// A symbolic link is written through to its target, dangling or not, so the link stays a link.
// Anything but a regular file (a folder, a device, a pipe) is refused, and so is a file that is
// read-only: its owner marked it as not to be replaced.
#pragma once

#include <string>

class PendingFile {
public:
  // Creates the temporary file for `path`. Throws a ToolError naming the reason.
  explicit PendingFile(const std::string& path);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  int descriptor() const { return descriptor_; }
  // Writes all `size` bytes or throws a ToolError with the system's reason.
  void write(const void* bytes, size_t size);
  // Flushes to disk and closes the temporary file. Throws a ToolError.
  void finish();
  // Moves the finished file to its destination. Throws a ToolError.
  void moveIntoPlace();
  // Removes the temporary file; the destination stays as it was.
  void discard();

  // "cannot write 'PATH': reason", with the path as the user named it.
  std::string failureText(const std::string& reason) const;

private:
  std::string path_;        // as the user named it, for messages
  std::string destination_; // the regular file that is replaced: a link's target, else path_
  std::string temporaryPath_;
  int descriptor_ = -1;
  int slot_ = -1; // the interrupt handler's record of temporaryPath_
};

// The file `path` names once symbolic links are followed, as PendingFile writes it. A link
// whose target does not exist yet resolves to that target. Throws a ToolError for a loop.
std::string resolveLinks(const std::string& path);

// Whether two paths would write the same file: the same file on disk (device and inode, so
// links and other names of it count), or the same name in the same folder for files that do
// not exist yet.
bool sameDestination(const std::string& first, const std::string& second);
