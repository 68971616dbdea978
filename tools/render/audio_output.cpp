#include "audio_output.h"

#include "tool_error.h"

#include <sndfile.h>

OutputFile::OutputFile(const std::string& path, int format, int channels, int sampleRate)
    : file_(path) {
  SF_INFO info = {};
  info.format = format;
  info.channels = channels;
  info.samplerate = sampleRate;
  // The descriptor stays the pending file's to close, whether libsndfile takes the format or not.
  sound_ = sf_open_fd(file_.descriptor(), SFM_WRITE, &info, SF_FALSE);
  if (!sound_) throw failure(file_.failureText(sf_strerror(nullptr)));
  // Rendered audio can exceed full scale; integer formats clip it rather than wrap around.
  sf_command(sound_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

OutputFile::~OutputFile() {
  discard();
}

void OutputFile::discard() {
  if (sound_) sf_close(sound_);
  sound_ = nullptr;
  file_.discard();
}

void OutputFile::write(const float* interleaved, size_t frames) {
  sf_count_t written = sf_writef_float(sound_, interleaved, static_cast<sf_count_t>(frames));
  if (written != static_cast<sf_count_t>(frames)) {
    std::string reason = sf_strerror(sound_);
    discard();
    throw failure(file_.failureText(reason));
  }
}

void OutputFile::commit() {
  // sf_close writes the final header; only then is the file complete.
  int closeError = sf_close(sound_);
  sound_ = nullptr;
  if (closeError != 0) {
    std::string reason = sf_error_number(closeError);
    discard();
    throw failure(file_.failureText(reason));
  }
  file_.finish();
  file_.moveIntoPlace();
}
