// The editor's PNG pictures by integer id, as the library holds them: on Linux a table compiled
// into the library, on Windows the module's resources under the type "PNG".
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct PngResource {
  const unsigned char* data; // the PNG file's bytes, alive as long as the library is loaded
  size_t size;
  // 0 for the library's own bytes; a number no earlier replacement had for bytes a test put in
  // place, so a decoded picture is never taken for another that happens to reuse its memory.
  uint64_t revision = 0;
};

// The picture with this id, or {nullptr, 0} when the library has none.
PngResource findPngResource(int32_t id);

// Tests put their own pictures in place of the library's: the bytes are copied and served for
// `id` until restorePngResources(). Empty bytes make the id missing.
void replacePngResource(int32_t id, std::vector<unsigned char> bytes);
void restorePngResources();

// The system's own lookup behind findPngResource, one implementation per system.
PngResource findSystemPngResource(int32_t id);
