// processReplacing of build/sparkwell.so, called through its AEffect record the way a host calls
// it, for the default program, the heaviest common setting ("Stereo", AC128, Grid Current 0.5,
// Pickup "SC") and bypass, in blocks of 32, 64 and 512 frames. Reports nanoseconds per frame and
// the multiple of real time at 44.1 kHz. That the output equals the plain per-sample model bit
// for bit is checked by the effect tests (ReferenceModelTest), not here.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <random>
#include <vector>

#include "aeffect.h"

namespace {

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

// The plug-in module, loaded once for the whole run.
VstPluginMainProc pluginEntry() {
  static void* module = dlopen(SPARKWELL_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
  static auto entry =
      module ? reinterpret_cast<VstPluginMainProc>(dlsym(module, "VSTPluginMain")) : nullptr;
  return entry;
}

struct Setting {
  VstInt32 index;
  float value;
};

void processBlocks(benchmark::State& state, std::vector<Setting> settings) {
  VstPluginMainProc entry = pluginEntry();
  AEffect* effect = entry ? entry(hostCallback) : nullptr;
  if (!effect) {
    state.SkipWithError("the plug-in module could not be loaded");
    return;
  }
  for (const Setting& s : settings)
    effect->setParameter(effect, s.index, s.value);

  const auto frames = static_cast<VstInt32>(state.range(0));
  // A few seconds of guitar-level noise, cycled block by block, so that the branches of the
  // curves see varied input.
  const size_t span = 44100 * 2;
  std::mt19937 random(1);
  std::uniform_real_distribution<float> sample(-0.3f, 0.3f);
  std::vector<float> left(span + frames), right(span + frames);
  for (size_t i = 0; i < left.size(); ++i) {
    left[i] = sample(random);
    right[i] = sample(random);
  }
  std::vector<float> outLeft(frames), outRight(frames);
  float* outputs[2] = {outLeft.data(), outRight.data()};
  size_t position = 0;
  for (auto _ : state) {
    float* inputs[2] = {left.data() + position, right.data() + position};
    effect->processReplacing(effect, inputs, outputs, frames);
    benchmark::DoNotOptimize(outLeft.data());
    benchmark::DoNotOptimize(outRight.data());
    benchmark::ClobberMemory();
    position = (position + frames) % span;
  }
  const double processed = static_cast<double>(state.iterations()) * frames;
  // CPU time per frame (shown with its unit, e.g. 29.5ns), and seconds of 44.1 kHz audio made
  // per second of CPU time, which is the multiple of real time.
  state.counters["time_per_frame"] =
      benchmark::Counter(processed, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["audio_seconds_44k1"] =
      benchmark::Counter(processed / 44100.0, benchmark::Counter::kIsRate);
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

void DefaultProgram(benchmark::State& state) {
  processBlocks(state, {});
}

void StereoAc128GridCurrentSingleCoil(benchmark::State& state) {
  // Stereo 0, Transistor 1 (AC128), Grid Current 0.5, Pickup 0.9 ("SC").
  processBlocks(state, {{7, 0.0f}, {6, 1.0f}, {3, 0.5f}, {5, 0.9f}});
}

void Bypass(benchmark::State& state) {
  processBlocks(state, {{9, 0.0f}});
}

BENCHMARK(DefaultProgram)->Arg(32)->Arg(64)->Arg(512);
BENCHMARK(StereoAc128GridCurrentSingleCoil)->Arg(32)->Arg(64)->Arg(512);
BENCHMARK(Bypass)->Arg(32)->Arg(64)->Arg(512);

} // namespace

BENCHMARK_MAIN();
