// What an open editor and a large session cost, through the exported entry point as a host
// meets them, for one or more builds of the module in the same run:
//
//   session_bench [benchmark flags] [LABEL=MODULE.so ...]
//
// Without modules it measures the one this build made, labelled "built". Each benchmark's name
// ends with its module's label, so two builds can be set side by side as ratios.
//
// - EditorIdle/<label>/<moving>/<scale>: effEditIdle of the real editor in a real X window (a
//   private Xvfb) at the host's scale factor (in hundredths: 100, 200); moving 0: nothing
//   changing; 1: Gain set by the host before every idle, moving the SET knob each time.
// - EditorOpen/<label>/<scale>: in a fresh child process, the first editor opened and drawn at
//   the factor (its pictures decoded, and resized for a factor between the drawn sets) and then
//   a second instance's editor opened and drawn beside it (the pictures shared): time and
//   resident memory of each.
// - Instances/<label>: 1,000 instances created, opened and resumed in a fresh child process;
//   time and resident memory per instance, and what stays resident and what the heap still
//   holds once all are closed (the allocator keeps some pages it has no use for; the heap's own
//   count tells a leak from that).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// gtest (through the X server helper) before Xlib, whose macros would break it.
#include "xvfb_server.h"

#include "aeffect.h"
#include "plugin_host.h"
#include "x11_host_window.h"

namespace {

using sparkwell_test::PluginLibrary;

constexpr int kPanelWidth = 450, kPanelHeight = 306;
constexpr int kSessionInstances = 1000;

// A host that answers only what the plug-in needs and records nothing, so the host's own
// bookkeeping stays out of the figures.
VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

VstIntPtr dispatch(AEffect* effect, VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr,
                   float opt = 0.0f) {
  return effect->dispatcher(effect, opcode, 0, value, ptr, opt);
}

struct Module {
  std::string label;
  std::string path;
};

void pumpIdle(AEffect* effect, int times) {
  for (int i = 0; i < times; ++i) {
    dispatch(effect, effEditIdle);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

// The host's scale factor, in hundredths; 100 sends nothing, as most hosts do.
void setScale(AEffect* effect, int64_t hundredths) {
  if (hundredths != 100)
    effect->dispatcher(effect, effVendorSpecific, CCONST('P', 'r', 'e', 'S'),
                       CCONST('A', 'e', 'C', 's'), nullptr,
                       static_cast<float>(hundredths) / 100.0f);
}

void editorIdle(benchmark::State& state, const Module& module) {
  PluginLibrary library(module.path);
  VstPluginMainProc entry = library.vstPluginMain();
  AEffect* effect = entry != nullptr ? entry(quietHost) : nullptr;
  if (effect == nullptr) {
    state.SkipWithError("the plug-in module could not be loaded");
    return;
  }
  {
    sparkwell_test::X11HostWindow window(kPanelWidth * 3, kPanelHeight * 3);
    if (!window.isOpen()) {
      state.SkipWithError("no X display");
    } else {
      dispatch(effect, effOpen);
      setScale(effect, state.range(1));
      dispatch(effect, effEditOpen, 0, window.parentHandle());
      pumpIdle(effect, 20); // mapped, exposed and drawn once
      const bool automated = state.range(0) != 0;
      // Two values far enough apart that every change shows another knob frame.
      float gain = 0.2f;
      for (auto _ : state) {
        if (automated) {
          effect->setParameter(effect, 0, gain);
          gain = gain == 0.2f ? 0.8f : 0.2f;
        }
        dispatch(effect, effEditIdle);
      }
      dispatch(effect, effEditClose);
    }
  }
  dispatch(effect, effClose);
}

long residentKilobytes() {
  long pages = 0, resident = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Bytes the heap has handed out and not had back, mmap'd blocks included.
long heapBytesInUse() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long>(info.uordblks + info.hblkhd);
}

struct SessionFigures {
  double seconds = 0.0; // creating, opening and resuming all instances
  long grownKb = 0;     // resident memory they added
  long leftKb = 0;      // resident memory still added after they all closed
  long heapLeft = 0;    // heap bytes still in use after they all closed
  int created = 0;
};

// Opened and resumed, as a host readies an instance to play.
void startInstance(AEffect* effect) {
  dispatch(effect, effOpen);
  dispatch(effect, effSetSampleRate, 0, nullptr, 44100.0f);
  dispatch(effect, effSetBlockSize, 512);
  dispatch(effect, effMainsChanged, 1);
}

void stopInstance(AEffect* effect) {
  dispatch(effect, effMainsChanged, 0);
  dispatch(effect, effClose);
}

// Runs in a child process of its own, so that every module starts from the same fresh heap.
SessionFigures runSession(const std::string& path) {
  SessionFigures figures;
  PluginLibrary library(path);
  VstPluginMainProc entry = library.vstPluginMain();
  if (entry == nullptr) return figures;
  // One instance through the whole life first, so the module's one-off costs (code paged in,
  // the heap's first growth) are not counted per instance.
  AEffect* first = entry(quietHost);
  if (first == nullptr) return figures;
  startInstance(first);
  stopInstance(first);
  malloc_trim(0);
  const long before = residentKilobytes();
  const long heapBefore = heapBytesInUse();
  std::vector<AEffect*> session;
  session.reserve(kSessionInstances);
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kSessionInstances; ++i) {
    AEffect* effect = entry(quietHost);
    if (effect == nullptr) break;
    startInstance(effect);
    session.push_back(effect);
  }
  figures.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  figures.grownKb = residentKilobytes() - before;
  figures.created = static_cast<int>(session.size());
  for (AEffect* effect : session)
    stopInstance(effect);
  session.clear();
  session.shrink_to_fit();
  figures.heapLeft = heapBytesInUse() - heapBefore;
  malloc_trim(0);
  figures.leftKb = residentKilobytes() - before;
  return figures;
}

struct OpenFigures {
  double firstMs = 0.0, nextMs = 0.0; // effEditOpen and the idle that draws the window
  long firstKb = 0, nextKb = 0;       // resident memory each added
  bool complete = false;
};

// Runs in a child process of its own: the pictures are made for the first editor only.
OpenFigures runOpens(const std::string& path, int64_t scale) {
  OpenFigures figures;
  PluginLibrary library(path);
  VstPluginMainProc entry = library.vstPluginMain();
  if (entry == nullptr) return figures;
  sparkwell_test::X11HostWindow first(kPanelWidth * 3, kPanelHeight * 3);
  sparkwell_test::X11HostWindow second(kPanelWidth * 3, kPanelHeight * 3);
  AEffect* effects[2] = {entry(quietHost), entry(quietHost)};
  if (!first.isOpen() || !second.isOpen() || effects[0] == nullptr || effects[1] == nullptr)
    return figures;
  sparkwell_test::X11HostWindow* windows[2] = {&first, &second};
  for (int i = 0; i < 2; ++i) {
    startInstance(effects[i]);
    setScale(effects[i], scale);
  }
  malloc_trim(0);
  for (int i = 0; i < 2; ++i) {
    const long before = residentKilobytes();
    const auto start = std::chrono::steady_clock::now();
    dispatch(effects[i], effEditOpen, 0, windows[i]->parentHandle());
    dispatch(effects[i], effEditIdle);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    (i == 0 ? figures.firstMs : figures.nextMs) = ms;
    (i == 0 ? figures.firstKb : figures.nextKb) = residentKilobytes() - before;
  }
  for (AEffect* effect : effects) {
    dispatch(effect, effEditClose);
    stopInstance(effect);
  }
  figures.complete = true;
  return figures;
}

// Runs `measure` in a child process of its own (a fresh heap, pictures not yet decoded) and
// brings its figures back through a pipe; false when the child could not deliver them.
template <class Figures, class Measure> bool inChildProcess(Figures& figures, Measure measure) {
  int channel[2];
  if (pipe(channel) != 0) return false;
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    const Figures measured = measure();
    const ssize_t written = write(channel[1], &measured, sizeof measured);
    _exit(written == static_cast<ssize_t>(sizeof measured) ? 0 : 1);
  }
  close(channel[1]);
  const bool complete = child > 0 && read(channel[0], &figures, sizeof figures) ==
                                         static_cast<ssize_t>(sizeof figures);
  close(channel[0]);
  int status = 0;
  if (child > 0) waitpid(child, &status, 0);
  return complete;
}

void editorOpen(benchmark::State& state, const Module& module) {
  for (auto _ : state) {
    OpenFigures figures;
    const bool complete =
        inChildProcess(figures, [&] { return runOpens(module.path, state.range(0)); });
    if (!complete || !figures.complete) {
      state.SkipWithError("the editors could not be opened");
      return;
    }
    state.SetIterationTime(figures.firstMs / 1000.0);
    state.counters["first_open_ms"] = figures.firstMs;
    state.counters["next_open_ms"] = figures.nextMs;
    state.counters["first_open_KB"] = static_cast<double>(figures.firstKb);
    state.counters["next_open_KB"] = static_cast<double>(figures.nextKb);
  }
}

void instances(benchmark::State& state, const Module& module) {
  for (auto _ : state) {
    SessionFigures figures;
    const bool complete = inChildProcess(figures, [&] { return runSession(module.path); });
    if (!complete || figures.created != kSessionInstances) {
      state.SkipWithError("the session could not be built");
      return;
    }
    state.SetIterationTime(figures.seconds);
    state.counters["us_per_instance"] = figures.seconds * 1e6 / kSessionInstances;
    state.counters["KB_per_instance"] = static_cast<double>(figures.grownKb) / kSessionInstances;
    state.counters["KB_left_after_close"] = static_cast<double>(figures.leftKb);
    state.counters["heap_bytes_left_after_close"] = static_cast<double>(figures.heapLeft);
  }
}

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::vector<Module> modules;
  for (int i = 1; i < argc; ++i) {
    const char* equals = std::strchr(argv[i], '=');
    if (equals == nullptr) {
      std::fprintf(stderr, "usage: %s [benchmark flags] [LABEL=MODULE.so ...]\n", argv[0]);
      return 2;
    }
    modules.push_back(
        {std::string(argv[i], static_cast<size_t>(equals - argv[i])), std::string(equals + 1)});
  }
  if (modules.empty()) modules.push_back({"built", SPARKWELL_PLUGIN_PATH});

  hostkit::XvfbServer display;
  if (display.display().empty()) {
    std::fprintf(stderr, "%s\n", display.error().c_str());
    return 1;
  }
  setenv("DISPLAY", display.display().c_str(), 1);

  for (const Module& module : modules) {
    benchmark::RegisterBenchmark(("EditorIdle/" + module.label).c_str(), editorIdle, module)
        ->ArgsProduct({{0, 1}, {100, 200}})
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("EditorOpen/" + module.label).c_str(), editorOpen, module)
        ->Arg(100)
        ->Arg(150)
        ->Arg(200)
        ->Iterations(1)
        ->Repetitions(3)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("Instances/" + module.label).c_str(), instances, module)
        ->Iterations(1)
        ->Repetitions(3)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
