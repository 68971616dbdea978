#include "pngwriter.h"

#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

unsigned char unpremultiply(uint32_t channel, uint32_t alpha) {
  if (alpha == 0) return 0;
  const uint32_t straight = (channel * 255 + alpha / 2) / alpha;
  return static_cast<unsigned char>(straight > 255 ? 255 : straight);
}

} // namespace

bool savePng(const PixelImage& image, const char* path) {
  if (image.width <= 0 || image.height <= 0 || path == nullptr) return false;
  std::vector<unsigned char> rgba(image.pixels.size() * 4);
  unsigned char* out = rgba.data();
  for (uint32_t pixel : image.pixels) {
    const uint32_t alpha = pixelAlpha(pixel);
    *out++ = unpremultiply(pixelRed(pixel), alpha);
    *out++ = unpremultiply(pixelGreen(pixel), alpha);
    *out++ = unpremultiply(pixelBlue(pixel), alpha);
    *out++ = static_cast<unsigned char>(alpha);
  }
  return stbi_write_png(path, image.width, image.height, 4, rgba.data(), image.width * 4) != 0;
}
