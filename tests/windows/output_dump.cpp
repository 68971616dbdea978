// Plays one fixed session through a plug-in library and records everything a host would see
// of it: every output sample and, after every parameter or program change, the value, the
// display text of each parameter and the program name. The same session through the Linux
// .so and the Windows DLL must give the same record, byte for byte.
//
//   sparkwell-output-dump render <plug-in library> <record file>
//   sparkwell-output-dump compare <first record> <second record>
//
// The input signal and the session are made with integer arithmetic and the four basic float
// operations only, so both builds feed the plug-in bit-identical input.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "plugin_host.h"

namespace {

using sparkwell_test::PluginInstance;
using sparkwell_test::PluginLibrary;
using sparkwell_test::StereoBuffer;
using sparkwell_test::TestHost;

constexpr VstInt32 kNumParams = 10;
constexpr VstInt32 kEffect = 9;
constexpr VstInt32 kNumPrograms = 8;
constexpr int kSegments = 120;

// The record is a sequence of entries: a kind byte, a 32-bit length, then the bytes.
enum Kind : uint8_t { kAudio = 'A', kValue = 'V', kDisplay = 'D', kProgramName = 'P' };

class Recorder {
public:
  void add(Kind kind, const void* data, uint32_t size) {
    bytes.push_back(static_cast<char>(kind));
    const char* length = reinterpret_cast<const char*>(&size);
    bytes.insert(bytes.end(), length, length + sizeof size);
    const char* begin = static_cast<const char*>(data);
    bytes.insert(bytes.end(), begin, begin + size);
  }
  bool save(const char* path) const {
    FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
  }

private:
  std::vector<char> bytes;
};

// 32-bit linear congruential generator: the same numbers on every platform.
class Lcg {
public:
  explicit Lcg(uint32_t seed) : state(seed) {}
  uint32_t next() {
    state = state * 1664525u + 1013904223u;
    return state;
  }
  // 0 to 1 in steps of 1/65536.
  float unit() { return static_cast<float>(next() >> 16) / 65536.0f; }
  uint32_t below(uint32_t n) { return (next() >> 8) % n; }

private:
  uint32_t state;
};

// A plucked-string-like test signal: two detuned triangle waves with a decaying envelope,
// re-plucked now and then, plus a little noise; left and right differ slightly.
class TestSignal {
public:
  explicit TestSignal(uint32_t seed) : random(seed) {}
  void fill(StereoBuffer& buffer, size_t frames) {
    buffer.left.resize(frames);
    buffer.right.resize(frames);
    for (size_t i = 0; i < frames; ++i) {
      if (random.below(22050) == 0) pluck();
      envelope *= 0.99993f;
      const float noise = (random.unit() - 0.5f) * 0.002f;
      buffer.left[i] = envelope * (triangle(phaseA) * 0.6f + triangle(phaseB) * 0.3f) + noise;
      buffer.right[i] = envelope * (triangle(phaseA) * 0.5f + triangle(phaseB) * 0.4f) - noise;
      phaseA = wrap(phaseA + stepA);
      phaseB = wrap(phaseB + stepA * 1.0034f);
    }
  }

private:
  void pluck() {
    envelope = 0.2f + random.unit() * 0.8f;
    stepA = (80.0f + random.unit() * 900.0f) / 44100.0f;
  }
  static float wrap(float phase) { return phase >= 1.0f ? phase - 1.0f : phase; }
  static float triangle(float phase) {
    return phase < 0.5f ? 4.0f * phase - 1.0f : 3.0f - 4.0f * phase;
  }

  Lcg random;
  float envelope = 0.7f;
  float phaseA = 0.0f;
  float phaseB = 0.25f;
  float stepA = 196.0f / 44100.0f;
};

void recordParameters(PluginInstance& plugin, Recorder& recorder) {
  for (VstInt32 index = 0; index < kNumParams; ++index) {
    const float value = plugin.getParameter(index);
    recorder.add(kValue, &value, sizeof value);
    const auto display = plugin.dispatchText(effGetParamDisplay, index);
    recorder.add(kDisplay, display.text.data(), static_cast<uint32_t>(display.text.size()));
  }
  const auto name = plugin.dispatchText(effGetProgramName);
  recorder.add(kProgramName, name.text.data(), static_cast<uint32_t>(name.text.size()));
}

// One session: a program or some parameters change, then a few blocks of varying length are
// processed, 120 times. Values include the edges 0 and 1 and a few outside the range.
int render(const char* libraryPath, const char* recordPath) {
  PluginLibrary library(libraryPath);
  if (!library.isLoaded()) {
    std::fprintf(stderr, "cannot load %s: %s\n", libraryPath, library.loadError().c_str());
    return 1;
  }
  TestHost host;
  PluginInstance plugin(host, library.vstPluginMain());
  if (!plugin) {
    std::fprintf(stderr, "the entry point made no instance\n");
    return 1;
  }
  plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
  plugin.dispatch(effSetBlockSize, 0, 1024);
  plugin.dispatch(effMainsChanged, 0, 1);

  Recorder recorder;
  Lcg session(20261208u);
  TestSignal signal(7u);
  StereoBuffer input;
  recordParameters(plugin, recorder);
  for (int segment = 0; segment < kSegments; ++segment) {
    if (segment % 15 == 0) {
      plugin.dispatch(effSetProgram, 0, static_cast<VstIntPtr>(session.below(kNumPrograms)));
    } else {
      const uint32_t changes = 1 + session.below(4);
      for (uint32_t c = 0; c < changes; ++c) {
        const VstInt32 index = static_cast<VstInt32>(session.below(kNumParams));
        const uint32_t kind = session.below(10);
        const float value = kind == 0   ? 0.0f
                            : kind == 1 ? 1.0f
                            : kind == 2 ? 1.25f
                                        : session.unit();
        plugin.setParameter(index, value);
      }
      // The booster is on most of the time, so that the modelled chain is heard; off, the
      // input passes through (or is averaged, in Mono).
      plugin.setParameter(kEffect, session.below(4) != 0 ? 1.0f : 0.0f);
    }
    recordParameters(plugin, recorder);
    const uint32_t blocks = 1 + session.below(5);
    for (uint32_t b = 0; b < blocks; ++b) {
      const size_t frames = 1 + session.below(1024);
      signal.fill(input, frames);
      const auto result = plugin.process(input);
      recorder.add(kAudio, result.output.left.data(), static_cast<uint32_t>(frames * 4));
      recorder.add(kAudio, result.output.right.data(), static_cast<uint32_t>(frames * 4));
    }
  }
  if (!recorder.save(recordPath)) {
    std::fprintf(stderr, "cannot write %s\n", recordPath);
    return 1;
  }
  return 0;
}

struct Entry {
  Kind kind;
  std::string bytes;
};

bool load(const char* path, std::vector<Entry>& entries) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  for (;;) {
    unsigned char kind;
    uint32_t size;
    if (std::fread(&kind, 1, 1, file) != 1) break;
    if (std::fread(&size, sizeof size, 1, file) != 1) {
      std::fclose(file);
      return false;
    }
    std::string bytes(size, '\0');
    if (size && std::fread(&bytes[0], 1, size, file) != size) {
      std::fclose(file);
      return false;
    }
    entries.push_back({static_cast<Kind>(kind), bytes});
  }
  std::fclose(file);
  return !entries.empty();
}

// Compares two records: every sample, value, display text and program name must be identical,
// bit for bit. The chain's maths functions are the plug-in's own (dsp/portable_math), so no
// system library can move a last bit on one side only. Exit code 0 when the records agree.
int compare(const char* firstPath, const char* secondPath) {
  std::vector<Entry> first, second;
  if (!load(firstPath, first) || !load(secondPath, second)) {
    std::fprintf(stderr, "cannot read both records\n");
    return 1;
  }
  if (first.size() != second.size()) {
    std::fprintf(stderr, "the records hold %zu and %zu entries\n", first.size(), second.size());
    return 1;
  }
  size_t passedBy = 0, passedByDiffering = 0, modelled = 0, modelledDiffering = 0;
  size_t textDifferences = 0;
  double largest = 0.0;
  std::vector<float> values;
  bool boosterOn = false;
  for (size_t e = 0; e < first.size(); ++e) {
    const Entry& a = first[e];
    const Entry& b = second[e];
    if (a.kind != b.kind || a.bytes.size() != b.bytes.size()) {
      std::fprintf(stderr, "entry %zu differs in kind or length\n", e);
      return 1;
    }
    if (a.kind != kAudio) {
      if (a.bytes != b.bytes) {
        ++textDifferences;
        std::fprintf(stderr, "entry %zu (%c) differs\n", e, a.kind);
      }
      if (a.kind == kValue && a.bytes.size() == sizeof(float)) {
        float value;
        std::memcpy(&value, a.bytes.data(), sizeof value);
        values.push_back(value);
      }
      if (a.kind == kProgramName) { // closes the ten values of one parameter read-out
        boosterOn = values.size() == kNumParams && values[kEffect] > 0.5f;
        values.clear();
      }
      continue;
    }
    const size_t count = a.bytes.size() / sizeof(float);
    for (size_t i = 0; i < count; ++i) {
      float x, y;
      std::memcpy(&x, a.bytes.data() + i * sizeof x, sizeof x);
      std::memcpy(&y, b.bytes.data() + i * sizeof y, sizeof y);
      const bool same = std::memcmp(&x, &y, sizeof x) == 0;
      ++(boosterOn ? modelled : passedBy);
      if (same) continue;
      ++(boosterOn ? modelledDiffering : passedByDiffering);
      const double difference = std::fabs(static_cast<double>(x) - static_cast<double>(y));
      if (!(difference <= largest)) largest = difference;
    }
  }
  std::printf("booster off: %zu samples, %zu differ\n", passedBy, passedByDiffering);
  std::printf("booster on: %zu samples, %zu differ\n", modelled, modelledDiffering);
  if (passedByDiffering + modelledDiffering > 0)
    std::printf("largest sample difference %.3g\n", largest);
  std::printf("values, displays and program names: %zu differ\n", textDifferences);
  const bool identical = passedByDiffering == 0 && modelledDiffering == 0 && textDifferences == 0;
  return identical && passedBy > 0 && modelled > 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "render") == 0) return render(argv[2], argv[3]);
  if (argc == 4 && std::strcmp(argv[1], "compare") == 0) return compare(argv[2], argv[3]);
  std::fprintf(stderr, "usage: %s render <plug-in> <record> | compare <record> <record>\n",
               argv[0]);
  return 2;
}
