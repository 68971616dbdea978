// The few operating-system services the validator needs, one implementation per system
// (system_posix.cpp, system_win32.cpp): a monotonic clock, counting the process's threads and
// open files, and the heap in use. The host kit loads the plug-in module.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Seconds on a monotonic clock.
double monotonicSeconds();
// Processor time the calling thread has used, in seconds: what a piece of work costs,
// whatever else the machine is doing. Where the system cannot measure it finely enough
// (Windows counts in 15.6 ms ticks), the monotonic clock stands in.
double threadCpuSeconds();
// Whether a sanitizer runtime is present (its instrumentation makes everything slower).
bool underSanitizer();
void sleepMilliseconds(int milliseconds);

// Threads of this process; -1 where the system cannot tell.
int processThreadCount();
// Open file descriptors / handles of this process; -1 where the system cannot tell.
int processOpenFileCount();
// Bytes currently allocated on the heap (allocator statistics); -1 where unknown.
long long heapBytesInUse();

// Called once at start: a crash inside a plug-in call is reported with the current check
// and call instead of dying silently (left to the sanitizer runtime when one is present).
void installCrashReporter();
// What the crash reporter prints: the check that is running and the last plug-in call.
void setCurrentCheck(const char* name);
void setCurrentCall(const char* what, long long a, long long b);
