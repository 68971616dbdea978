#include "audio_input.h"

#include "audio_formats.h"
#include "tool_error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

InputFile::InputFile(const std::string& path) : path_(path) {
  // Open the file ourselves first, so a missing or unreadable file is told apart from one
  // that libsndfile does not recognise.
  // Non-blocking, so that a named pipe is refused below instead of waiting for a writer; for a
  // regular file the flag changes nothing.
  int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (descriptor < 0) throw failure("cannot read '" + path + "': " + std::strerror(errno));
  struct stat status;
  if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(descriptor);
    throw failure("cannot read '" + path + "': not a regular file");
  }
  descriptor_ = descriptor;
  device_ = status.st_dev;
  inode_ = status.st_ino;
  SF_INFO info = {};
  // The descriptor stays ours to close, whether libsndfile accepts the file or not.
  file_ = sf_open_fd(descriptor, SFM_READ, &info, SF_FALSE);
  if (!file_) {
    close(descriptor);
    throw failure("cannot read '" + path + "': not an audio file that can be read (" +
                  sf_strerror(nullptr) + ")");
  }
  if (!isSupportedFormat(info.format)) {
    std::string type = describeFormat(info.format);
    closeFile();
    throw failure("unsupported format of '" + path + "': " + type +
                  " (WAV, RF64, FLAC, AIFF and Ogg can be read)");
  }
  if (info.channels > 2) {
    closeFile();
    throw failure("'" + path + "' has " + std::to_string(info.channels) +
                  " channels: only mono and stereo files can be rendered");
  }
  channels_ = info.channels;
  sampleRate_ = info.samplerate;
  format_ = info.format;
  frames_ = info.frames;
}

bool InputFile::isSameFileAs(const std::string& path) const {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && status.st_dev == device_ && status.st_ino == inode_;
}

InputFile::~InputFile() {
  closeFile();
}

void InputFile::closeFile() {
  if (file_) sf_close(file_);
  if (descriptor_ >= 0) close(descriptor_);
  file_ = nullptr;
  descriptor_ = -1;
}

size_t InputFile::read(float* interleaved, size_t frames) {
  sf_count_t got = sf_readf_float(file_, interleaved, static_cast<sf_count_t>(frames));
  if (got < 0 || (static_cast<size_t>(got) < frames && sf_error(file_) != SF_ERR_NO_ERROR)) {
    throw failure("cannot read '" + path_ + "': " + sf_strerror(file_));
  }
  return static_cast<size_t>(got);
}
