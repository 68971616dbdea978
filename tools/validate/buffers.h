// Stereo audio buffers as a careful host hands them to a plug-in: each channel is followed
// by a canary, outputs are pre-filled with a NaN sentinel so that an unwritten sample shows,
// and a copy of the inputs is kept to prove they come back unchanged.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "float_bits.h"

constexpr int kChannels = 2;

// A float is "finite" for the validator when it is neither NaN, infinite nor subnormal.
bool isCleanSample(float sample);

class StereoBuffers {
public:
  // Frames per channel; `inPlace` makes the output pointers the input buffers.
  explicit StereoBuffers(int frames, bool inPlace = false);

  float** inputs() { return inputPointers; }
  float** outputs() { return outputPointers; }
  float* input(int channel) { return inputPointers[channel]; }
  float* output(int channel) { return outputPointers[channel]; }

  // Fills the inputs and refreshes the kept copy and the output sentinel; call before every
  // processReplacing.
  void prepare();
  // After the call: "" when the plug-in kept the rules (every output sample written when
  // `expectWritten`, none when not; inputs unchanged unless in place; canaries intact),
  // otherwise what it broke.
  std::string verify(bool expectWritten) const;
  // "" when every output sample is finite, else the first offending sample.
  std::string verifyFinite() const;

private:
  int frameCount;
  bool inPlace;
  std::vector<float> storage[2 * kChannels];
  std::vector<float> inputCopy[kChannels];
  float* inputPointers[kChannels];
  float* outputPointers[kChannels];
};

// Deterministic test signals.
void fillNoise(float* samples, int frames, std::mt19937_64& rng, float amplitude);
// A guitar-like test tone: decaying harmonics, deterministic from `start`.
void fillTone(float* samples, int frames, long long start, float amplitude);
