// The LV2 plug-in's run against the VST module's processReplacing, per block, in the same run:
// the baseline (Vst/...) and the LV2 (Lv2/...) process the same noise with the same setting, in
// blocks of 32, 64 and 512 frames. "Steady" leaves the setting alone; "GainMoves" and
// "HpfMoves" change one value every block (the VST through setParameter, the LV2 through its
// port), as automation does: the LV2 run then applies it before processing, and HPF redesigns
// its filter pair. The DSP binary is loaded with dlopen and driven through its descriptor, as
// lilv does; the VST module through its AEffect record.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <lv2/core/lv2.h>

#include <random>
#include <string>
#include <vector>

#include "aeffect.h"
#include "port_map.h"

using namespace sparkwell_lv2;

namespace {

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

VstPluginMainProc vstEntry() {
  static void* module = dlopen(SPARKWELL_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
  static auto entry =
      module ? reinterpret_cast<VstPluginMainProc>(dlsym(module, "VSTPluginMain")) : nullptr;
  return entry;
}

const LV2_Descriptor* lv2Descriptor() {
  using DescriptorFunction = const LV2_Descriptor* (*)(uint32_t);
  static void* module = dlopen(SPARKWELL_LV2_BUNDLE "/sparkwell_dsp.so", RTLD_NOW | RTLD_LOCAL);
  static auto function =
      module ? reinterpret_cast<DescriptorFunction>(dlsym(module, "lv2_descriptor")) : nullptr;
  return function ? function(0) : nullptr;
}

enum class Motion { Steady, GainMoves, HpfMoves };

// Port values for the heaviest common setting: "Stereo", AC128, Grid Current 0.5, "SC".
void heavySetting(float (&controls)[kNumControlPorts]) {
  // Parameter values in port order: Gain, HPF, Input, Grid Current, Treble, Pickup,
  // Transistor, Stereo, Effect.
  const float values[kNumControlPorts] = {0.6f, 1.0f, 0.5f, 0.5f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f};
  for (uint32_t i = 0; i < kNumControlPorts; ++i)
    controls[i] = portFromParameter(kControlParameters[i], values[i]);
}

struct Signal {
  explicit Signal(size_t frames) : left(kSpan + frames), right(kSpan + frames) {
    std::mt19937 random(1);
    std::uniform_real_distribution<float> sample(-0.3f, 0.3f);
    for (size_t i = 0; i < left.size(); ++i) {
      left[i] = sample(random);
      right[i] = sample(random);
    }
  }
  static constexpr size_t kSpan = 44100 * 2;
  std::vector<float> left, right;
};

void countFrames(benchmark::State& state, int64_t frames) {
  const double processed = static_cast<double>(state.iterations()) * static_cast<double>(frames);
  state.counters["time_per_frame"] =
      benchmark::Counter(processed, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The value a moving parameter takes in block `n`, as a port value.
float movingPort(Motion motion, size_t n) {
  if (motion == Motion::GainMoves) return (n & 1) ? -7.0f : -9.0f;
  return (n & 1) ? 0.75f : 0.8f;
}

void Vst(benchmark::State& state, Motion motion) {
  VstPluginMainProc entry = vstEntry();
  AEffect* effect = entry ? entry(hostCallback) : nullptr;
  if (!effect) {
    state.SkipWithError("the VST module could not be loaded");
    return;
  }
  float controls[kNumControlPorts];
  heavySetting(controls);
  for (uint32_t i = 0; i < kNumControlPorts; ++i)
    effect->setParameter(effect, kControlParameters[i],
                         parameterFromPort(kControlParameters[i], controls[i]));
  effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
  effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
  const int32_t moving = motion == Motion::GainMoves ? kGain : kHpf;

  const auto frames = static_cast<VstInt32>(state.range(0));
  Signal signal(static_cast<size_t>(frames));
  std::vector<float> outLeft(static_cast<size_t>(frames)), outRight(static_cast<size_t>(frames));
  float* outputs[2] = {outLeft.data(), outRight.data()};
  size_t position = 0, n = 0;
  for (auto _ : state) {
    if (motion != Motion::Steady)
      effect->setParameter(effect, moving, parameterFromPort(moving, movingPort(motion, n++)));
    float* inputs[2] = {signal.left.data() + position, signal.right.data() + position};
    effect->processReplacing(effect, inputs, outputs, frames);
    benchmark::DoNotOptimize(outLeft.data());
    benchmark::ClobberMemory();
    position = (position + static_cast<size_t>(frames)) % Signal::kSpan;
  }
  countFrames(state, frames);
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

void Lv2(benchmark::State& state, Motion motion) {
  const LV2_Descriptor* descriptor = lv2Descriptor();
  LV2_Handle handle =
      descriptor ? descriptor->instantiate(descriptor, 44100.0, SPARKWELL_LV2_BUNDLE, nullptr)
                 : nullptr;
  if (!handle) {
    state.SkipWithError("the LV2 DSP binary could not be loaded");
    return;
  }
  float controls[kNumControlPorts];
  heavySetting(controls);
  for (uint32_t i = 0; i < kNumControlPorts; ++i)
    descriptor->connect_port(handle, kFirstControlPort + i, &controls[i]);
  descriptor->activate(handle);
  const uint32_t moving =
      static_cast<uint32_t>(portOfParameter(motion == Motion::GainMoves ? kGain : kHpf)) -
      kFirstControlPort;

  const auto frames = static_cast<uint32_t>(state.range(0));
  Signal signal(frames);
  std::vector<float> outLeft(frames), outRight(frames);
  descriptor->connect_port(handle, kPortOutL, outLeft.data());
  descriptor->connect_port(handle, kPortOutR, outRight.data());
  size_t position = 0, n = 0;
  for (auto _ : state) {
    if (motion != Motion::Steady) controls[moving] = movingPort(motion, n++);
    descriptor->connect_port(handle, kPortInL, signal.left.data() + position);
    descriptor->connect_port(handle, kPortInR, signal.right.data() + position);
    descriptor->run(handle, frames);
    benchmark::DoNotOptimize(outLeft.data());
    benchmark::ClobberMemory();
    position = (position + frames) % Signal::kSpan;
  }
  countFrames(state, frames);
  descriptor->deactivate(handle);
  descriptor->cleanup(handle);
}

void blockSizes(benchmark::internal::Benchmark* b) {
  b->Arg(32)->Arg(64)->Arg(512);
}

} // namespace

BENCHMARK_CAPTURE(Vst, Steady, Motion::Steady)->Apply(blockSizes);
BENCHMARK_CAPTURE(Lv2, Steady, Motion::Steady)->Apply(blockSizes);
BENCHMARK_CAPTURE(Vst, GainMoves, Motion::GainMoves)->Apply(blockSizes);
BENCHMARK_CAPTURE(Lv2, GainMoves, Motion::GainMoves)->Apply(blockSizes);
BENCHMARK_CAPTURE(Vst, HpfMoves, Motion::HpfMoves)->Apply(blockSizes);
BENCHMARK_CAPTURE(Lv2, HpfMoves, Motion::HpfMoves)->Apply(blockSizes);
BENCHMARK_MAIN();
