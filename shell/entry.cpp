// The plug-in library's exported entry point and, on Windows, its load notification.
#include "audioeffect.h"
#include "moduleinstance.h"

#ifdef _WIN32
#include <windows.h>
// The module definition file (exports.def) names the exports on Windows.
#define SPARKWELL_EXPORT
#else
#define SPARKWELL_EXPORT __attribute__((visibility("default")))
#endif

// The host calls this once per instance with its callback and gets the instance's record, or
// null when no instance could be made. Nothing may throw past this function into the host.
extern "C" SPARKWELL_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
  if (!audioMaster) return nullptr;
  try {
    // Only a host that answers the version query is served; the number itself is not used.
    if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    AudioEffect* effect = createEffectInstance(audioMaster);
    return effect ? effect->getAeffect() : nullptr;
  } catch (...) {
    return nullptr;
  }
}

#ifndef _WIN32
// Older hosts look for "main". C++ does not allow a function of that name returning a
// pointer, so the second name is an alias of the same code; Windows gets it from exports.def.
extern "C" SPARKWELL_EXPORT AEffect* main_entry_alias(audioMasterCallback) __asm__("main")
    __attribute__((alias("VSTPluginMain")));
#endif

#ifdef _WIN32
// Keeps the module handle for every reason the loader calls with; the toolkit finds the
// library's resources through it.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD /*reason*/, LPVOID /*reserved*/) {
  moduleInstance = instance;
  return TRUE;
}
#endif
