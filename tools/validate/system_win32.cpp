// Windows implementation of system.h (built with mingw-w64, run under Wine or Windows).
#include "system.h"

#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <malloc.h>
#include <string>

double monotonicSeconds() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double threadCpuSeconds() {
  return monotonicSeconds();
}

bool underSanitizer() {
  return false;
}

void sleepMilliseconds(int milliseconds) {
  Sleep(static_cast<DWORD>(milliseconds));
}

int processThreadCount() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 entry;
  entry.dwSize = sizeof entry;
  int count = 0;
  DWORD self = GetCurrentProcessId();
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == self) ++count;
  CloseHandle(snapshot);
  return count;
}

int processOpenFileCount() {
  DWORD handles = 0;
  if (!GetProcessHandleCount(GetCurrentProcess(), &handles)) return -1;
  return static_cast<int>(handles);
}

long long heapBytesInUse() {
  long long total = 0;
  _HEAPINFO info;
  info._pentry = nullptr;
  int status;
  while ((status = _heapwalk(&info)) == _HEAPOK)
    if (info._useflag == _USEDENTRY) total += static_cast<long long>(info._size);
  return status == _HEAPEND ? total : -1;
}

namespace {
const char* volatile currentCheck = "(start)";
thread_local const char* currentCallName = nullptr;
thread_local long long currentCallA = 0, currentCallB = 0;

LONG WINAPI onCrash(EXCEPTION_POINTERS* info) {
  printf("FAIL %s: crashed with exception 0x%08lx", currentCheck,
         static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode));
  if (currentCallName)
    printf(" during %s (%lld, %lld)", currentCallName, currentCallA, currentCallB);
  printf("\n");
  fflush(stdout);
  ExitProcess(3);
  return EXCEPTION_EXECUTE_HANDLER;
}
} // namespace

void installCrashReporter() {
  SetUnhandledExceptionFilter(onCrash);
}

void setCurrentCheck(const char* name) {
  currentCheck = name;
}

void setCurrentCall(const char* what, long long a, long long b) {
  currentCallName = what;
  currentCallA = a;
  currentCallB = b;
}
