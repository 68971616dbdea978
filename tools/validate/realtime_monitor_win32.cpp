// Windows implementation of realtime_monitor.h: the plug-in module's import address table
// entries for allocation, locks, waits, sleeps and file output are replaced by wrappers that
// count the call when the calling thread is armed and then call the original.
#include "realtime_monitor.h"

#include <windows.h>

#include <atomic>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
DWORD armedSlot = TlsAlloc(); // per-thread flag without the C runtime's help
std::atomic<long> counted{0};
std::atomic<const char*> firstCall{nullptr};
std::atomic<int> patchedImports{0};

void observe(const char* name) {
  if (!TlsGetValue(armedSlot)) return;
  counted.fetch_add(1);
  const char* none = nullptr;
  firstCall.compare_exchange_strong(none, name);
}

// The original functions, filled when the first import of each is patched.
void* (*realMalloc)(size_t);
void* (*realCalloc)(size_t, size_t);
void* (*realRealloc)(void*, size_t);
void (*realFree)(void*);
void(WINAPI* realSleep)(DWORD);
DWORD(WINAPI* realSleepEx)(DWORD, BOOL);
void(WINAPI* realEnterCriticalSection)(LPCRITICAL_SECTION);
BOOL(WINAPI* realTryEnterCriticalSection)(LPCRITICAL_SECTION);
DWORD(WINAPI* realWaitForSingleObject)(HANDLE, DWORD);
DWORD(WINAPI* realWaitForMultipleObjects)(DWORD, const HANDLE*, BOOL, DWORD);
HANDLE(WINAPI* realCreateFileW)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
BOOL(WINAPI* realWriteFile)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
BOOL(WINAPI* realReadFile)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
size_t (*realFwrite)(const void*, size_t, size_t, FILE*);
int (*realFputs)(const char*, FILE*);
int (*realFputc)(int, FILE*);
int (*realVfprintf)(FILE*, const char*, va_list);

void* countedMalloc(size_t size) {
  observe("malloc");
  return realMalloc(size);
}
void* countedCalloc(size_t count, size_t size) {
  observe("calloc");
  return realCalloc(count, size);
}
void* countedRealloc(void* pointer, size_t size) {
  observe("realloc");
  return realRealloc(pointer, size);
}
void countedFree(void* pointer) {
  if (pointer) observe("free");
  realFree(pointer);
}
void WINAPI countedSleep(DWORD milliseconds) {
  observe("Sleep");
  realSleep(milliseconds);
}
DWORD WINAPI countedSleepEx(DWORD milliseconds, BOOL alertable) {
  observe("SleepEx");
  return realSleepEx(milliseconds, alertable);
}
void WINAPI countedEnterCriticalSection(LPCRITICAL_SECTION section) {
  observe("EnterCriticalSection");
  realEnterCriticalSection(section);
}
BOOL WINAPI countedTryEnterCriticalSection(LPCRITICAL_SECTION section) {
  observe("TryEnterCriticalSection");
  return realTryEnterCriticalSection(section);
}
DWORD WINAPI countedWaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  observe("WaitForSingleObject");
  return realWaitForSingleObject(handle, milliseconds);
}
DWORD WINAPI countedWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL all,
                                           DWORD milliseconds) {
  observe("WaitForMultipleObjects");
  return realWaitForMultipleObjects(count, handles, all, milliseconds);
}
HANDLE WINAPI countedCreateFileW(LPCWSTR name, DWORD access, DWORD share,
                                 LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                                 HANDLE templateFile) {
  observe("CreateFileW");
  return realCreateFileW(name, access, share, security, disposition, flags, templateFile);
}
BOOL WINAPI countedWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                             LPOVERLAPPED overlapped) {
  observe("WriteFile");
  return realWriteFile(file, data, size, written, overlapped);
}
BOOL WINAPI countedReadFile(HANDLE file, LPVOID data, DWORD size, LPDWORD read,
                            LPOVERLAPPED overlapped) {
  observe("ReadFile");
  return realReadFile(file, data, size, read, overlapped);
}
size_t countedFwrite(const void* data, size_t size, size_t count, FILE* file) {
  observe("fwrite");
  return realFwrite(data, size, count, file);
}
int countedFputs(const char* text, FILE* file) {
  observe("fputs");
  return realFputs(text, file);
}
int countedFputc(int character, FILE* file) {
  observe("fputc");
  return realFputc(character, file);
}
int countedVfprintf(FILE* file, const char* format, va_list args) {
  observe("vfprintf");
  return realVfprintf(file, format, args);
}
int countedFprintf(FILE* file, const char* format, ...) {
  observe("fprintf");
  va_list args;
  va_start(args, format);
  int written = vfprintf(file, format, args);
  va_end(args);
  return written;
}
int countedPrintf(const char* format, ...) {
  observe("printf");
  va_list args;
  va_start(args, format);
  int written = vprintf(format, args);
  va_end(args);
  return written;
}

struct Hook {
  const char* name;
  void* wrapper;
  void** original; // null: the wrapper needs no original
};

template <typename Function> void** slot(Function& function) {
  return reinterpret_cast<void**>(&function);
}

const Hook kHooks[] = {
    {"malloc", reinterpret_cast<void*>(countedMalloc), slot(realMalloc)},
    {"calloc", reinterpret_cast<void*>(countedCalloc), slot(realCalloc)},
    {"realloc", reinterpret_cast<void*>(countedRealloc), slot(realRealloc)},
    {"free", reinterpret_cast<void*>(countedFree), slot(realFree)},
    {"Sleep", reinterpret_cast<void*>(countedSleep), slot(realSleep)},
    {"SleepEx", reinterpret_cast<void*>(countedSleepEx), slot(realSleepEx)},
    {"EnterCriticalSection", reinterpret_cast<void*>(countedEnterCriticalSection),
     slot(realEnterCriticalSection)},
    {"TryEnterCriticalSection", reinterpret_cast<void*>(countedTryEnterCriticalSection),
     slot(realTryEnterCriticalSection)},
    {"WaitForSingleObject", reinterpret_cast<void*>(countedWaitForSingleObject),
     slot(realWaitForSingleObject)},
    {"WaitForMultipleObjects", reinterpret_cast<void*>(countedWaitForMultipleObjects),
     slot(realWaitForMultipleObjects)},
    {"CreateFileW", reinterpret_cast<void*>(countedCreateFileW), slot(realCreateFileW)},
    {"WriteFile", reinterpret_cast<void*>(countedWriteFile), slot(realWriteFile)},
    {"ReadFile", reinterpret_cast<void*>(countedReadFile), slot(realReadFile)},
    {"fwrite", reinterpret_cast<void*>(countedFwrite), slot(realFwrite)},
    {"fputs", reinterpret_cast<void*>(countedFputs), slot(realFputs)},
    {"fputc", reinterpret_cast<void*>(countedFputc), slot(realFputc)},
    {"vfprintf", reinterpret_cast<void*>(countedVfprintf), slot(realVfprintf)},
    {"fprintf", reinterpret_cast<void*>(countedFprintf), nullptr},
    {"printf", reinterpret_cast<void*>(countedPrintf), nullptr},
};

void patch(void** entry, const Hook& hook) {
  if (*entry == hook.wrapper) return; // already patched (the module was loaded again)
  if (hook.original && !*hook.original) *hook.original = *entry;
  DWORD protection;
  if (!VirtualProtect(entry, sizeof(void*), PAGE_READWRITE, &protection)) return;
  *entry = hook.wrapper;
  VirtualProtect(entry, sizeof(void*), protection, &protection);
  patchedImports.fetch_add(1);
}
} // namespace

bool realtimeMonitorAvailable() {
  return patchedImports.load() > 0;
}

void realtimeMonitorAttach(void* moduleHandle) {
  auto* base = static_cast<unsigned char*>(moduleHandle);
  if (!base) return;
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!imports.VirtualAddress) return;
  for (auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       descriptor->Name; ++descriptor) {
    if (!descriptor->OriginalFirstThunk) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA64*>(base + descriptor->OriginalFirstThunk);
    auto* entries = reinterpret_cast<void**>(base + descriptor->FirstThunk);
    for (size_t i = 0; names[i].u1.AddressOfData; ++i) {
      if (IMAGE_SNAP_BY_ORDINAL64(names[i].u1.Ordinal)) continue;
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names[i].u1.AddressOfData);
      const char* name = reinterpret_cast<const char*>(byName->Name);
      for (const Hook& hook : kHooks)
        if (strcmp(name, hook.name) == 0) patch(&entries[i], hook);
    }
  }
}

void realtimeMonitorArm(bool armed) {
  TlsSetValue(armedSlot, armed ? reinterpret_cast<void*>(1) : nullptr);
}
long realtimeMonitorCount() {
  return counted.load();
}
const char* realtimeMonitorFirstCall() {
  return firstCall.load();
}
void realtimeMonitorReset() {
  counted.store(0);
  firstCall.store(nullptr);
}

bool realtimeMonitorSelfTest(std::string& why) {
  if (!realMalloc || !realFree) {
    why = "the plug-in imports no malloc and free to watch";
    return false;
  }
  realtimeMonitorReset();
  realtimeMonitorArm(true);
  // Through the wrappers now sitting in the plug-in's import table.
  void* probe = countedMalloc(16);
  countedFree(probe);
  realtimeMonitorArm(false);
  long seen = realtimeMonitorCount();
  realtimeMonitorReset();
  if (seen >= 2) return true;
  why = "malloc and free through the import table counted " + std::to_string(seen) +
        " calls, expected 2";
  return false;
}
