#include "buffers.h"

#include "report.h"

#include <cmath>
#include <cstring>

namespace {
constexpr int kCanaryLength = 16;
constexpr uint32_t kCanaryBits = 0x7f8badc0u;   // a signalling-NaN pattern no DSP produces
constexpr uint32_t kSentinelBits = 0x7fc0deadu; // quiet NaN with a recognisable payload
} // namespace

bool isCleanSample(float sample) {
  return std::fpclassify(sample) == FP_NORMAL || sample == 0.0f;
}

StereoBuffers::StereoBuffers(int frames, bool inPlace) : frameCount(frames), inPlace(inPlace) {
  size_t length = static_cast<size_t>(frames > 0 ? frames : 0) + kCanaryLength;
  for (auto& channel : storage)
    channel.assign(length, fromBits(kCanaryBits));
  for (int c = 0; c < kChannels; ++c) {
    inputPointers[c] = storage[c].data();
    outputPointers[c] = inPlace ? storage[c].data() : storage[kChannels + c].data();
    inputCopy[c].assign(storage[c].begin(), storage[c].end());
  }
}

void StereoBuffers::prepare() {
  int frames = frameCount > 0 ? frameCount : 0;
  for (int c = 0; c < kChannels; ++c) {
    if (!inPlace)
      for (int i = 0; i < frames; ++i)
        outputPointers[c][i] = fromBits(kSentinelBits);
    inputCopy[c].assign(storage[c].begin(), storage[c].end());
  }
}

std::string StereoBuffers::verify(bool expectWritten) const {
  int frames = frameCount > 0 ? frameCount : 0;
  for (int c = 0; c < kChannels; ++c) {
    const float* in = inputPointers[c];
    const float* out = outputPointers[c];
    for (int i = 0; i < kCanaryLength; ++i) {
      if (bitsOf(in[frames + i]) != kCanaryBits)
        return format("input %d canary sample %d after the last frame was overwritten", c, i);
      if (bitsOf(out[frames + i]) != kCanaryBits)
        return format("output %d canary sample %d after the last frame was overwritten", c, i);
    }
    if (inPlace) {
      if (!expectWritten && memcmp(in, inputCopy[c].data(), sizeof(float) * frames) != 0)
        return format("buffer %d changed although nothing was to be written", c);
      continue;
    }
    for (int i = 0; i < frames; ++i) {
      if (bitsOf(in[i]) != bitsOf(inputCopy[c][static_cast<size_t>(i)]))
        return format("input %d sample %d was changed by the plug-in", c, i);
      bool written = bitsOf(out[i]) != kSentinelBits;
      if (expectWritten && !written) return format("output %d sample %d was not written", c, i);
      if (!expectWritten && written)
        return format("output %d sample %d was written although nothing was to be", c, i);
    }
  }
  return std::string();
}

std::string StereoBuffers::verifyFinite() const {
  for (int c = 0; c < kChannels; ++c)
    for (int i = 0; i < frameCount; ++i)
      if (!isCleanSample(outputPointers[c][i]))
        return format("output %d sample %d is %g (not finite or subnormal)", c, i,
                      static_cast<double>(outputPointers[c][i]));
  return std::string();
}

void fillNoise(float* samples, int frames, std::mt19937_64& rng, float amplitude) {
  std::uniform_real_distribution<float> uniform(-amplitude, amplitude);
  for (int i = 0; i < frames; ++i)
    samples[i] = uniform(rng);
}

void fillTone(float* samples, int frames, long long start, float amplitude) {
  const double twoPi = 6.283185307179586;
  for (int i = 0; i < frames; ++i) {
    double t = static_cast<double>(start + i) / 44100.0;
    double envelope = std::exp(-3.0 * std::fmod(t, 1.0));
    double value = std::sin(twoPi * 110.0 * t) + 0.5 * std::sin(twoPi * 220.0 * t) +
                   0.25 * std::sin(twoPi * 330.0 * t) + 0.12 * std::sin(twoPi * 1650.0 * t);
    samples[i] = static_cast<float>(static_cast<double>(amplitude) * envelope * value / 1.87);
  }
}
