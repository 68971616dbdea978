// processReplacing must not allocate: this program replaces the global allocation functions
// with counting ones and runs the audio callback through the exported entry point in every mode.
// The same functions can make one chosen operator new fail, for the instance and its editor
// running out of memory part of the way through being built.
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <dlfcn.h>
#include <limits>
#include <new>
#include <vector>

#include "counting_allocator.h"
#include "editorchannel.h"
#include "sparkwell_fixture.h"

namespace {

// While `failing` is on, the plug-in's own operator new calls (those made from code in the
// module loaded at `pluginBase`, not the test host's) are numbered from 1, and call number
// `failingCall` throws std::bad_alloc.
std::atomic<bool> failing{false};
std::atomic<long> newCalls{0};
std::atomic<long> failingCall{0};
std::atomic<const void*> pluginBase{nullptr};

const void* moduleOf(const void* address) {
  Dl_info info;
  return dladdr(address, &info) != 0 ? info.dli_fbase : nullptr;
}

void* countedAllocation(std::size_t size) {
  sparkwell_test::countAllocation();
  return std::malloc(size == 0 ? 1 : size);
}

void* throwingAllocation(std::size_t size, const void* caller) {
  if (failing.load(std::memory_order_relaxed) && moduleOf(caller) == pluginBase.load() &&
      newCalls.fetch_add(1) + 1 == failingCall.load())
    throw std::bad_alloc();
  if (void* p = countedAllocation(size)) return p;
  throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) {
  return throwingAllocation(size, __builtin_return_address(0));
}
void* operator new[](std::size_t size) {
  return throwingAllocation(size, __builtin_return_address(0));
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

namespace sparkwell_test {
namespace {

using AllocationTest = SparkwellTest;

// Allocations made while `work` runs.
template <class Work> long allocationsDuring(Work work) {
  countedAllocations.store(0);
  allocationCounting.store(true);
  work();
  allocationCounting.store(false);
  return countedAllocations.load();
}

TEST_F(AllocationTest, TheCounterSeesAllocations) {
  std::vector<int>* made = nullptr;
  EXPECT_GT(allocationsDuring([&] { made = new std::vector<int>(100); }), 0);
  delete made;
  if (kCountsCAllocator) {
    // Kept in a volatile, or the compiler may drop a malloc whose block is only freed.
    void* volatile raw = nullptr;
    EXPECT_GT(allocationsDuring([&] { raw = std::malloc(64); }), 0);
    std::free(raw);
  }
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

// Every operator new of the instance's construction and of its editor's open fails once, one
// per round: the host gets null or 0, what was built is released again (the asan build's leak
// check sees what is not), and the editor opens once memory is there again.
TEST_F(AllocationTest, RunningOutOfMemoryInTheEditorIsACleanFailure) {
  int failedCreations = 0;
  int failedOpens = 0;
  pluginBase.store(moduleOf(reinterpret_cast<const void*>(library.vstPluginMain())));
  ASSERT_NE(pluginBase.load(), nullptr);
  for (long call = 1;; ++call) {
    ASSERT_LT(call, 10000) << "construction and open never ran through";
    newCalls.store(0);
    failingCall.store(call);
    failing.store(true);
    AEffect* effect = host.create(library.vstPluginMain());
    failing.store(false);
    if (effect == nullptr) {
      EXPECT_GE(newCalls.load(), call) << "only an allocation failure makes creation fail";
      ++failedCreations;
      continue;
    }
    auto dispatch = [effect](VstInt32 opcode, void* ptr = nullptr) {
      return effect->dispatcher(effect, opcode, 0, 0, ptr, 0.0f);
    };
    // The editor in memory, opened through the private request of our tools.
    SparkwellOffscreenTarget target{};
    target.size = sizeof target;
    target.version = kSparkwellOffscreenTargetVersion;
    auto openInMemory = [effect, &target] {
      return effect->dispatcher(effect, effVendorSpecific, kSparkwellChannelIndex,
                                kSparkwellChannelOpenEditor, &target, 0.0f);
    };
    failing.store(true);
    const VstIntPtr opened = openInMemory();
    failing.store(false);
    const bool failed = newCalls.load() >= call;
    if (failed) {
      ++failedOpens;
      EXPECT_EQ(opened, 0) << "allocation " << call;
      EXPECT_EQ(target.frame, nullptr) << "no frame is left behind, allocation " << call;
      EXPECT_EQ(openInMemory(), 1);
      dispatch(effEditIdle);
      EXPECT_NE(target.pixels, nullptr);
    } else {
      EXPECT_EQ(opened, 1);
    }
    dispatch(effEditClose);
    EXPECT_EQ(dispatch(effClose), 1);
    host.forget(effect);
    if (!failed) break;
  }
  EXPECT_GT(failedCreations, 2);
  EXPECT_GT(failedOpens, 16) << "six pictures, the frame and ten controls at least";
}

} // namespace
} // namespace sparkwell_test
