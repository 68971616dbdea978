// What an LV2 instance of Sparkwell costs to make and to keep: 1,000 instances of the DSP
// binary made one after another (time per 1,000), then held all at once (resident memory they
// add, read from /proc/self/statm). Each run also measures another build of the DSP binary when
// SPARKWELL_LV2_BASELINE names its file (a copy kept from an earlier build, say), so two builds
// compare in the same run:
//
//   SPARKWELL_LV2_BASELINE=/tmp/before/sparkwell_dsp.so build/bench/lv2/lv2_instances_bench
//
// The binaries are loaded with dlopen and driven through their descriptors, as lilv does.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <lv2/core/lv2.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kInstances = 1000;

const LV2_Descriptor* descriptorOf(const std::string& path) {
  using DescriptorFunction = const LV2_Descriptor* (*)(uint32_t);
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  auto function =
      module ? reinterpret_cast<DescriptorFunction>(dlsym(module, "lv2_descriptor")) : nullptr;
  return function ? function(0) : nullptr;
}

long residentBytes() {
  long pages = 0, resident = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return resident * sysconf(_SC_PAGESIZE);
}

// Makes kInstances instances, runs each once on a short block (so its pages are touched as a
// host's first cycle touches them), and frees them; the time is per kInstances instances, and
// the counter is the resident memory they held together.
void Instances(benchmark::State& state, std::string path) {
  const LV2_Descriptor* descriptor = descriptorOf(path);
  if (descriptor == nullptr) {
    state.SkipWithError(("cannot load " + path).c_str());
    return;
  }
  float silence[64] = {}, left[64], right[64];
  std::vector<LV2_Handle> handles(kInstances);
  long added = 0;
  for (auto _ : state) {
    const long before = residentBytes();
    for (LV2_Handle& handle : handles) {
      handle = descriptor->instantiate(descriptor, 44100.0, "", nullptr);
      if (handle == nullptr) {
        state.SkipWithError("instantiate failed");
        return;
      }
      descriptor->connect_port(handle, 0, silence);
      descriptor->connect_port(handle, 1, silence);
      descriptor->connect_port(handle, 2, left);
      descriptor->connect_port(handle, 3, right);
      descriptor->activate(handle);
      descriptor->run(handle, 64);
    }
    added = residentBytes() - before;
    state.PauseTiming();
    for (LV2_Handle handle : handles) {
      descriptor->deactivate(handle);
      descriptor->cleanup(handle);
    }
    state.ResumeTiming();
  }
  state.counters["resident_KiB"] = static_cast<double>(added) / 1024.0;
}

} // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("Lv2Instances/this_build", Instances,
                               std::string(SPARKWELL_LV2_BUNDLE "/sparkwell_dsp.so"))
      ->Unit(benchmark::kMillisecond);
  if (const char* baseline = std::getenv("SPARKWELL_LV2_BASELINE"))
    benchmark::RegisterBenchmark("Lv2Instances/baseline", Instances, std::string(baseline))
        ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
