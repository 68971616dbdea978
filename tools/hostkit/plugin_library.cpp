#include "hostkit.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace hostkit {

#ifdef _WIN32

namespace {

// Build paths are Unix paths when the tests run under Wine, whose drive Z: is the Unix root.
std::wstring windowsPath(const std::string& path) {
  std::string native = path;
  if (!native.empty() && native[0] == '/') native = "Z:" + native;
  for (char& c : native)
    if (c == '/') c = '\\';
  const int length = MultiByteToWideChar(CP_UTF8, 0, native.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
  if (length > 0) MultiByteToWideChar(CP_UTF8, 0, native.c_str(), -1, &wide[0], length);
  wide.resize(wcslen(wide.c_str()));
  return wide;
}

} // namespace

PluginLibrary::PluginLibrary(const std::string& path) {
  handle = reinterpret_cast<void*>(LoadLibraryW(windowsPath(path).c_str()));
  if (!handle) error = "LoadLibraryW failed with error " + std::to_string(GetLastError());
}

PluginLibrary::~PluginLibrary() {
  if (handle) FreeLibrary(reinterpret_cast<HMODULE>(handle));
}

VstPluginMainProc PluginLibrary::entry(const char* name) const {
  if (!handle) return nullptr;
  return reinterpret_cast<VstPluginMainProc>(
      reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle), name)));
}

#else

PluginLibrary::PluginLibrary(const std::string& path) {
  // RTLD_NOW finds a missing symbol at load, as a careful host would.
  handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* message = dlerror();
    error = message ? message : "dlopen failed";
  }
}

PluginLibrary::~PluginLibrary() {
  if (handle) dlclose(handle);
}

VstPluginMainProc PluginLibrary::entry(const char* name) const {
  if (!handle) return nullptr;
  return reinterpret_cast<VstPluginMainProc>(dlsym(handle, name));
}

#endif

} // namespace hostkit
