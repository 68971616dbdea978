// The editor of build/sparkwell.so, drawn off-screen (the off-screen target record as its
// parent), driven through the AEffect record as a host drives it.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <thread>

#include "aeffect.h"
#include "offscreentarget.h"

namespace {

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

VstPluginMainProc pluginEntry() {
  static void* module = dlopen(SPARKWELL_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
  static auto entry =
      module ? reinterpret_cast<VstPluginMainProc>(dlsym(module, "VSTPluginMain")) : nullptr;
  return entry;
}

VstIntPtr dispatch(AEffect* effect, VstInt32 opcode, void* ptr = nullptr) {
  return effect->dispatcher(effect, opcode, 0, 0, ptr, 0.0f);
}

AEffect* newInstance(benchmark::State& state) {
  VstPluginMainProc entry = pluginEntry();
  AEffect* effect = entry ? entry(hostCallback) : nullptr;
  if (!effect) state.SkipWithError("the plug-in module could not be loaded");
  return effect;
}

// effEditIdle of an open window with nothing changing: nothing is drawn.
void BM_EditorIdle(benchmark::State& state) {
  AEffect* effect = newInstance(state);
  if (!effect) return;
  SparkwellOffscreenTarget target{};
  target.magic = kSparkwellOffscreenMagic;
  dispatch(effect, effEditOpen, &target);
  for (auto _ : state) {
    dispatch(effect, effEditIdle);
    benchmark::DoNotOptimize(target.pixels);
  }
  dispatch(effect, effEditClose);
  dispatch(effect, effClose);
}
BENCHMARK(BM_EditorIdle)->Unit(benchmark::kMicrosecond);

// effEditOpen and effEditClose: six pictures decoded, ten controls and the frame built and
// released.
void BM_EditorOpenClose(benchmark::State& state) {
  AEffect* effect = newInstance(state);
  if (!effect) return;
  SparkwellOffscreenTarget target{};
  target.magic = kSparkwellOffscreenMagic;
  for (auto _ : state) {
    dispatch(effect, effEditOpen, &target);
    dispatch(effect, effEditClose);
  }
  dispatch(effect, effClose);
}
BENCHMARK(BM_EditorOpenClose)->Unit(benchmark::kMicrosecond);

// The host sets Stereo (no redesign in the effect) with the window open. Argument 0: on the
// thread that opened the window (the control moves at once); 1: on another thread, as a host's
// engine does (the value waits in its slot for the next idle).
void BM_SetParameterWithWindowOpen(benchmark::State& state) {
  AEffect* effect = newInstance(state);
  if (!effect) return;
  SparkwellOffscreenTarget target{};
  target.magic = kSparkwellOffscreenMagic;
  const bool fromAnotherThread = state.range(0) != 0;
  if (fromAnotherThread)
    std::thread([&] { dispatch(effect, effEditOpen, &target); }).join();
  else
    dispatch(effect, effEditOpen, &target);
  float value = 0.0f;
  for (auto _ : state) {
    effect->setParameter(effect, 7, value);
    value = value == 0.0f ? 1.0f : 0.0f;
  }
  dispatch(effect, effEditClose);
  dispatch(effect, effClose);
}
BENCHMARK(BM_SetParameterWithWindowOpen)->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
