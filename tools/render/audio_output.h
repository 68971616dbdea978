// An audio file written so that it appears complete or not at all (PendingFile): the samples go
// into a temporary file beside the destination, which replaces the destination only in
// commit(). Until then an existing file of that name stays as it was.
#pragma once

#include "pending_file.h"
#include "render_engine.h"

#include <string>

typedef struct sf_private_tag SNDFILE;

class OutputFile : public AudioSink {
public:
  // Creates the temporary file for `format` (libsndfile) at the rate and channel count given.
  // Throws a ToolError when the destination cannot take it or the format is refused.
  OutputFile(const std::string& path, int format, int channels, int sampleRate);
  ~OutputFile() override;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void write(const float* interleaved, size_t frames) override;
  // Writes the header, flushes to disk, closes and moves the file to its destination. Throws a
  // ToolError.
  void commit();

private:
  void discard();

  PendingFile file_;
  SNDFILE* sound_ = nullptr;
};
