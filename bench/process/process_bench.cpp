// processReplacing of build/sparkwell.so, called through its AEffect record the way a host calls
// it, for the default program ("Mono"), the same in "Stereo", the heaviest common setting
// ("Stereo", AC128, Grid Current 0.5, Pickup "SC") and bypass, in blocks of 32, 64 and 512
// frames. Reports nanoseconds per frame and the multiple of real time at 44.1 kHz.
//
// Baselines in the same run, on the same signal:
// - Transcription/...: the plain per-sample model of the effect tests (reference_model.h), a
//   straightforward transcription of the formulas, compiled here with the plug-in's flags;
// - Landed/...: another build of the plug-in, when SPARKWELL_LANDED_PLUGIN names its module
//   (for example the per-sample chain the block-wise one replaced).
// That the output equals the plain model bit for bit is checked by the effect tests
// (ReferenceModelTest), not here.
//
// Floor/...: what no chain can beat on this machine. Each recursive filter waits for its own
// previous output, two internal samples per frame; the slowest of these loops is the biquad
// (the feedback from y1 passes a product and two subtractions) and the treble low-pass (a
// product, a subtraction and the guard's addition). Floor/BiquadFeedback runs one biquad update
// after the other on one chain of samples: its time per frame is the floor of a channel, and of
// "Stereo" too, whose two channels wait side by side.
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <dlfcn.h>
#include <random>
#include <vector>

#include "aeffect.h"
#include "biquad.h"
#include "pickup_sets.h"
#include "reference_model.h"

namespace {

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

VstPluginMainProc entryOf(const char* path) {
  void* module = path ? dlopen(path, RTLD_NOW | RTLD_LOCAL) : nullptr;
  return module ? reinterpret_cast<VstPluginMainProc>(dlsym(module, "VSTPluginMain")) : nullptr;
}

// The plug-in module, loaded once for the whole run.
VstPluginMainProc pluginEntry() {
  static auto entry = entryOf(SPARKWELL_PLUGIN_PATH);
  return entry;
}

VstPluginMainProc landedEntry() {
  static auto entry = entryOf(std::getenv("SPARKWELL_LANDED_PLUGIN"));
  return entry;
}

struct Setting {
  VstInt32 index;
  float value;
};

// Times process(inputs, outputs, frames) over a few seconds of guitar-level noise, cycled block
// by block, so that the branches of the curves see varied input.
template <class Process> void timeBlocks(benchmark::State& state, Process process) {
  const auto frames = static_cast<VstInt32>(state.range(0));
  const size_t span = 44100 * 2;
  std::mt19937 random(1);
  std::uniform_real_distribution<float> sample(-0.3f, 0.3f);
  std::vector<float> left(span + static_cast<size_t>(frames)),
      right(span + static_cast<size_t>(frames));
  for (size_t i = 0; i < left.size(); ++i) {
    left[i] = sample(random);
    right[i] = sample(random);
  }
  std::vector<float> outLeft(static_cast<size_t>(frames)), outRight(static_cast<size_t>(frames));
  float* outputs[2] = {outLeft.data(), outRight.data()};
  size_t position = 0;
  for (auto _ : state) {
    float* inputs[2] = {left.data() + position, right.data() + position};
    process(inputs, outputs, frames);
    benchmark::DoNotOptimize(outLeft.data());
    benchmark::DoNotOptimize(outRight.data());
    benchmark::ClobberMemory();
    position = (position + static_cast<size_t>(frames)) % span;
  }
  const double processed = static_cast<double>(state.iterations()) * frames;
  // CPU time per frame (shown with its unit, e.g. 29.5ns), and seconds of 44.1 kHz audio made
  // per second of CPU time, which is the multiple of real time.
  state.counters["time_per_frame"] =
      benchmark::Counter(processed, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["audio_seconds_44k1"] =
      benchmark::Counter(processed / 44100.0, benchmark::Counter::kIsRate);
}

void moduleBlocks(benchmark::State& state, VstPluginMainProc entry,
                  const std::vector<Setting>& settings) {
  AEffect* effect = entry ? entry(hostCallback) : nullptr;
  if (!effect) {
    state.SkipWithError("the plug-in module could not be loaded");
    return;
  }
  for (const Setting& s : settings)
    effect->setParameter(effect, s.index, s.value);
  timeBlocks(state, [effect](float** inputs, float** outputs, VstInt32 frames) {
    effect->processReplacing(effect, inputs, outputs, frames);
  });
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

void transcriptionBlocks(benchmark::State& state, const std::vector<Setting>& settings) {
  sparkwell_test::ReferenceSparkwell model;
  for (const Setting& s : settings)
    model.setParameter(s.index, s.value);
  timeBlocks(state, [&model](float** inputs, float** outputs, VstInt32 frames) {
    model.process(inputs[0], inputs[1], outputs[0], outputs[1], frames);
  });
}

const std::vector<Setting> kMono = {}; // the default program
const std::vector<Setting> kStereo = {{7, 0.0f}};
// Stereo 0, Transistor 1 (AC128), Grid Current 0.5, Pickup 0.9 ("SC").
const std::vector<Setting> kStereoAc128GridSc = {{7, 0.0f}, {6, 1.0f}, {3, 0.5f}, {5, 0.9f}};
const std::vector<Setting> kBypass = {{9, 0.0f}};

void Mono(benchmark::State& state) {
  moduleBlocks(state, pluginEntry(), kMono);
}
void Stereo(benchmark::State& state) {
  moduleBlocks(state, pluginEntry(), kStereo);
}
void StereoAc128GridCurrentSingleCoil(benchmark::State& state) {
  moduleBlocks(state, pluginEntry(), kStereoAc128GridSc);
}
void Bypass(benchmark::State& state) {
  moduleBlocks(state, pluginEntry(), kBypass);
}
void Transcription_Mono(benchmark::State& state) {
  transcriptionBlocks(state, kMono);
}
void Transcription_Stereo(benchmark::State& state) {
  transcriptionBlocks(state, kStereo);
}
void Transcription_StereoAc128GridCurrentSingleCoil(benchmark::State& state) {
  transcriptionBlocks(state, kStereoAc128GridSc);
}
void Landed_Mono(benchmark::State& state) {
  moduleBlocks(state, landedEntry(), kMono);
}
void Landed_Stereo(benchmark::State& state) {
  moduleBlocks(state, landedEntry(), kStereo);
}
void Landed_StereoAc128GridCurrentSingleCoil(benchmark::State& state) {
  moduleBlocks(state, landedEntry(), kStereoAc128GridSc);
}

// The "HB" resonance over the benchmark's noise, one update after the other, two per frame.
void Floor_BiquadFeedback(benchmark::State& state) {
  const PeakCoeffs c = designPickupSets(88200.0f).peakHumbucker;
  timeBlocks(state,
             [&c, s = BiquadState{}](float** inputs, float** outputs, VstInt32 frames) mutable {
               for (VstInt32 i = 0; i < frames; ++i) {
                 biquadStep(s, c, inputs[0][i]);
                 outputs[0][i] = biquadStep(s, c, inputs[1][i]);
               }
             });
}

BENCHMARK(Mono)->Arg(32)->Arg(64)->Arg(512);
BENCHMARK(Stereo)->Arg(32)->Arg(64)->Arg(512);
BENCHMARK(StereoAc128GridCurrentSingleCoil)->Arg(32)->Arg(64)->Arg(512);
BENCHMARK(Bypass)->Arg(32)->Arg(64)->Arg(512);
BENCHMARK(Floor_BiquadFeedback)->Arg(512);
BENCHMARK(Transcription_Mono)->Arg(512);
BENCHMARK(Transcription_Stereo)->Arg(512);
BENCHMARK(Transcription_StereoAc128GridCurrentSingleCoil)->Arg(512);
BENCHMARK(Landed_Mono)->Arg(512);
BENCHMARK(Landed_Stereo)->Arg(512);
BENCHMARK(Landed_StereoAc128GridCurrentSingleCoil)->Arg(512);

} // namespace

BENCHMARK_MAIN();
