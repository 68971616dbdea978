// The pictures as resources of the plug-in module, type "PNG", found through the module handle
// that the load notification stored.
#include <windows.h>

#include "moduleinstance.h"
#include "pngresources.h"

PngResource findSystemPngResource(int32_t id) {
  HMODULE module = static_cast<HMODULE>(moduleInstance);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
  if (found == nullptr) return {nullptr, 0};
  HGLOBAL loaded = LoadResource(module, found);
  const DWORD size = SizeofResource(module, found);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr || size == 0) return {nullptr, 0};
  return {static_cast<const unsigned char*>(bytes), size};
}
