#include "counting_allocator.h"

#include <cstddef>

namespace sparkwell_test {
std::atomic<bool> allocationCounting{false};
std::atomic<long> countedAllocations{0};
} // namespace sparkwell_test

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// glibc's own entry points, which the replacements pass each request on to. operator new of the
// C++ library comes here too.
extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* __libc_calloc(std::size_t count, std::size_t size);
extern "C" void* __libc_realloc(void* p, std::size_t size);

extern "C" void* malloc(std::size_t size) {
  sparkwell_test::countAllocation();
  return __libc_malloc(size);
}
extern "C" void* calloc(std::size_t count, std::size_t size) {
  sparkwell_test::countAllocation();
  return __libc_calloc(count, size);
}
extern "C" void* realloc(void* p, std::size_t size) {
  sparkwell_test::countAllocation();
  return __libc_realloc(p, size);
}
#endif
