// The editor's PNG pictures by integer id, as the library holds them: on Linux a table compiled
// into the library, on Windows the module's resources under the type "PNG".
#pragma once

#include <cstddef>
#include <cstdint>

struct PngResource {
  const unsigned char* data; // the PNG file's bytes, alive as long as the library is loaded
  size_t size;
  // 0 for the library's own bytes; a number no earlier replacement had for bytes a test put in
  // place, so a decoded picture is never taken for another that happens to reuse its memory.
  uint64_t revision = 0;
};

// The picture with this id, or {nullptr, 0} when the library has none. Defined alone in
// pngresources.cpp, so that a test program can link its own lookup in its place.
PngResource findPngResource(int32_t id);

// The system's own lookup behind findPngResource, one implementation per system.
PngResource findSystemPngResource(int32_t id);
