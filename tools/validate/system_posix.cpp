// Linux implementation of system.h.
#include "system.h"

#include <dirent.h>
#include <malloc.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

extern "C" {
// Present only when a sanitizer runtime is linked in; its allocator bypasses mallinfo.
size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));
}

double monotonicSeconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double threadCpuSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

bool underSanitizer() {
  return __sanitizer_get_current_allocated_bytes != nullptr;
}

void sleepMilliseconds(int milliseconds) {
  timespec pause{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
  nanosleep(&pause, nullptr);
}

static int countDirectoryEntries(const char* path) {
  DIR* dir = opendir(path);
  if (!dir) return -1;
  int count = 0;
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] != '.') ++count;
  }
  closedir(dir);
  return count;
}

int processThreadCount() {
  return countDirectoryEntries("/proc/self/task");
}

// The directory stream itself holds one descriptor while it is read.
int processOpenFileCount() {
  int count = countDirectoryEntries("/proc/self/fd");
  return count < 0 ? -1 : count - 1;
}

long long heapBytesInUse() {
  if (__sanitizer_get_current_allocated_bytes)
    return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
  struct mallinfo2 info = mallinfo2();
  return static_cast<long long>(info.uordblks + info.hblkhd);
}

namespace {
const char* volatile currentCheck = "(start)";
thread_local const char* currentCallName = nullptr;
thread_local long long currentCallA = 0, currentCallB = 0;

void writeText(const char* text) {
  ssize_t ignored = write(STDOUT_FILENO, text, strlen(text));
  (void)ignored;
}

void writeNumber(long long value) {
  char digits[32];
  snprintf(digits, sizeof digits, "%lld", value);
  writeText(digits);
}

void onCrash(int signalNumber) {
  writeText("FAIL ");
  writeText(currentCheck);
  writeText(": crashed with signal ");
  writeNumber(signalNumber);
  if (currentCallName) {
    writeText(" during ");
    writeText(currentCallName);
    writeText(" (");
    writeNumber(currentCallA);
    writeText(", ");
    writeNumber(currentCallB);
    writeText(")");
  }
  writeText("\n");
  _exit(128 + signalNumber);
}
} // namespace

void installCrashReporter() {
  if (__sanitizer_get_current_allocated_bytes) return; // the sanitizer reports with a stack
  struct sigaction action;
  memset(&action, 0, sizeof action);
  action.sa_handler = onCrash;
  sigemptyset(&action.sa_mask);
  for (int signalNumber : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
    sigaction(signalNumber, &action, nullptr);
}

void setCurrentCheck(const char* name) {
  currentCheck = name;
}

void setCurrentCall(const char* what, long long a, long long b) {
  currentCallName = what;
  currentCallA = a;
  currentCallB = b;
}
