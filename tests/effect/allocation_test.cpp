// processReplacing must not allocate: this program replaces the global allocation functions
// with counting ones and runs the audio callback through the exported entry point in every mode.
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>
#include <vector>

#include "sparkwell_fixture.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* countedAllocation(std::size_t size) {
  if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
  return std::malloc(size == 0 ? 1 : size);
}

} // namespace

void* operator new(std::size_t size) {
  if (void* p = countedAllocation(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  if (void* p = countedAllocation(size)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return countedAllocation(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return countedAllocation(size);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// The sanitizers own malloc; in the plain build the C allocator is counted as well.
extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* __libc_calloc(std::size_t count, std::size_t size);
extern "C" void* __libc_realloc(void* p, std::size_t size);
extern "C" void* malloc(std::size_t size) {
  if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
  return __libc_malloc(size);
}
extern "C" void* calloc(std::size_t count, std::size_t size) {
  if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
  return __libc_calloc(count, size);
}
extern "C" void* realloc(void* p, std::size_t size) {
  if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
  return __libc_realloc(p, size);
}
#endif

namespace sparkwell_test {
namespace {

using AllocationTest = SparkwellTest;

// Allocations made while `work` runs.
template <class Work> long allocationsDuring(Work work) {
  allocations.store(0);
  counting.store(true);
  work();
  counting.store(false);
  return allocations.load();
}

TEST_F(AllocationTest, TheCounterSeesAllocations) {
  std::vector<int>* made = nullptr;
  EXPECT_GT(allocationsDuring([&] { made = new std::vector<int>(100); }), 0);
  delete made;
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  void* raw = nullptr;
  EXPECT_GT(allocationsDuring([&] { raw = std::malloc(64); }), 0);
  std::free(raw);
#endif
}

TEST_F(AllocationTest, ProcessReplacingNeverAllocates) {
  auto instance = makeInstance();
  AEffect* record = instance->effect();
  const size_t frames = 512;
  StereoBuffer input = noise(frames, 2.0f, 5);
  std::vector<float> outLeft(frames), outRight(frames);
  float* inputs[2] = {input.left.data(), input.right.data()};
  float* outputs[2] = {outLeft.data(), outRight.data()};
  auto run = [&] {
    record->processReplacing(record, inputs, outputs, static_cast<VstInt32>(frames));
  };

  const struct {
    const char* what;
    VstInt32 index;
    float value;
  } steps[] = {
      {"default program", kGain, 0.6f}, {"stereo", kStereo, 0.0f},
      {"AC128", kTransistor, 1.0f},     {"grid current", kGridCurrent, 0.5f},
      {"pickup SC", kPickup, 0.9f},     {"pickup None", kPickup, 0.1f},
      {"stereo bypass", kEffect, 0.0f}, {"mono", kStereo, 1.0f},
      {"mono bypass", kEffect, 0.0f},   {"on again", kEffect, 1.0f},
  };
  for (const auto& step : steps) {
    instance->setParameter(step.index, step.value);
    EXPECT_EQ(allocationsDuring(run), 0) << step.what;
  }
  // The reset after a non-finite sample allocates nothing either.
  input.left[7] = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(allocationsDuring(run), 0) << "non-finite input";
}

} // namespace
} // namespace sparkwell_test
