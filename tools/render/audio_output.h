// An audio file written so that it appears complete or not at all: the samples go into a
// temporary file beside the destination, which replaces the destination only in commit().
// Until then an existing file of that name stays as it was; on failure, destruction or an
// interrupt (Ctrl-C, SIGTERM, SIGHUP) the temporary file is removed. A symbolic link is
// written through to its target; anything but a regular file (a device, a pipe) is refused.
#pragma once

#include "render_engine.h"

#include <string>

typedef struct sf_private_tag SNDFILE;

class OutputFile : public AudioSink {
public:
  // Creates the temporary file for `format` (libsndfile) at the rate and channel count given.
  // Throws a ToolError when the destination's folder cannot take it or the format is refused.
  OutputFile(const std::string& path, int format, int channels, int sampleRate);
  ~OutputFile() override;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void write(const float* interleaved, size_t frames) override;
  // Flushes to disk, closes and moves the file to its destination. Throws a ToolError.
  void commit();

private:
  void discard();

  std::string path_;        // as the user named it, for messages
  std::string destination_; // the regular file that is replaced: a link's target, else path_
  std::string temporaryPath_;
  int descriptor_ = -1;
  SNDFILE* file_ = nullptr;
};
