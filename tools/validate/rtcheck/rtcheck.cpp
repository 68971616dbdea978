// sparkwell-rtcheck.so: counts the calls a real-time audio thread must never make while the
// calling thread is armed: heap allocation and release, locks and waits, sleeps, file and
// socket calls. It works by symbol interposition: linked as the validator's first library
// (or preloaded), its definitions come before the C library's, so a plug-in loaded later
// reaches these wrappers, which count and then call the real function.
//
// Under a sanitizer runtime, whose allocator comes first, allocations are counted through
// the runtime's malloc and free hooks instead; every other wrapper still applies because
// the runtime's interceptors forward to the next definition, which is this one.
#include <dlfcn.h>
#include <pthread.h>
#include <semaphore.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <new>
#include <poll.h>

#define RTCHECK_EXPORT extern "C" __attribute__((visibility("default")))

extern "C" {
// glibc's own allocator entry points: reaching the real allocator without dlsym, which may
// itself allocate.
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* pointer);
int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, size_t),
                                              void (*onFree)(const volatile void*))
    __attribute__((weak));
}

namespace {
__thread int armed __attribute__((tls_model("initial-exec")));
std::atomic<long> counted{0};
std::atomic<const char*> firstCall{nullptr};

inline void observe(const char* name) {
  if (!armed) return;
  counted.fetch_add(1, std::memory_order_relaxed);
  const char* none = nullptr;
  firstCall.compare_exchange_strong(none, name, std::memory_order_relaxed);
}

void onSanitizerMalloc(const volatile void*, size_t) {
  observe("malloc");
}
void onSanitizerFree(const volatile void*) {
  observe("free");
}

__attribute__((constructor)) void installSanitizerHooks() {
  if (__sanitizer_install_malloc_and_free_hooks)
    __sanitizer_install_malloc_and_free_hooks(onSanitizerMalloc, onSanitizerFree);
}

// The next definition of `name` after this library, looked up once. No function-local
// static: its guard could take a lock, which would come back here.
template <typename Function> Function next(std::atomic<Function>& cache, const char* name) {
  Function function = cache.load(std::memory_order_acquire);
  if (!function) {
    function = reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
    cache.store(function, std::memory_order_release);
  }
  return function;
}
} // namespace

RTCHECK_EXPORT void sparkwell_rtcheck_arm(int on) {
  armed = on;
}
RTCHECK_EXPORT long sparkwell_rtcheck_count(void) {
  return counted.load();
}
RTCHECK_EXPORT const char* sparkwell_rtcheck_first(void) {
  return firstCall.load();
}
RTCHECK_EXPORT void sparkwell_rtcheck_reset(void) {
  counted.store(0);
  firstCall.store(nullptr);
}
RTCHECK_EXPORT int sparkwell_rtcheck_active(void) {
  return 1;
}

// Heap.
RTCHECK_EXPORT void* malloc(size_t size) {
  observe("malloc");
  return __libc_malloc(size);
}
RTCHECK_EXPORT void* calloc(size_t count, size_t size) {
  observe("calloc");
  return __libc_calloc(count, size);
}
RTCHECK_EXPORT void* realloc(void* pointer, size_t size) {
  observe("realloc");
  return __libc_realloc(pointer, size);
}
RTCHECK_EXPORT void free(void* pointer) {
  if (pointer) observe("free");
  __libc_free(pointer);
}
RTCHECK_EXPORT void* memalign(size_t alignment, size_t size) {
  observe("memalign");
  return __libc_memalign(alignment, size);
}
RTCHECK_EXPORT void* aligned_alloc(size_t alignment, size_t size) {
  observe("aligned_alloc");
  return __libc_memalign(alignment, size);
}
RTCHECK_EXPORT int posix_memalign(void** result, size_t alignment, size_t size) {
  observe("posix_memalign");
  if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return 22; // EINVAL
  void* pointer = __libc_memalign(alignment, size);
  if (!pointer) return 12; // ENOMEM
  *result = pointer;
  return 0;
}

__attribute__((visibility("default"))) void* operator new(size_t size) {
  observe("operator new");
  void* pointer = __libc_malloc(size ? size : 1);
  if (!pointer) throw std::bad_alloc();
  return pointer;
}
__attribute__((visibility("default"))) void* operator new[](size_t size) {
  observe("operator new[]");
  void* pointer = __libc_malloc(size ? size : 1);
  if (!pointer) throw std::bad_alloc();
  return pointer;
}
__attribute__((visibility("default"))) void* operator new(size_t size,
                                                          const std::nothrow_t&) noexcept {
  observe("operator new");
  return __libc_malloc(size ? size : 1);
}
__attribute__((visibility("default"))) void* operator new[](size_t size,
                                                            const std::nothrow_t&) noexcept {
  observe("operator new[]");
  return __libc_malloc(size ? size : 1);
}
__attribute__((visibility("default"))) void operator delete(void* pointer) noexcept {
  if (pointer) observe("operator delete");
  __libc_free(pointer);
}
__attribute__((visibility("default"))) void operator delete[](void* pointer) noexcept {
  if (pointer) observe("operator delete[]");
  __libc_free(pointer);
}
__attribute__((visibility("default"))) void operator delete(void* pointer, size_t) noexcept {
  if (pointer) observe("operator delete");
  __libc_free(pointer);
}
__attribute__((visibility("default"))) void operator delete[](void* pointer, size_t) noexcept {
  if (pointer) observe("operator delete[]");
  __libc_free(pointer);
}

// Locks and waits.
#define RTCHECK_FORWARD(result, name, params, args)                                                \
  RTCHECK_EXPORT result name params {                                                              \
    observe(#name);                                                                                \
    static std::atomic<result(*) params> real{nullptr};                                            \
    return next(real, #name) args;                                                                 \
  }

RTCHECK_FORWARD(int, pthread_mutex_lock, (pthread_mutex_t * mutex), (mutex))
RTCHECK_FORWARD(int, pthread_mutex_trylock, (pthread_mutex_t * mutex), (mutex))
RTCHECK_FORWARD(int, pthread_mutex_timedlock,
                (pthread_mutex_t * mutex, const struct timespec* until), (mutex, until))
RTCHECK_FORWARD(int, pthread_rwlock_rdlock, (pthread_rwlock_t * lock), (lock))
RTCHECK_FORWARD(int, pthread_rwlock_wrlock, (pthread_rwlock_t * lock), (lock))
RTCHECK_FORWARD(int, pthread_cond_wait, (pthread_cond_t * cond, pthread_mutex_t* mutex),
                (cond, mutex))
RTCHECK_FORWARD(int, pthread_cond_timedwait,
                (pthread_cond_t * cond, pthread_mutex_t* mutex, const struct timespec* until),
                (cond, mutex, until))
RTCHECK_FORWARD(int, pthread_join, (pthread_t thread, void** result), (thread, result))
RTCHECK_FORWARD(int, sem_wait, (sem_t * semaphore), (semaphore))
RTCHECK_FORWARD(int, sem_timedwait, (sem_t * semaphore, const struct timespec* until),
                (semaphore, until))

// Sleeps.
RTCHECK_FORWARD(int, nanosleep, (const struct timespec* duration, struct timespec* rest),
                (duration, rest))
RTCHECK_FORWARD(int, clock_nanosleep,
                (clockid_t clock, int flags, const struct timespec* duration,
                 struct timespec* rest),
                (clock, flags, duration, rest))
RTCHECK_FORWARD(int, usleep, (useconds_t microseconds), (microseconds))
RTCHECK_FORWARD(unsigned, sleep, (unsigned seconds), (seconds))

// Files.
RTCHECK_EXPORT int open(const char* path, int flags, ...) {
  observe("open");
  va_list args;
  va_start(args, flags);
  unsigned mode = va_arg(args, unsigned);
  va_end(args);
  static std::atomic<int (*)(const char*, int, ...)> real{nullptr};
  return next(real, "open")(path, flags, mode);
}
RTCHECK_EXPORT int open64(const char* path, int flags, ...) {
  observe("open64");
  va_list args;
  va_start(args, flags);
  unsigned mode = va_arg(args, unsigned);
  va_end(args);
  static std::atomic<int (*)(const char*, int, ...)> real{nullptr};
  return next(real, "open64")(path, flags, mode);
}
RTCHECK_EXPORT int openat(int directory, const char* path, int flags, ...) {
  observe("openat");
  va_list args;
  va_start(args, flags);
  unsigned mode = va_arg(args, unsigned);
  va_end(args);
  static std::atomic<int (*)(int, const char*, int, ...)> real{nullptr};
  return next(real, "openat")(directory, path, flags, mode);
}
RTCHECK_FORWARD(FILE*, fopen, (const char* path, const char* mode), (path, mode))
RTCHECK_FORWARD(FILE*, fopen64, (const char* path, const char* mode), (path, mode))
RTCHECK_FORWARD(int, fclose, (FILE * file), (file))
RTCHECK_FORWARD(size_t, fread, (void* data, size_t size, size_t count, FILE* file),
                (data, size, count, file))
RTCHECK_FORWARD(size_t, fwrite, (const void* data, size_t size, size_t count, FILE* file),
                (data, size, count, file))
RTCHECK_FORWARD(int, fflush, (FILE * file), (file))
RTCHECK_FORWARD(int, fputs, (const char* text, FILE* file), (text, file))
RTCHECK_FORWARD(int, puts, (const char* text), (text))
RTCHECK_FORWARD(int, vfprintf, (FILE * file, const char* format, va_list args),
                (file, format, args))
RTCHECK_FORWARD(int, vprintf, (const char* format, va_list args), (format, args))
RTCHECK_EXPORT int printf(const char* format, ...) {
  observe("printf");
  va_list args;
  va_start(args, format);
  int written = vfprintf(stdout, format, args);
  va_end(args);
  return written;
}
RTCHECK_EXPORT int fprintf(FILE* file, const char* format, ...) {
  observe("fprintf");
  va_list args;
  va_start(args, format);
  int written = vfprintf(file, format, args);
  va_end(args);
  return written;
}
RTCHECK_FORWARD(ssize_t, read, (int descriptor, void* data, size_t size), (descriptor, data, size))
RTCHECK_FORWARD(ssize_t, write, (int descriptor, const void* data, size_t size),
                (descriptor, data, size))
RTCHECK_FORWARD(int, close, (int descriptor), (descriptor))

// Sockets and waiting for descriptors.
RTCHECK_FORWARD(int, socket, (int domain, int type, int protocol), (domain, type, protocol))
RTCHECK_FORWARD(int, connect, (int descriptor, const struct sockaddr* address, socklen_t length),
                (descriptor, address, length))
RTCHECK_FORWARD(ssize_t, send, (int descriptor, const void* data, size_t size, int flags),
                (descriptor, data, size, flags))
RTCHECK_FORWARD(ssize_t, sendto,
                (int descriptor, const void* data, size_t size, int flags,
                 const struct sockaddr* address, socklen_t length),
                (descriptor, data, size, flags, address, length))
RTCHECK_FORWARD(ssize_t, recv, (int descriptor, void* data, size_t size, int flags),
                (descriptor, data, size, flags))
RTCHECK_FORWARD(ssize_t, recvfrom,
                (int descriptor, void* data, size_t size, int flags, struct sockaddr* address,
                 socklen_t* length),
                (descriptor, data, size, flags, address, length))
RTCHECK_FORWARD(int, poll, (struct pollfd * descriptors, nfds_t count, int timeout),
                (descriptors, count, timeout))
RTCHECK_FORWARD(int, select,
                (int count, fd_set* reading, fd_set* writing, fd_set* failing,
                 struct timeval* timeout),
                (count, reading, writing, failing, timeout))
