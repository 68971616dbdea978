#include "pngdecoder.h"

#include <climits>
#include <memory>

// The one place stb_image's implementation is compiled; only its PNG reader, from memory.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
// No thread-local storage in the plug-in: hosts unload it, and a module's thread-local slots stay
// behind in every thread that touched them (LeakSanitizer's tracer trips over them at exit). The
// failure strings are the only thing stb keeps per thread, and nothing reads them here.
#define STBI_NO_THREAD_LOCALS
#define STBI_NO_FAILURE_STRINGS
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace {

uint32_t premultiply(uint32_t channel, uint32_t alpha) {
  return (channel * alpha + 127) / 255;
}

} // namespace

bool decodePng(const unsigned char* data, size_t size, PixelImage& image) {
  image = PixelImage();
  if (data == nullptr || size == 0 || size > static_cast<size_t>(INT_MAX)) return false;
  int width = 0, height = 0, channels = 0;
  // Owned from here on, so the decoded pixels go back also when the image cannot be allocated.
  const std::unique_ptr<unsigned char, void (*)(void*)> rgba(
      stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels, 4),
      stbi_image_free);
  if (rgba == nullptr) return false;
  image = PixelImage(width, height);
  const unsigned char* p = rgba.get();
  for (uint32_t& pixel : image.pixels) {
    const uint32_t a = p[3];
    pixel = makePixel(a, premultiply(p[0], a), premultiply(p[1], a), premultiply(p[2], a));
    p += 4;
  }
  return true;
}
