// Counts the calls to the C allocator (malloc, calloc, realloc) made anywhere in a test program,
// a plug-in loaded into it included, while `allocationCounting` is on. Linking
// sparkwell_counting_allocator replaces the C library's functions with counting ones (glibc
// only). The sanitizers own the allocator: under them nothing is replaced and
// kCountsCAllocator is false.
#pragma once

#include <atomic>

namespace sparkwell_test {

extern std::atomic<bool> allocationCounting;
extern std::atomic<long> countedAllocations;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kCountsCAllocator = false;
#else
constexpr bool kCountsCAllocator = true;
#endif

// Adds one to the count if counting is on (for a program's own allocation functions).
inline void countAllocation() {
  if (allocationCounting.load(std::memory_order_relaxed)) countedAllocations.fetch_add(1);
}

} // namespace sparkwell_test
