// Test audio: made with a fixed seed, written and read back with libsndfile, and rendered
// directly through the plug-in's entry point with the shared test host for comparison.
#pragma once

#include <sndfile.h>
#include <string>
#include <vector>

#include "plugin_host.h"

namespace render_test {

struct Sound {
  int channels = 0;
  int sampleRate = 0;
  int format = 0;             // libsndfile format of the file it came from or goes to
  std::vector<float> samples; // interleaved
  size_t frames() const { return channels ? samples.size() / static_cast<size_t>(channels) : 0; }
  std::vector<float> channel(int index) const;
};

// A guitar-like test signal: decaying partials of a few notes plus a little noise, peaking
// near -3 dBFS, different in each channel. The same seed gives the same samples.
Sound testSignal(int channels, int sampleRate, size_t frames, unsigned seed);

void writeSound(const std::string& path, const Sound& sound);
Sound readSound(const std::string& path);

// A parameter index and value set on the instance before it is switched on.
struct DirectSetting {
  int index;
  float value;
};

// What a host does with `input`: sample rate, block size, the program (unless -1), the
// settings, mains on, then the audio in blocks of `blockFrames`, and `tailFrames` of silence
// likewise. Returns left and right; a mono input feeds both inputs.
sparkwell_test::StereoBuffer renderDirectly(const Sound& input, int blockFrames,
                                            const std::vector<DirectSetting>& settings,
                                            size_t tailFrames = 0, int program = -1);

} // namespace render_test
