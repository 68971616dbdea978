// An audio file opened for reading with libsndfile: WAV (or RF64), FLAC, AIFF or Ogg, mono or
// stereo.
#pragma once

#include "render_engine.h"

#include <cstdint>
#include <string>

typedef struct sf_private_tag SNDFILE;

class InputFile : public AudioSource {
public:
  // Opens and checks the file. Throws a ToolError naming the problem: missing or unreadable,
  // not an audio file, a type other than the four, or more than two channels.
  explicit InputFile(const std::string& path);
  ~InputFile() override;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  int channels() const override { return channels_; }
  size_t read(float* interleaved, size_t frames) override;

  int sampleRate() const { return sampleRate_; }
  int format() const { return format_; }
  int64_t frames() const { return frames_; }
  // Whether `path` names this very file (through links or another hard link too).
  bool isSameFileAs(const std::string& path) const;

private:
  void closeFile();

  std::string path_;
  int descriptor_ = -1;
  SNDFILE* file_ = nullptr;
  int channels_ = 0;
  int sampleRate_ = 0;
  int format_ = 0;
  int64_t frames_ = 0;
  // The file's identity on disk, taken from the open descriptor.
  uint64_t device_ = 0;
  uint64_t inode_ = 0;
};
