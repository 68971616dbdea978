// The recorded sound: fixed inputs, the switch settings they are played through, and the 64-bit
// digest of the raw output bits each setting gives (recorded_digests.h). Every build that plays
// them (the VST module, the LV2 binary, the Windows DLL under Wine, other processors) must give
// the recorded digests bit for bit, at every block size.
//
// The inputs are made with integer arithmetic only and converted to float exactly (integers of
// at most 24 bits, scaled by powers of two), so they are the same bits on every compiler and
// processor, whatever its libm or its fusing of multiply and add.
//
// To record the digests again (only in a commit that says why the sound changed), run a test
// that checks them with SPARKWELL_PRINT_DIGESTS=1 in the environment: it prints the table's
// rows as they are now, for pasting into recorded_digests.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace recorded_output {

// Not a multiple of 7 or of 512: every block size ends on a short block.
constexpr size_t kFrames = 2500;
constexpr size_t kBlockSizes[] = {1, 7, 512};

// The left input: a decaying tone, about 440 Hz at 44.1 kHz, from peaks of 0.7 down to 0.5 % of
// full scale, so that it sweeps the curves from hard drive to nearly linear. An integer circle
// oscillator (each step rotates by about 0.063 rad) times an integer envelope that loses 1/512
// of itself per sample. Integer division truncates towards zero on every compiler.
inline std::vector<float> decayingTone() {
  std::vector<float> samples(kFrames);
  int64_t x = 0, y = 8000000, envelope = 26000; // |x|, |y| < 2^23; envelope 1.0 = 2^15
  for (size_t i = 0; i < kFrames; ++i) {
    x -= y * 4108 / 65536;
    y += x * 4108 / 65536;
    const int64_t sample = x * envelope / 32768; // |sample| < 2^23
    samples[i] = static_cast<float>(sample) * (1.0f / 8388608.0f);
    envelope -= envelope / 512;
  }
  return samples;
}

// The right input: white noise of peak 0.5 from a 32-bit linear congruential generator, its top
// 24 bits as a signed integer.
inline std::vector<float> integerNoise() {
  std::vector<float> samples(kFrames);
  uint32_t state = 20240611u;
  for (size_t i = 0; i < kFrames; ++i) {
    state = state * 1664525u + 1013904223u;
    const int32_t value = static_cast<int32_t>(state >> 8) - 8388608; // -2^23 .. 2^23 - 1
    samples[i] = static_cast<float>(value) * (1.0f / 16777216.0f);
  }
  return samples;
}

// 64-bit FNV-1a over the bits of every sample, left channel first, each sample's four bytes from
// the lowest (the same digest on a processor of either byte order).
inline uint64_t digestOf(const std::vector<float>& left, const std::vector<float>& right) {
  uint64_t hash = 14695981039346656037ull;
  for (const std::vector<float>* channel : {&left, &right}) {
    for (const float sample : *channel) {
      uint32_t bits;
      std::memcpy(&bits, &sample, sizeof bits);
      for (int byte = 0; byte < 4; ++byte) {
        hash ^= (bits >> (8 * byte)) & 0xffu;
        hash *= 1099511628211ull;
      }
    }
  }
  return hash;
}

// One parameter as both formats are given it: the VST parameter value and the LV2 port value
// that stands for it (written out here, not computed by the port mapping).
struct Value {
  int32_t parameter;
  float vst;
  float lv2Port;
};

// The parameters every setting shares: -8 dB of Gain, HPF and Treble halfway, +12 dB of Input.
// Each is set explicitly, since the LV2 applies every port on its first run.
constexpr Value kFixedValues[] = {
    {0, 0.6f, -8.0f}, // Gain
    {1, 0.5f, 0.5f},  // HPF
    {2, 0.7f, 12.0f}, // Input: (12 + 30) / 60 in single precision is 0.7f
    {4, 0.5f, 0.5f},  // Treble
};

constexpr int32_t kGridCurrent = 3, kPickup = 5, kTransistor = 6, kStereo = 7, kEffect = 9;

struct PickupSetting {
  const char* name;
  float vst;
  float lv2Port;
};
constexpr PickupSetting kPickups[] = {
    {"None", 0.0f, 0.0f}, {"HotHB", 0.25f, 1.0f}, {"HB", 0.5f, 2.0f},
    {"P90", 0.75f, 3.0f}, {"SC", 1.0f, 4.0f},
};

// One switch setting: every Pickup band, both Transistors, Stereo and Mono, Grid Current off and
// 0.5 with the effect on (40), and the bypass in Stereo and Mono (2).
struct Setting {
  std::string name; // "HB/AC128/Stereo/grid0.5", "Off/Mono"
  std::vector<Value> values;
};

inline std::vector<Setting> settings() {
  std::vector<Setting> all;
  auto withFixed = [](std::vector<Value> values) {
    values.insert(values.begin(), std::begin(kFixedValues), std::end(kFixedValues));
    return values;
  };
  for (const PickupSetting& pickup : kPickups)
    for (const bool ac128 : {false, true})
      for (const bool mono : {false, true})
        for (const bool grid : {false, true}) {
          const float g = grid ? 0.5f : 0.0f, t = ac128 ? 1.0f : 0.0f, m = mono ? 1.0f : 0.0f;
          all.push_back({std::string(pickup.name) + (ac128 ? "/AC128" : "/2SB175") +
                             (mono ? "/Mono" : "/Stereo") + (grid ? "/grid0.5" : "/grid0"),
                         withFixed({{kGridCurrent, g, g},
                                    {kPickup, pickup.vst, pickup.lv2Port},
                                    {kTransistor, t, t},
                                    {kStereo, m, m},
                                    {kEffect, 1.0f, 1.0f}})});
        }
  for (const bool mono : {false, true}) {
    const float m = mono ? 1.0f : 0.0f;
    all.push_back({mono ? "Off/Mono" : "Off/Stereo", withFixed({{kGridCurrent, 0.0f, 0.0f},
                                                                {kPickup, 0.5f, 2.0f},
                                                                {kTransistor, 0.0f, 0.0f},
                                                                {kStereo, m, m},
                                                                {kEffect, 0.0f, 0.0f}})});
  }
  return all;
}

// SPARKWELL_PRINT_DIGESTS is set and not "0".
inline bool printRequested() {
  const char* print = std::getenv("SPARKWELL_PRINT_DIGESTS");
  return print != nullptr && std::strcmp(print, "0") != 0;
}

} // namespace recorded_output
