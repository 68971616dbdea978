// The editor of build/sparkwell.so, drawn into memory through the plug-in's private request for
// our tools, driven through the AEffect record as a host drives it.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <memory>
#include <thread>

#include "aeffect.h"
#include "memory_editor.h"

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
  {
    hostkit::MemoryEditor editor(effect);
    for (auto _ : state) {
      editor.idle();
      benchmark::DoNotOptimize(editor.pixels());
    }
  }
  dispatch(effect, effClose);
}
BENCHMARK(BM_EditorIdle)->Unit(benchmark::kMicrosecond);

// An open (in memory) and effEditClose: six pictures decoded, ten controls and the frame built
// and released.
void BM_EditorOpenClose(benchmark::State& state) {
  AEffect* effect = newInstance(state);
  if (!effect) return;
  for (auto _ : state)
    hostkit::MemoryEditor editor(effect);
  dispatch(effect, effClose);
}
BENCHMARK(BM_EditorOpenClose)->Unit(benchmark::kMicrosecond);

// The host sets Stereo (no redesign in the effect) with the window open. Argument 0: on the
// thread that opened the window (the control moves at once); 1: on another thread, as a host's
// engine does (the value waits in its slot for the next idle).
void BM_SetParameterWithWindowOpen(benchmark::State& state) {
  AEffect* effect = newInstance(state);
  if (!effect) return;
  const bool fromAnotherThread = state.range(0) != 0;
  {
    std::unique_ptr<hostkit::MemoryEditor> editor;
    if (fromAnotherThread)
      std::thread([&] { editor = std::make_unique<hostkit::MemoryEditor>(effect); }).join();
    else
      editor = std::make_unique<hostkit::MemoryEditor>(effect);
    float value = 0.0f;
    for (auto _ : state) {
      effect->setParameter(effect, 7, value);
      value = value == 0.0f ? 1.0f : 0.0f;
    }
  }
  dispatch(effect, effClose);
}
BENCHMARK(BM_SetParameterWithWindowOpen)->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
